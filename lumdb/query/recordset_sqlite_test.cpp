// Recordsets run for real on a SQLite company database of 250 generated
// articles, through unixODBC and the SQLite ODBC driver.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "lumdb/query/recordset.h"
#include "lumdb/query/recordset_test_model.h"
#include "lumdb/record/errors.h"
#include "lumdb/record/odbc_platform.h"
#include "lumdb/record/session.h"
#include "lumdb/record/sqldb.h"
#include "platform/fake/captured_log.h"
#include "platform/fake/scoped_environment.h"

namespace lumdb {
namespace {

using namespace lumdb::test::rs;

std::error_code rs_error(errc value) { return make_error<dbrecordset_base_c>(value); }
std::error_code stmt_error(errc value) { return make_error<sqlstmt_c>(value); }

class RecordsetSqlite : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.Write("company.db", "");
    ASSERT_EQ(session_.open("(local)", (tree_ / "company.db").string(), "", ""), success);
    std::istringstream statements(company_schema_and_rows());
    for (std::string sql; std::getline(statements, sql, ';');) {
      sqlstmt_c statement(db());
      ASSERT_EQ(statement.allocate(false), success);
      ASSERT_EQ(statement.exec_direct(sql), success) << sql << db()->last_diagnostic_text();
    }
  }
  sqldb_c* db() const { return session_.connection(); }

  static query_c articles(const filter_node_t* filter = nullptr, bool descending = false) {
    query_c query(nullptr);
    query.setup_select(art, {colexpr_c(artnr), colexpr_c(ben), colexpr_c(antal)}, filter);
    colexpr_c order(artnr);
    order.set_descending(descending);
    query.set_order_by(order);
    return query;
  }
  static std::string number(const data_reader_i& reader) {
    const std::wstring text = reader.get_wstring(artnr);
    return std::string(text.begin(), text.end());
  }

  scoped_recordset_model model_;
  platform::fake::ScopedEnv default_driver_{driver_override_variable, std::nullopt};
  platform::fake::TempTree tree_;
  session_c session_;
};

// Scrollable recordsets whose cursor can be told to show some rows as
// deleted, or to stand a few rows off: what only a server's keyset cursor does.
class shifted_scroll_c : public dbrecordset_scroll_c {
 public:
  using dbrecordset_scroll_c::dbrecordset_scroll_c;
  std::set<std::int64_t> deleted;
  std::int64_t shift = 0;  // an absolute move to row r lands on row r - shift

 protected:
  std::error_code statement_move(move_t how, std::int64_t row) override {
    if (how == move_t::absolute && row - shift < 0) return stmt_error(no_data);
    const std::error_code moved = dbrecordset_scroll_c::statement_move(how, how == move_t::absolute ? row - shift : row);
    if (!moved && deleted.contains(statement_.row_number())) return stmt_error(row_deleted);
    return moved;
  }
};

TEST_F(RecordsetSqlite, WorkedExampleRunsAndReadsJoinedColumns) {
  const filter_node_t active(colexpr_c(inaktiv), fo_equal, false);
  query_c query(nullptr);
  const join_path_t by_number{artnr};
  query.setup_select(art, {colexpr_c(artnr), colexpr_c(ben), colexpr_c(pris_pris, by_number, ck_column)}, &active);
  query.set_order_by(colexpr_c(artnr));
  dbrecordset_fwd_c opened(db(), query);
  ASSERT_EQ(opened.add_join(pris, {artnr}, {pris_artnr}, nullptr, nullptr), success);
  ASSERT_EQ(opened.open(), success) << db()->last_diagnostic_text();
  // The readers open a recordset and return it by value: the move keeps statement and bindings.
  dbrecordset_fwd_c recordset(std::move(opened));
  ASSERT_EQ(recordset.open(), success);
  int rows = 0;
  while (!recordset.fetch()) {
    if (++rows == 2) {  // A002 is active and has a price; A001 has none
      EXPECT_EQ(number(recordset), "A002");
      EXPECT_EQ(recordset.row_for_field(pris_pris, &by_number).get_int(pris_pris, &by_number), 20);
      EXPECT_EQ(recordset.get_int(pris_pris), 0);  // a joined column is read only with its path
    }
  }
  EXPECT_EQ(rows, 250 - 83);
}

