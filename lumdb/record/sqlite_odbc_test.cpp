// The ODBC layer against a real driver: a SQLite company database through
// unixODBC and the SQLite ODBC driver, registered in the project's own
// odbcinst.ini under a SQL Server driver name.
#include <gtest/gtest.h>

#include <clocale>
#include <memory>

#include <sqlite3.h>

#include "lumdb/record/errors.h"
#include "lumdb/record/field_set.h"
#include "lumdb/record/odbc_platform.h"
#include "lumdb/record/session.h"
#include "lumdb/record/sqldb.h"
#include "lumdb/record/sqlstmt.h"
#include "platform/fake/scoped_environment.h"

namespace lumdb {
namespace {

// Remembers what the connection hands over at the end of each unit of work.
class recording_session_c : public session_c {
 public:
  void tables_modified(const std::vector<std::int32_t>& table_ids, std::int32_t unit) override {
    handed_over.emplace_back(table_ids, unit);
  }
  std::vector<std::pair<std::vector<std::int32_t>, std::int32_t>> handed_over;
};

class SqliteOdbc : public testing::Test {
 protected:
  void SetUp() override {
    // An empty file is an empty SQLite database; the driver is told never to create one.
    tree.Write("company.db", "");
    ASSERT_EQ(session.open("(local)\\SQLEXPRESS", path(), "", ""), success) << db()->last_diagnostic_text();
    run("CREATE TABLE KUND (ID INT PRIMARY KEY, NAMN " + sqldb_c::column_type_sql(12, 40, 0, false, false) + ")");
  }
  std::string path() const { return (tree / "company.db").string(); }
  sqldb_c* db() const { return session.connection(); }

  // Runs one statement on a connection; its error.
  static std::error_code run_on(sqldb_c* connection, const std::string& sql) {
    sqlstmt_c statement(connection);
    if (std::error_code failed = statement.allocate(false)) return failed;
    return statement.exec_direct(sql);
  }
  void run(const std::string& sql) { ASSERT_EQ(run_on(db(), sql), success) << sql << db()->last_diagnostic_text(); }
  // The first column of the first row as an integer, read with no row buffer.
  std::int64_t scalar(const std::string& sql) {
    sqlstmt_c statement(db());
    if (statement.allocate(false) || statement.exec_direct(sql) || statement.fetch()) return -1;
    SQLBIGINT value = -1;
    SQLLEN indicator = 0;
    SQLGetData(statement.native_handle(), 1, SQL_C_SBIGINT, &value, sizeof value, &indicator);
    return value;
  }

