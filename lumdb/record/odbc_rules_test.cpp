// The connection's rules that need no database: driver choice, connection
// strings, server names, the mapping of diagnostics, the version check and
// the SQL text helpers.
#include <gtest/gtest.h>

#include "lumdb/record/errors.h"
#include "lumdb/record/odbc_platform.h"
#include "lumdb/record/sqldb.h"
#include "lumdb/record/sqlstmt.h"
#include "lumdb/record/temptablemgr.h"
#include "platform/fake/scoped_environment.h"

namespace lumdb {
namespace {

TEST(OdbcRules, DriverChoicePrefersTheListedNamesThenTheGreatestNumberedDriver) {
  struct Case {
    std::vector<std::string> installed;
    std::string chosen;
  };
  const Case cases[] = {
      {{"SQL Server", "ODBC Driver 18 for SQL Server", "SQL Server Native Client 11.0"},
       "SQL Server Native Client 11.0"},
      {{"SQL Server", "ODBC Driver 18 for SQL Server"}, "ODBC Driver 18 for SQL Server"},
      {{"SQL Server"}, ""},
      {{}, ""},
      // The listed order wins over the installed order; the installed spelling is kept.
      {{"sql server native client 10.0", "odbc driver 13 for sql server"}, "odbc driver 13 for sql server"},
      // Among the others the greatest in byte order ("9.1" after "18", capitals before small
      // letters), matched whole and without regard to case; a one-character number does not match.
      {{"ODBC Driver 9 for SQL Server", "ODBC DRIVER 19 FOR SQL SERVER", "ODBC Driver 18 for SQL Server"},
       "ODBC Driver 18 for SQL Server"},
      {{"ODBC Driver 18 for SQL Server", "ODBC Driver 9.1 for SQL Server"}, "ODBC Driver 9.1 for SQL Server"},
      {{"ODBC Driver 1 for SQL Server", "ODBC Driver 18 for SQL Server (old)", "FreeTDS"}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sqldb_c::choose_driver(c.installed), c.chosen) << testing::PrintToString(c.installed);
  }
}

TEST(OdbcRules, ConnectionStringsQuoteValuesThatCouldAddAttributes) {
  EXPECT_EQ(sqldb_c::build_connection_string("ODBC Driver 17 for SQL Server", "srv01\\SQLEXPRESS", "DB", "", "", ""),
            "Driver={ODBC Driver 17 for SQL Server};Server=srv01\\SQLEXPRESS;Database=DB;Trusted_Connection=yes;");
  EXPECT_EQ(sqldb_c::build_connection_string("FreeTDS", "localhost", "Företag AB", "sa", "pw", "Molnix"),
            "Driver={FreeTDS};Server=localhost;Database=Företag AB;Uid=sa;Pwd=pw;Application Name=Molnix;");
  // A name with ";" cannot smuggle in an attribute, nor a "}" end the braces early.
  EXPECT_EQ(sqldb_c::build_connection_string("Odd}Driver", "s", "db;Trusted_Connection=yes", "u;x=1",
                                             "p}w{;", " app "),
            "Driver={Odd}}Driver};Server=s;Database={db;Trusted_Connection=yes};Uid={u;x=1};Pwd={p}}w{;};"
            "Application Name={ app };");

  const std::pair<std::string, std::string> values[] = {
      {"", ""}, {"plain", "plain"}, {"a b", "a b"}, {" lead", "{ lead}"}, {"trail\t", "{trail\t}"},
      {"x}", "{x}}}"}, {"{x", "{{x}"}, {"a;b", "{a;b}"}, {"=", "="}};
  for (const auto& [value, quoted] : values) EXPECT_EQ(sqldb_c::quote_connection_value(value), quoted) << value;
}

TEST(OdbcRules, LocalServerNamesBecomeLocalhost) {
  const std::pair<std::string, std::string> names[] = {
      {"", "localhost"},
      {".", "localhost"},
      {".\\SQLEXPRESS", "localhost\\SQLEXPRESS"},
      {"(LOCAL)\\SQLEXPRESS", "localhost\\SQLEXPRESS"},
      {"(local)", "localhost"},
      {"(localhost)", "localhost"},
      {"localhost", "localhost"},
      {"srv01\\SQLEXPRESS", "srv01\\SQLEXPRESS"},
      {"..\\x", "..\\x"},
      {"127.0.0.1,1433", "127.0.0.1,1433"},
  };
  for (const auto& [given, mapped] : names) EXPECT_EQ(map_server_name(given), mapped) << given;
}

TEST(OdbcRules, DriverOverrideComesFromTheEnvironmentWhenNotEmpty) {
  {
    platform::fake::ScopedEnv unset(driver_override_variable, std::nullopt);
    EXPECT_FALSE(driver_override());
  }
  {
    platform::fake::ScopedEnv empty(driver_override_variable, "");
    EXPECT_FALSE(driver_override());
  }
  platform::fake::ScopedEnv named(driver_override_variable, "FreeTDS");
  EXPECT_EQ(driver_override(), "FreeTDS");
}

TEST(OdbcRules, DiagnosticsMapNativeErrorsFirstThenTheSqlstateThenTheDefault) {
  sqldb_c db(nullptr);
  const std::error_code fallback = make_error<sqlstmt_c>(not_ready);
  struct Case {
    SQLINTEGER native;
    const char* sqlstate;
    int value;
  };
  const Case cases[] = {
      {1205, "23000", deadlock_victim},  // native error before the SQLSTATE
      {229, "42000", permission_denied}, {262, "", permission_denied}, {5011, "", permission_denied},
      {547, "23000", constraint_conflict}, {701, "", server_out_of_memory}, {823, "", os_io_error},
      {924, "", single_user}, {9002, "", storage_full}, {1801, "", already_exists}, {5170, "", already_exists},
      {2127, "", integrity_violation}, {2812, "", procedure_not_found}, {3960, "", snapshot_conflict},
      {8023, "", native_8023},
      // Not connected: a full file group is the plain "storage full".
      {1105, "42000", storage_full},
      {0, "08001", connect_failed}, {0, "08004", connect_failed}, {0, "HYC00", not_supported},
      {0, "IM001", not_supported}, {0, "IM003", driver_load_failed}, {0, "HYT00", timed_out},
      {0, "HYT01", timed_out}, {0, "22003", out_of_range}, {0, "23000", integrity_violation},
      {0, "28000", login_refused}, {0, "07006", restricted_type}, {0, "42S22", column_not_found},
      {0, "08S01", connection_lost},
  };
  for (const Case& c : cases) {
    const std::error_code mapped = db.error_from_diagnostic(c.native, c.sqlstate, fallback);
    EXPECT_EQ(mapped.value(), c.value) << c.native << " " << c.sqlstate;
    EXPECT_EQ(&mapped.category(), &err_cat<sqldb_c>());
  }
  // The SQLSTATE matches exactly; the default keeps its own category.
  EXPECT_EQ(db.error_from_diagnostic(0, "hyt00", fallback), fallback);
  EXPECT_EQ(db.error_from_diagnostic(19, "HY000", fallback), fallback);
  // No record at all: the default alone; general warnings (01000) count as none.
  EXPECT_EQ(db.collect_diagnostics(SQL_HANDLE_DBC, nullptr, fallback), std::vector<std::error_code>{fallback});
  EXPECT_EQ(db.map_diagnostics({{"changed database context", "01000", 5701}}, fallback),
            std::vector<std::error_code>{fallback});
  const std::vector<std::error_code> mapped = db.map_diagnostics(
      {{"note", "01000", 0}, {"deadlock", "40001", 1205}, {"bad column", "42S22", 207}, {"other", "HY000", 0}},
      fallback);
  EXPECT_EQ(mapped, (std::vector<std::error_code>{make_error<sqldb_c>(deadlock_victim),
                                                  make_error<sqldb_c>(column_not_found), fallback}));
  ASSERT_EQ(db.last_diagnostics().size(), 3u);
  EXPECT_EQ(db.last_diagnostic_text(), "40001 (1205): deadlock\n42S22 (207): bad column\nHY000 (0): other");
}

TEST(OdbcRules, ServersBeforeMajorVersion11AreRefused) {
  struct Case {
    std::u16string version;
    int major, minor, build;
    bool refused;
  };
  const Case cases[] = {
      {u"10.50.6000.34", 10, 50, 6000, true}, {u"11.0.7001.0", 11, 0, 7001, false},
      {u"9", 9, 0, 0, true},                  {u"", 0, 0, 0, false},
      {u"1.2", 1, 2, 0, true},                {u"16.0.1000.6", 16, 0, 1000, false},
  };
  for (const Case& c : cases) {
    server_props_t props;
    sqldb_c::parse_product_version(c.version, props);
    EXPECT_EQ(props.major, c.major);
    EXPECT_EQ(props.minor, c.minor);
    EXPECT_EQ(props.build, c.build);
    EXPECT_EQ(sqldb_c::server_version_refused(props.major), c.refused);
  }
}

TEST(OdbcRules, ColumnTypesAndIdentifiersAsSqlServerText) {
  struct Case {
    int type, length, decimals;
    bool collation, case_sensitive;
    const char* text;
  };
  const Case cases[] = {
      {2, 15, 2, false, false, "NUMERIC(15, 2)"},
      {3, 18, 0, true, false, "NUMERIC(18, 0)"},
      {4, 0, 0, false, false, "INT"},
      {5, 0, 0, false, false, "SMALLINT"},
      {8, 0, 0, false, false, "DOUBLE PRECISION"},
      {9, 0, 0, false, false, "DATE"},
      {11, 0, 0, false, false, "DATETIME2(6)"},
      {12, 40, 0, true, false, "NVARCHAR(40) COLLATE SQL_SwedishStd_Pref_Cp1_CI_AS"},
      {-9, 40, 0, true, true, "NVARCHAR(40) COLLATE Latin1_General_CS_AS"},
      {12, 40, 0, false, true, "NVARCHAR(40)"},
      {-1, 0, 0, false, false, "NVARCHAR(MAX)"},
      {-10, 0, 0, true, false, "NVARCHAR(MAX) COLLATE SQL_SwedishStd_Pref_Cp1_CI_AS"},
      {-11, 0, 0, false, false, "UNIQUEIDENTIFIER"},
      {-7, 0, 0, false, false, "BIT"},
      {-5, 0, 0, false, false, "BIGINT"},
      {-4, 0, 0, false, false, "VARBINARY(MAX)"},
      {-2, 8, 0, false, false, "BINARY(8)"},
      {91, 0, 0, false, false, ""},
      {0, 0, 0, false, false, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sqldb_c::column_type_sql(c.type, c.length, c.decimals, c.collation, c.case_sensitive), c.text)
        << c.type;
  }
  EXPECT_EQ(sqldb_c::quote_identifier("KUND"), "[KUND]");
  EXPECT_EQ(sqldb_c::quote_identifier("a]b]]"), "[a]]b]]]]]");
  EXPECT_EQ(sqldb_c::row_version_column(), "REV");
}

TEST(OdbcRules, KeySetsAreListedInTheOrderTheyWereKept) {
  temptablemgr_c manager;
  auto first = std::make_shared<temptablemgr_c::key_set_t>(temptablemgr_c::key_set_t{7, "#ks1", {1, 2}, {}});
  auto second = std::make_shared<temptablemgr_c::key_set_t>(temptablemgr_c::key_set_t{9, "#ks2", {-1}, {3}});
  manager.add(first);
  manager.add(second);
  manager.add(first);
  manager.add(nullptr);
  EXPECT_EQ(manager.key_set_list(), (std::vector<std::shared_ptr<temptablemgr_c::key_set_t>>{first, second}));
  manager.remove(first.get());
  EXPECT_EQ(manager.key_set_list(), std::vector<std::shared_ptr<temptablemgr_c::key_set_t>>{second});
}

}  // namespace
}  // namespace lumdb