TEST_F(RecordsetSqlite, TwoOpensPrepareOnceAndSendTheNewValues) {
  const filter_node_t up_to(colexpr_c(artnr), fo_less_equal, std::string("A010"));
  dbrecordset_fwd_c recordset(db(), articles(&up_to));
  auto count = [&] {
    int rows = 0;
    while (!recordset.fetch()) ++rows;
    return rows;
  };
  ASSERT_EQ(recordset.open(), success);
  EXPECT_EQ(count(), 10);
  // After the last row: 114 and the row as it was.
  EXPECT_EQ(recordset.fetch(), stmt_error(no_data));
  EXPECT_EQ(number(recordset), "A010");
  // The bound parameter is the query copy's filter value: a new value written there goes with the next open.
  field_set_c& value = const_cast<field_set_c&>(recordset.query().filter()->values);
  ASSERT_TRUE(value.set_string(value.field_id_at(0), nullptr, "A020"));
  ASSERT_EQ(recordset.open(), success);
  EXPECT_EQ(count(), 20);
  EXPECT_EQ(recordset.exec_count(), 2);
  // Lock hints are fixed once the statement exists.
  EXPECT_FALSE(recordset.set_lock_mode(lm_hold));
  EXPECT_TRUE(recordset.set_lock_mode(lm_none));
}

// A forward-only result is handed over as the query steps to it only without
// parameters: its constants are written into the text, and each open starts at the first row.
TEST_F(RecordsetSqlite, AForwardRecordsetCountsItsRowsAndStartsOverAtItsFirstRow) {
  const filter_node_t named(colexpr_c(ben), fo_not_equal, std::string("Ö'st"));
  const filter_node_t up_to = filter_and_copy(named, filter_node_t(colexpr_c(artnr), fo_less_equal, std::string("A003")));
  dbrecordset_fwd_c recordset(db(), articles(&up_to));
  ASSERT_EQ(recordset.open(), success) << db()->last_diagnostic_text();
  EXPECT_EQ(recordset.current_row(), -1);
  ASSERT_EQ(recordset.move_first(), success);  // no new run before the first fetch
  EXPECT_EQ(number(recordset), "A001");
  EXPECT_EQ(recordset.exec_count(), 1);
  ASSERT_EQ(recordset.fetch(), success);
  EXPECT_EQ(recordset.current_row(), 1);
  // Half read: a new run starts at the first row, not where the last one stood.
  ASSERT_EQ(recordset.move_first(), success);
  EXPECT_EQ(number(recordset), "A001");
  while (!recordset.fetch()) {
  }
  EXPECT_TRUE(recordset.at_end());
  EXPECT_EQ(recordset.rows_read(), 3);
  EXPECT_EQ(recordset.current_row(), -1);
  ASSERT_EQ(recordset.move_first(), success);
  EXPECT_EQ(number(recordset), "A001");
  EXPECT_EQ(recordset.exec_count(), 3);
}

TEST_F(RecordsetSqlite, AQueryOfJoinedColumnsAloneOpensAgain) {
  query_c query(nullptr);
  query.setup_select(art, {colexpr_c(pris_pris, {artnr}, ck_column)}, nullptr);
  dbrecordset_fwd_c recordset(db(), query);
  ASSERT_EQ(recordset.add_join(pris, {artnr}, {pris_artnr}, nullptr, nullptr), success);
  ASSERT_EQ(recordset.open(), success);
  ASSERT_EQ(recordset.open(), success);
  EXPECT_EQ(recordset.fetch(), success);
}