  platform::fake::ScopedEnv default_driver{driver_override_variable, std::nullopt};
  platform::fake::TempTree tree;
  recording_session_c session;
};

TEST_F(SqliteOdbc, SessionConnectsThroughTheUsualDriverChoice) {
  ASSERT_NE(db(), nullptr);
  EXPECT_TRUE(db()->is_connected());
  EXPECT_FALSE(db()->is_sql_server());
  EXPECT_NE(db()->completed_connection_string().find(path()), std::string::npos);
  // Not SQL Server: no properties to read, so the version check lets it in.
  const server_props_t props = db()->server_properties();
  EXPECT_EQ(props.major, 0);
  EXPECT_TRUE(props.edition.empty());
  EXPECT_EQ(db()->database_size_mb(), 0);
  EXPECT_EQ(session.close(), success);
  EXPECT_EQ(session.connection(), nullptr);
  EXPECT_EQ(session.close(), success);
}

// The driver's SQLite is this program's, set up before the first connection:
// it keeps no memory statistics however much the driver allocates, and a
// connection takes no mutex per call.
TEST_F(SqliteOdbc, TheDriversSqliteKeepsNoStatisticsAndTakesNoMutexPerCall) {
  run("INSERT INTO KUND VALUES (1, 'Åsa')");
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM KUND"), 1);
  EXPECT_EQ(sqlite3_memory_used(), 0);
  EXPECT_EQ(sqlite3_memory_highwater(0), 0);
  sqlite3* own = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path().c_str(), &own, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  EXPECT_EQ(sqlite3_db_mutex(own), nullptr);
  sqlite3_close(own);
}

TEST_F(SqliteOdbc, AFailedOpenKeepsTheDriversWordsUntilAnOpenSucceeds) {
  session_c other;
  EXPECT_NE(other.open("", (tree / "missing.db").string(), "", ""), success);  // the registration says NoCreat
  EXPECT_EQ(other.connection(), nullptr);
  EXPECT_NE(other.open_failure_text().find("connect failed"), std::string::npos) << other.open_failure_text();
  ASSERT_EQ(other.open("", path(), "", ""), success);
  EXPECT_EQ(other.open_failure_text(), "");
}

// The driver manager converts statement text and connection strings for this
// driver through the C library's character set, which in a program that never
// chose one is plain ASCII: the layer makes it UTF-8 itself.
TEST(SqliteOdbcText, SwedishLettersInStatementsAndFolderNamesReachTheDriverIntact) {
  std::setlocale(LC_CTYPE, "C");
  platform::fake::ScopedEnv default_driver{driver_override_variable, std::nullopt};
  platform::fake::TempTree tree;
  // Several letters beyond ASCII in the path, as in "Företag/Åkerbergs Järn".
  tree.Write("Företag/Åkerbergs Järn/company.db", "");
  session_c session;
  ASSERT_EQ(session.open("", (tree / "Företag" / "Åkerbergs Järn" / "company.db").string(), "", ""), success);
  for (const char* sql : {"CREATE TABLE KUND (NAMN TEXT)", "INSERT INTO KUND VALUES ('Åsa Öberg ö')"}) {
    sqlstmt_c statement(session.connection());
    ASSERT_EQ(statement.allocate(false), success);
    ASSERT_EQ(statement.exec_direct(sql), success) << sql;
  }
  sqlstmt_c statement(session.connection());
  ASSERT_EQ(statement.allocate(false), success);
  ASSERT_EQ(statement.exec_direct("SELECT hex(NAMN) FROM KUND"), success);
  ASSERT_EQ(statement.fetch(), success);
  char hex[64] = {};
  SQLLEN indicator = 0;
  SQLGetData(statement.native_handle(), 1, SQL_C_CHAR, hex, sizeof hex, &indicator);
  EXPECT_STREQ(hex, "C385736120C3966265726720C3B6");  // "Åsa Öberg ö" in UTF-8
}

TEST_F(SqliteOdbc, ASqliteErrorReadsAsItsMappedCodeWithItsText) {
  run("INSERT INTO KUND VALUES (1, 'Åsa Öberg')");
  sqlstmt_c statement(db());
  ASSERT_EQ(statement.allocate(false), success);
  // SQLite reports every error as HY000 with its own code as the native error: no entry maps it.
  EXPECT_EQ(statement.exec_direct("INSERT INTO KUND VALUES (1, 'again')"), make_error<sqlstmt_c>(not_ready));
  ASSERT_EQ(db()->last_diagnostics().size(), 1u);
  EXPECT_EQ(db()->last_diagnostics()[0].sqlstate, "HY000");
  EXPECT_EQ(db()->last_diagnostics()[0].native_error, 19);
  EXPECT_NE(db()->last_diagnostic_text().find("UNIQUE constraint failed: KUND.ID"), std::string::npos);
  EXPECT_EQ(statement.exec_direct("SELECT * FROM SAKNAS"), make_error<sqlstmt_c>(not_ready));
  EXPECT_NE(db()->last_diagnostic_text().find("no such table: SAKNAS"), std::string::npos);
}

TEST_F(SqliteOdbc, BadDriverMissingFileAndLockedDatabaseAreClearErrors) {
  {
    platform::fake::ScopedEnv driver(driver_override_variable, "No Such Driver");
    sqldb_c other(nullptr);
    EXPECT_EQ(other.connect("", path(), "", "", ""), make_error<sqldb_c>(no_driver));
    EXPECT_NE(other.last_diagnostic_text().find("\"No Such Driver\""), std::string::npos);
  }
  {
    session_c missing;
    const auto file = tree / "saknas.db";
    EXPECT_EQ(missing.open("", file.string(), "", ""), make_error<sqldb_c>(connect_failed));
    EXPECT_EQ(missing.connection(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(file));
  }
  // Another connection holds a write lock: a write here gives up with SQLite's words.
  session_c writer;
  ASSERT_EQ(writer.open("", path(), "", ""), success);
  ASSERT_EQ(writer.connection()->begin_transaction(&writer), success);
  ASSERT_EQ(run_on(writer.connection(), "INSERT INTO KUND VALUES (2, 'Bo')"), success);
  EXPECT_EQ(run_on(db(), "INSERT INTO KUND VALUES (3, 'Cia')"), make_error<sqlstmt_c>(not_ready));
  EXPECT_NE(db()->last_diagnostic_text().find("database is locked"), std::string::npos);
  EXPECT_EQ(writer.connection()->end_transaction(&writer, false), success);
}

TEST_F(SqliteOdbc, NestedTransactionsCommitOnlyWhenEveryLevelAgrees) {
  const int a = 0, b = 0;  // two owners, told apart by address
  const std::int32_t units = db()->unit_counter();

  // An inner rollback turns the outermost commit into a rollback, reported as 111.
  ASSERT_EQ(db()->begin_transaction(&a), success);
  run("INSERT INTO KUND VALUES (1, 'Anna')");
  ASSERT_EQ(db()->begin_transaction(&b), success);
  EXPECT_EQ(db()->end_transaction(&b, false), success);
  EXPECT_TRUE(db()->in_transaction());
  EXPECT_EQ(db()->end_transaction(&a, true), make_error<sqldb_c>(rolled_back));
  EXPECT_FALSE(db()->in_transaction());
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM KUND"), 0);
  EXPECT_EQ(db()->unit_counter(), units + 1);

  // The next transaction starts clean and commits.
  ASSERT_EQ(db()->begin_transaction(&a), success);
  run("INSERT INTO KUND VALUES (1, 'Anna')");
  EXPECT_EQ(db()->end_transaction(&a, true), success);
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM KUND"), 1);

  // An end by another owner than the one that began rolls back.
  ASSERT_EQ(db()->begin_transaction(&a), success);
  run("DELETE FROM KUND");
  EXPECT_EQ(db()->end_transaction(&b, true), make_error<sqldb_c>(rolled_back));
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM KUND"), 1);

  // The outermost level's own rollback is a success.
  ASSERT_EQ(db()->begin_transaction(&a), success);
  run("DELETE FROM KUND");
  EXPECT_EQ(db()->end_transaction(&a, false), success);
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM KUND"), 1);

  EXPECT_EQ(db()->end_transaction(&a, true), make_error<sqldb_c>(no_transaction));
  EXPECT_EQ(db()->transaction_flag(), 0);
}

TEST_F(SqliteOdbc, ModifiedTablesAreHandedOverAtTheEndOfTheirUnitOfWork) {
  const int a = 0;
  db()->note_table_modified(7);  // outside a transaction: at once
  ASSERT_EQ(session.handed_over.size(), 1u);
  EXPECT_EQ(session.handed_over[0].first, std::vector<std::int32_t>{7});
  EXPECT_EQ(session.handed_over[0].second, db()->unit_counter() - 1);

  ASSERT_EQ(db()->begin_transaction(&a), success);
  db()->note_table_modified(9);
  db()->note_table_modified(3);
  db()->note_table_modified(9);
  EXPECT_EQ(session.handed_over.size(), 1u);
  ASSERT_EQ(db()->end_transaction(&a, true), success);
  ASSERT_EQ(session.handed_over.size(), 2u);
  EXPECT_EQ(session.handed_over[1].first, (std::vector<std::int32_t>{3, 9}));
  EXPECT_EQ(session.handed_over[1].second, db()->unit_counter() - 1);

  ASSERT_EQ(db()->begin_transaction(&a), success);
  db()->note_table_modified(5);
  ASSERT_EQ(db()->end_transaction(&a, false), success);
  EXPECT_EQ(session.handed_over.size(), 2u);  // dropped with the rollback
}

TEST_F(SqliteOdbc, ScopedTransactionRollsBackUnlessCommitted) {
  const int owner = 0;
  {
    scoped_trans_c transaction(db(), &owner, true);
    EXPECT_TRUE(transaction.is_active());
    run("INSERT INTO KUND VALUES (1, 'Anna')");
  }
  EXPECT_FALSE(db()->in_transaction());
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM KUND"), 0);
  {
    scoped_trans_c transaction(db(), &owner, true);
    run("INSERT INTO KUND VALUES (1, 'Anna')");
    EXPECT_EQ(transaction.commit(), success);
    EXPECT_FALSE(transaction.is_active());
    EXPECT_EQ(transaction.commit(), make_error<scoped_trans_c>(not_ready));
  }
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM KUND"), 1);
  {
    scoped_trans_c disabled(db(), &owner, false);
    EXPECT_FALSE(db()->in_transaction());
    EXPECT_EQ(disabled.commit(), success);
  }
  sqldb_c closed(nullptr);
  EXPECT_THROW(scoped_trans_c(&closed, &owner, true), db_error);
}

TEST_F(SqliteOdbc, ExecutionsOutsideATransactionCountUnitsOfWork) {
  const int owner = 0;
  run("INSERT INTO KUND VALUES (1, 'Anna')");  // an UPDATE of no rows is "no data"
  sqlstmt_c statement(db());
  ASSERT_EQ(statement.allocate(false), success);
  EXPECT_EQ(statement.execute(), make_error<sqlstmt_c>(not_ready));  // not prepared
  ASSERT_EQ(statement.prepare("UPDATE KUND SET NAMN = 'x'"), success);
  std::int32_t units = db()->unit_counter();
  ASSERT_EQ(statement.execute(), success);
  EXPECT_EQ(db()->unit_counter(), ++units);
  ASSERT_EQ(db()->begin_transaction(&owner), success);
  ASSERT_EQ(statement.execute(), success);
  EXPECT_EQ(db()->unit_counter(), units);
  ASSERT_EQ(db()->end_transaction(&owner, true), success);
  EXPECT_EQ(db()->unit_counter(), ++units);
  ASSERT_EQ(statement.exec_direct("UPDATE KUND SET NAMN = 'y'"), success);
  EXPECT_EQ(db()->unit_counter(), units);
  ASSERT_EQ(statement.close_cursor(), success);
  EXPECT_EQ(statement.execute(), make_error<sqlstmt_c>(not_ready));  // closed: prepare again
}

TEST_F(SqliteOdbc, DisconnectRollsBackAndLeavesNoStatementBehind) {
  const int owner = 0;
  sqlstmt_c statement(db());
  ASSERT_EQ(statement.allocate(false), success);
  ASSERT_EQ(db()->begin_transaction(&owner), success);
  ASSERT_EQ(statement.exec_direct("INSERT INTO KUND VALUES (1, 'Anna')"), success);
  EXPECT_EQ(db()->disconnect(), success);
  EXPECT_FALSE(db()->in_transaction());
  EXPECT_FALSE(statement.has_handle());
  EXPECT_EQ(statement.exec_direct("SELECT 1"), make_error<sqlstmt_c>(not_ready));

  ASSERT_EQ(session.open("", path(), "", ""), success);
  EXPECT_EQ(scalar("SELECT COUNT(*) FROM KUND"), 0);
  // The statement's connection is gone with the old connection object.
  EXPECT_EQ(statement.connection(), nullptr);
  EXPECT_EQ(statement.allocate(false), make_error<sqlstmt_c>(not_ready));
}

TEST_F(SqliteOdbc, ALostConnectionDiagnosticDisconnectsAtOnce) {
  sqlstmt_c statement(db());
  ASSERT_EQ(statement.allocate(false), success);
  const std::vector<std::error_code> mapped =
      db()->map_diagnostics({{"Communication link failure", "08S01", 0}}, make_error<sqlstmt_c>(not_ready));
  EXPECT_EQ(mapped, std::vector<std::error_code>{make_error<sqldb_c>(connection_lost)});
  EXPECT_FALSE(db()->is_connected());
  EXPECT_FALSE(statement.has_handle());
  EXPECT_EQ(statement.prepare("SELECT 1"), make_error<sqlstmt_c>(not_ready));
}

TEST_F(SqliteOdbc, ScrollingFetchesTrackTheRowNumber) {
  for (int id = 1; id <= 5; ++id) run("INSERT INTO KUND VALUES (" + std::to_string(id) + ", 'n')");
  field_set_c row;
  ASSERT_TRUE(row.add_field(1, nullptr, sql_integer));
  sqlstmt_c statement(db());
  ASSERT_EQ(statement.allocate(true), success);
  ASSERT_EQ(statement.prepare("SELECT ID FROM KUND ORDER BY ID"), success);
  ASSERT_EQ(statement.bind_column(row, 0), success);
  ASSERT_EQ(statement.execute(), success);
  EXPECT_EQ(statement.row_number(), -1);

  struct Step {
    std::error_code (*move)(sqlstmt_c&);
    int id;
    std::int64_t row_number;
  };
  const Step steps[] = {
      {[](sqlstmt_c& s) { return s.fetch_first(); }, 1, 0},
      {[](sqlstmt_c& s) { return s.fetch_next(); }, 2, 1},
      {[](sqlstmt_c& s) { return s.fetch_last(); }, 5, 4},
      {[](sqlstmt_c& s) { return s.fetch_prior(); }, 4, 3},
      {[](sqlstmt_c& s) { return s.fetch_absolute(0); }, 1, 0},
      {[](sqlstmt_c& s) { return s.fetch_absolute(2); }, 3, 2},
      {[](sqlstmt_c& s) { return s.fetch_next(); }, 4, 3},
  };
  for (const Step& step : steps) {
    ASSERT_EQ(step.move(statement), success);
    EXPECT_EQ(row.get_int(1), step.id);
    EXPECT_EQ(statement.row_number(), step.row_number);
  }
  EXPECT_EQ(statement.fetch_absolute(5), make_error<sqlstmt_c>(no_data));
  EXPECT_EQ(statement.row_number(), -1);
  ASSERT_EQ(statement.fetch_prior(), success);
  EXPECT_EQ(row.get_int(1), 5);
  EXPECT_EQ(statement.row_number(), 4);

  // Forward-only: next and first read on; the backward moves are refused.
  sqlstmt_c forward(db());
  ASSERT_EQ(forward.allocate(false), success);
  ASSERT_EQ(forward.prepare("SELECT ID FROM KUND ORDER BY ID"), success);
  ASSERT_EQ(forward.bind_column(row, 0), success);
  ASSERT_EQ(forward.execute(), success);
  ASSERT_EQ(forward.fetch_first(), success);
  ASSERT_EQ(forward.fetch_next(), success);
  EXPECT_EQ(row.get_int(1), 2);
  EXPECT_EQ(forward.fetch_prior(), make_error<sqlstmt_c>(not_scrollable));
  EXPECT_EQ(forward.fetch_last(), make_error<sqlstmt_c>(not_scrollable));
  EXPECT_EQ(forward.fetch_absolute(0), make_error<sqlstmt_c>(not_scrollable));
}

TEST_F(SqliteOdbc, EveryFieldTypeMakesTheRoundTrip) {
  struct Column {
    int type, size, decimals;
    std::string text;  // as get_string gives it back
  };
  const std::vector<Column> columns = {
      {sql_smallint, 0, 0, "-32768"},
      {sql_integer, 0, 0, "2147483647"},
      {sql_bigint, 0, 0, "-9007199254740993"},
      {sql_double, 0, 0, "0.25"},
      {sql_bit, 0, 0, "1"},
      {sql_date, 0, 0, "2024-02-29"},
      // SQLite's driver keeps milliseconds of a time stamp (SQL Server keeps all six digits).
      {sql_timestamp, 0, 0, "2038-01-19 03:14:08.123000"},
      {sql_numeric, 15, 2, "-1234567890123.45"},
      {sql_guid, 0, 0, "6f9619ff-8b86-d011-b42d-00c04fc964ff"},
      {sql_varchar, 40, 0, "Åsa Öberg 𝄞"},
      {sql_wvarchar, 40, 0, "Åsa Öberg 𝄞"},
  };
  std::string create = "CREATE TABLE ALLA (";
  std::string insert = "INSERT INTO ALLA VALUES (";
  std::string select = "SELECT ";
  field_set_c in, out;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const Column& c = columns[i];
    const std::string name = "C" + std::to_string(i);
    create += (i ? ", " : "") + name + " " + sqldb_c::column_type_sql(c.type, c.size, c.decimals, false, false);
    insert += i ? ", ?" : "?";
    select += (i ? ", " : "") + name;
    const int id = static_cast<int>(i) + 1;
    ASSERT_TRUE(in.add_field(id, nullptr, c.type, c.size, c.decimals));
    ASSERT_TRUE(out.add_field(id, nullptr, c.type, c.size, c.decimals));
    ASSERT_TRUE(in.parse_string(id, c.text)) << c.text;
  }
  run(create + ")");
  sqlstmt_c writer(db());
  ASSERT_EQ(writer.allocate(false), success);
  ASSERT_EQ(writer.prepare(insert + ")"), success);
  for (int i = 0; i < in.field_count(); ++i) {
    ASSERT_EQ(writer.bind_parameter(in, i), success) << i << " " << db()->last_diagnostic_text();
  }
  ASSERT_EQ(writer.execute(), success) << db()->last_diagnostic_text();
  // A second row of NULLs through the same statement.
  in.set_all_null();
  ASSERT_EQ(writer.more_results(), success);
  ASSERT_EQ(writer.execute(), success) << db()->last_diagnostic_text();

  sqlstmt_c reader(db());
  ASSERT_EQ(reader.allocate(false), success);
  ASSERT_EQ(reader.prepare(select + " FROM ALLA ORDER BY C1 DESC"), success);
  for (int i = 0; i < out.field_count(); ++i) ASSERT_EQ(reader.bind_column(out, i), success) << i;
  ASSERT_EQ(reader.execute(), success);
  ASSERT_EQ(reader.fetch(), success) << db()->last_diagnostic_text();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    EXPECT_EQ(out.get_string(static_cast<int>(i) + 1), columns[i].text) << i;
  }
  ASSERT_EQ(reader.fetch(), success);
  for (int i = 0; i < out.field_count(); ++i) EXPECT_TRUE(out.is_null_at(i)) << i;
  EXPECT_EQ(reader.fetch(), make_error<sqlstmt_c>(no_data));
}

// SQLite lets a number, date or flag column hold any text, which its driver
// would read as NULL, 0 or the number the text starts with. Such a value reads
// as NULL and is told with its text; values of the type read as before.
TEST_F(SqliteOdbc, AValueThatIsNoValueOfItsColumnsTypeIsToldNeverReadAsAnother) {
  const struct {
    int type, size, decimals;
    const char* literal;
    const char* read;        // get_string of the field, when it reads
    const char* unreadable;  // the text told, when it does not
  } cases[] = {
      {sql_integer, 0, 0, "'abc'", nullptr, "abc"},
      {sql_integer, 0, 0, "'7y'", nullptr, "7y"},
      {sql_integer, 0, 0, "5.5", nullptr, "5.5"},
      {sql_integer, 0, 0, "' 42 '", "42", nullptr},
      {sql_integer, 0, 0, "''", "", nullptr},
      {sql_integer, 0, 0, "'åtta'", nullptr, "åtta"},
      // Longer than any value of the type: told as far as it was fetched.
      {sql_integer, 0, 0, "replace(hex(zeroblob(35)), '0', 'x')", nullptr, nullptr},
      {sql_smallint, 0, 0, "70000", nullptr, "70000"},
      {sql_bigint, 0, 0, "'12x'", nullptr, "12x"},
      {sql_double, 0, 0, "'abc'", nullptr, "abc"},
      {sql_double, 0, 0, "'1e999'", nullptr, "Inf"},
      {sql_double, 0, 0, "'2.5'", "2.5", nullptr},
      {sql_bit, 0, 0, "'x'", nullptr, "x"},
      {sql_bit, 0, 0, "1", "1", nullptr},
      {sql_bit, 0, 0, "'false'", "0", nullptr},
      {sql_date, 0, 0, "'abc'", nullptr, "abc"},
      {sql_date, 0, 0, "'2026-13-45'", nullptr, "2026-13-45"},
      {sql_date, 0, 0, "'2026-01-31 00:00:00.000'", "2026-01-31", nullptr},
      {sql_timestamp, 0, 0, "'2026-02-30 10:00:00'", nullptr, "2026-02-30 10:00:00"},
      {sql_timestamp, 0, 0, "'2026-02-28'", "2026-02-28 00:00:00.000000", nullptr},
      {sql_numeric, 15, 2, "'--3'", nullptr, "--3"},
      {sql_numeric, 15, 2, "'1e999'", nullptr, "Inf"},
      {sql_numeric, 15, 2, "1e14", "100000000000000.00", nullptr},
      {sql_numeric, 15, 2, "NULL", "", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.literal) + " as type " + std::to_string(c.type));
    const std::string table = "V" + std::to_string(&c - cases);
    run("CREATE TABLE " + table + " (V " + sqldb_c::column_type_sql(c.type, c.size, c.decimals, false, false) + ")");
    run("INSERT INTO " + table + " VALUES (" + c.literal + ")");
    field_set_c row;
    ASSERT_TRUE(row.add_field(1, nullptr, c.type, c.size, c.decimals));
    sqlstmt_c statement(db());
    ASSERT_EQ(statement.allocate(false), success);
    ASSERT_EQ(statement.prepare("SELECT V FROM " + table), success);
    ASSERT_EQ(statement.bind_column(row, 0), success);
    ASSERT_EQ(statement.execute(), success);
    ASSERT_EQ(statement.fetch(), success) << db()->last_diagnostic_text();
    if (c.read) {
      EXPECT_EQ(row.get_string(1), c.read);
      EXPECT_TRUE(statement.unreadable_values().empty());
    } else {
      EXPECT_TRUE(row.is_null_at(0));
      ASSERT_EQ(statement.unreadable_values().size(), 1u);
      EXPECT_EQ(statement.unreadable_values()[0].field, row.field_at(0));
      EXPECT_EQ(statement.unreadable_values()[0].text, c.unreadable ? c.unreadable : std::string(63, 'x') + "…");
    }
    EXPECT_EQ(statement.fetch(), make_error<sqlstmt_c>(no_data));
    EXPECT_TRUE(statement.unreadable_values().empty());
  }
}

TEST_F(SqliteOdbc, TextLongerThanItsFieldIsNeverCutSilently) {
  run("INSERT INTO KUND VALUES (1, 'Åsa Öberg')");
  for (int type : {sql_varchar, sql_wvarchar}) {
    field_set_c row;
    ASSERT_TRUE(row.add_field(1, nullptr, type, 4));
    sqlstmt_c statement(db());
    ASSERT_EQ(statement.allocate(false), success);
    ASSERT_EQ(statement.prepare("SELECT NAMN FROM KUND"), success);
    ASSERT_EQ(statement.bind_column(row, 0), success);
    ASSERT_EQ(statement.execute(), success);
    EXPECT_EQ(statement.fetch(), make_error<sqlstmt_c>(not_ready)) << type;
    ASSERT_FALSE(db()->last_diagnostics().empty());
    EXPECT_EQ(db()->last_diagnostics().front().sqlstate, "01004");
    // The failure names its column; the row stands, so its other values name it.
    EXPECT_EQ(statement.failed_field(), row.field_at(0));
    EXPECT_TRUE(statement.failed_row_taken());
  }
}

TEST_F(SqliteOdbc, CloseCursorUnbindsSoNoDriverWritesIntoAFreedRow) {
  run("INSERT INTO KUND VALUES (1, 'Anna')");
  sqlstmt_c statement(db());
  ASSERT_EQ(statement.allocate(false), success);
  {
    auto row = std::make_unique<field_set_c>();
    ASSERT_TRUE(row->add_field(1, nullptr, sql_integer));
    ASSERT_TRUE(row->add_field(2, nullptr, sql_varchar, 40));
    ASSERT_EQ(statement.prepare("SELECT ID, NAMN FROM KUND WHERE ID = ?"), success);
    ASSERT_EQ(statement.bind_column(*row, 0), success);
    ASSERT_EQ(statement.bind_column(*row, 1), success);
    ASSERT_EQ(statement.bind_parameter(*row, 0), success);
    ASSERT_TRUE(row->set_int(1, 1));
    ASSERT_EQ(statement.execute(), success);
    ASSERT_EQ(statement.fetch(), success);
    EXPECT_EQ(row->get_string(2), "Anna");
    ASSERT_EQ(statement.close_cursor(), success);
    EXPECT_EQ(statement.bound_columns(), 0);
    EXPECT_EQ(statement.bound_parameters(), 0);
  }
  // The row is gone; a fetch now writes nowhere (the sanitizer run would see it).
  ASSERT_EQ(statement.prepare("SELECT ID, NAMN FROM KUND"), success);
  ASSERT_EQ(statement.execute(), success);
  EXPECT_EQ(statement.fetch(), success);
}

}  // namespace
}  // namespace lumdb