TEST_F(RecordsetSqlite, ScrollingCountsAndReturns) {
  dbrecordset_scroll_c recordset(db(), articles());
  ASSERT_EQ(recordset.open(), success);
  EXPECT_FALSE(db()->in_transaction());
  ASSERT_EQ(recordset.fetch(), success);
  EXPECT_EQ(recordset.current_row(), 0);
  ASSERT_EQ(recordset.move_next(), success);
  const std::int64_t remembered = recordset.current_row();
  ASSERT_EQ(recordset.move_last(), success);
  EXPECT_EQ(recordset.current_row(), 249);
  EXPECT_EQ(number(recordset), "A250");
  EXPECT_EQ(recordset.move_next(), stmt_error(no_data));
  ASSERT_EQ(recordset.move_absolute(remembered), success);
  EXPECT_EQ(number(recordset), "A002");
  ASSERT_EQ(recordset.move_prior(), success);
  EXPECT_EQ(recordset.current_row(), 0);
  // A new open: no current row until a move.
  ASSERT_EQ(recordset.open(), success);
  EXPECT_EQ(recordset.current_row(), -1);
  EXPECT_EQ(recordset.refresh(), rs_error(no_data));

  const filter_node_t nothing(colexpr_c(artnr), fo_equal, std::string("X"));
  dbrecordset_scroll_c empty(db(), articles(&nothing));
  ASSERT_EQ(empty.open(), success);
  EXPECT_EQ(empty.move_first(), stmt_error(no_data));
  EXPECT_EQ(empty.current_row(), -1);
}

TEST_F(RecordsetSqlite, DeletedRowsAreSteppedOver) {
  shifted_scroll_c recordset(db(), articles());
  recordset.deleted = {0, 249, 5};
  ASSERT_EQ(recordset.open(), success);
  ASSERT_EQ(recordset.move_first(), success);
  EXPECT_EQ(number(recordset), "A002");
  EXPECT_EQ(recordset.current_row(), 1);
  ASSERT_EQ(recordset.move_last(), success);
  EXPECT_EQ(number(recordset), "A249");
  ASSERT_EQ(recordset.move_absolute(4), success);
  ASSERT_EQ(recordset.fetch(), success);
  EXPECT_EQ(number(recordset), "A007");
  EXPECT_EQ(recordset.current_row(), 6);
  EXPECT_EQ(recordset.move_absolute(5), stmt_error(row_deleted));
}

TEST_F(RecordsetSqlite, RequeryKeepsTheRowByItsKey) {
  for (bool ordered : {true, false}) {
    dbrecordset_scroll_c recordset(db(), articles());
    ASSERT_EQ(recordset.open(), success);
    ASSERT_EQ(recordset.move_absolute(99), success);
    ASSERT_EQ(number(recordset), "A100");
    query_c reordered = articles(nullptr, true);
    if (!ordered) reordered = query_c(nullptr), reordered.setup_select(art, {colexpr_c(artnr), colexpr_c(antal)}, nullptr);
    ASSERT_EQ(recordset.requery(reordered, true), success);
    // Without an ORDER BY the rows are numbered in key order.
    ASSERT_EQ(recordset.open(), success) << ordered;
    EXPECT_EQ(number(recordset), "A100");
    EXPECT_EQ(recordset.current_row(), ordered ? 150 : 99);
    EXPECT_FALSE(db()->in_transaction());
  }

  // The key must be selected by the old and the new query.
  dbrecordset_scroll_c recordset(db(), articles());
  ASSERT_EQ(recordset.open(), success);
  ASSERT_EQ(recordset.move_first(), success);
  query_c without_key(nullptr);
  without_key.setup_select(art, {colexpr_c(ben)}, nullptr);
  EXPECT_EQ(recordset.requery(without_key, true), rs_error(no_reposition));
  EXPECT_EQ(recordset.query().columns().size(), 3u);
}

TEST_F(RecordsetSqlite, TheKeySearchLooksTenRowsEachWay) {
  struct Case {
    std::int64_t shift;
    std::error_code result;
  };
  for (const Case& c : {Case{-7, success}, Case{7, success}, Case{-10, success}, Case{-11, rs_error(row_not_found_again)}}) {
    shifted_scroll_c recordset(db(), articles());
    ASSERT_EQ(recordset.open(), success);
    ASSERT_EQ(recordset.move_absolute(99), success);
    ASSERT_EQ(recordset.requery(articles(), true), success);
    recordset.shift = c.shift;
    EXPECT_EQ(recordset.open(), c.result) << c.shift;
    EXPECT_FALSE(db()->in_transaction());  // committed either way
    if (!c.result) {
      EXPECT_EQ(number(recordset), "A100");
    } else {
      EXPECT_EQ(recordset.current_row(), -1);
      EXPECT_TRUE(recordset.selected_row().is_null_at(0));
    }
  }
}

TEST_F(RecordsetSqlite, ExistsWithAndWithoutAFilter) {
  EXPECT_TRUE(exists(db(), art, filter_node_t(), false));
  EXPECT_TRUE(exists(db(), art, filter_node_t(colexpr_c(artnr), fo_equal, std::string("A250")), false));
  EXPECT_FALSE(exists(db(), art, filter_node_t(colexpr_c(artnr), fo_equal, std::string("A251")), false));
  EXPECT_THROW(exists(db(), land, filter_node_t(), false), db_error);
}

TEST_F(RecordsetSqlite, AFailedOpenReturnsItsCodeAndIsLogged) {
  platform::fake::CapturedLog log;
  query_c missing(nullptr);
  missing.setup_select(land, {colexpr_c(land_kod)}, nullptr);
  dbrecordset_fwd_c no_table(db(), missing);
  EXPECT_EQ(no_table.open(), stmt_error(not_ready));
  EXPECT_EQ(no_table.open(), stmt_error(not_ready));  // still usable: tries again

  // The connection is lost: the handle cannot be had.
  ASSERT_EQ(db()->disconnect(), success);
  dbrecordset_fwd_c disconnected(db(), articles());
  EXPECT_NE(disconnected.open(), success);
  dbrecordset_scroll_c scrollable(db(), articles());
  EXPECT_THROW(scrollable.open(), db_error);  // no transaction without a connection

  const std::vector<std::string> lines = log.Lines();
  ASSERT_EQ(lines.size(), 3u);  // the scrollable open threw before it could log
  EXPECT_NE(lines[0].find("FROM [LAND] AS T0"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("no such table: LAND"), std::string::npos) << lines[0];
}

// A recordset standing inside its result keeps SQLite's read lock; once closed,
// another connection writes, and the next open reads from the first row again.
TEST_F(RecordsetSqlite, ACloseFreesTheStatementSoAnotherConnectionWrites) {
  session_c writer;
  ASSERT_EQ(writer.open("(local)", (tree_ / "company.db").string(), "", ""), success);
  auto write = [&writer] {
    sqlstmt_c statement(writer.connection());
    if (const std::error_code failed = statement.allocate(false)) return failed;
    return statement.exec_direct("UPDATE ART SET BEN = BEN");
  };
  dbrecordset_fwd_c forward(db(), articles());
  dbrecordset_scroll_c scrollable(db(), articles());
  for (dbrecordset_base_c* recordset : std::initializer_list<dbrecordset_base_c*>{&forward, &scrollable}) {
    ASSERT_EQ(recordset->open(), success);
    ASSERT_EQ(dynamic_cast<data_basic_fetch_i&>(*recordset).fetch(), success);
    ASSERT_EQ(dynamic_cast<data_basic_fetch_i&>(*recordset).fetch(), success);
    recordset->close();
  }
  EXPECT_EQ(write(), success) << writer.connection()->last_diagnostic_text();
  EXPECT_EQ(forward.current_row(), -1);
  EXPECT_EQ(forward.rows_read(), 2);
  EXPECT_EQ(scrollable.current_row(), -1);
  ASSERT_EQ(forward.move_first(), success);
  EXPECT_EQ(number(forward), "A001");
  ASSERT_EQ(scrollable.open(), success);
  ASSERT_EQ(scrollable.move_first(), success);
  EXPECT_EQ(number(scrollable), "A001");
}

}  // namespace
}  // namespace lumdb
