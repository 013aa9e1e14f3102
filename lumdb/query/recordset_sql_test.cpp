// Statement texts of the recordsets, checked as exact text: the SQL Server
// dialect, whatever another server would accept.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "lumdb/query/recordset.h"
#include "lumdb/query/recordset_test_model.h"
#include "lumdb/record/errors.h"
#include "lumdb/record/sqldb.h"

namespace lumdb {
namespace {

using namespace lumdb::test::rs;

class RecordsetSql : public ::testing::Test {
 protected:
  // The text open would prepare; "error <value>" when building fails.
  static std::string text_of(dbrecordset_base_c& recordset, sql_params_t* params_out = nullptr) {
    sql_params_t params;
    try {
      std::string text = recordset.statement_text(params);
      if (params_out) *params_out = params;
      return text;
    } catch (const db_error& e) {
      return "error " + std::to_string(e.code().value());
    }
  }
  static query_c select(std::vector<colexpr_c> columns, const filter_node_t* filter = nullptr, int table = art) {
    query_c query(nullptr);
    query.setup_select(table, columns, filter);
    return query;
  }

  scoped_recordset_model model_;
  sqldb_c db_{nullptr};  // never connected: the text needs only a connection to quote names
};

TEST_F(RecordsetSql, WorkedExampleArticlesWithTheirPrices) {
  int join = 0;
  // Path of the joined column: the from-field of the explicit join.
  query_c query = select({colexpr_c(artnr), colexpr_c(ben), colexpr_c(pris_pris, {artnr}, ck_column)},
                         std::make_unique<filter_node_t>(colexpr_c(inaktiv), fo_equal, false).get());
  query.set_order_by(colexpr_c(artnr));
  dbrecordset_fwd_c recordset(&db_, query);
  ASSERT_EQ(recordset.add_join(pris, {artnr}, {pris_artnr}, nullptr, &join), success);
  EXPECT_EQ(join, 3 + 1);  // after the model's three references
  sql_params_t params;
  EXPECT_EQ(text_of(recordset, &params),
            "SELECT T0.[ARTNR], T0.[BEN], T1.[PRIS] FROM [ART] AS T0 LEFT JOIN [PRIS] AS T1 ON T0.[ARTNR] = T1.[ARTNR]"
            " WHERE T0.[INAKTIV] = ? ORDER BY T0.[ARTNR]");
  ASSERT_EQ(params.size(), 1u);
  EXPECT_EQ(params[0].first, &recordset.query().filter()->values);
}

TEST_F(RecordsetSql, AliasesNumberShorterPathsFirst) {
  const colexpr_c land_of_lev(land_namn, {art_lev, lev_land}, ck_column);
  const colexpr_c valuta_of_lev(valuta_namn, {art_lev, lev_valuta}, ck_column);
  const colexpr_c lev_itself(levnr, {art_lev}, ck_column);
  struct Case {
    const char* name;
    std::vector<colexpr_c> columns;
    std::vector<colexpr_c> order;
    const char* text;
  };
  const Case cases[] = {
      {"base table only", {colexpr_c(artnr)}, {}, "SELECT T0.[ARTNR] FROM [ART] AS T0"},
      {"[a] and [a, b]",
       {lev_itself, land_of_lev},
       {},
       "SELECT T1.[LEVNR], T2.[NAMN] FROM [ART] AS T0 LEFT JOIN [LEV] AS T1 ON T0.[LEV] = T1.[LEVNR]"
       " LEFT JOIN [LAND] AS T2 ON T1.[LAND] = T2.[KOD]"},
      // [a] enters twice, once for each longer path, and ends as T2: no table is T1.
      {"[a, b] and [a, c] share [a]",
       {land_of_lev, valuta_of_lev},
       {},
       "SELECT T3.[NAMN], T4.[NAMN] FROM [ART] AS T0 LEFT JOIN [LEV] AS T2 ON T0.[LEV] = T2.[LEVNR]"
       " LEFT JOIN [LAND] AS T3 ON T2.[LAND] = T3.[KOD] LEFT JOIN [VALUTA] AS T4 ON T2.[VALUTA] = T4.[KOD]"},
      {"two hops used only by the ORDER BY",
       {colexpr_c(artnr)},
       {land_of_lev},
       "SELECT T0.[ARTNR] FROM [ART] AS T0 LEFT JOIN [LEV] AS T1 ON T0.[LEV] = T1.[LEVNR]"
       " LEFT JOIN [LAND] AS T2 ON T1.[LAND] = T2.[KOD] ORDER BY T2.[NAMN]"},
  };
  for (const Case& c : cases) {
    query_c query = select(c.columns);
    for (const colexpr_c& term : c.order) query.set_order_by(term);
    dbrecordset_fwd_c recordset(&db_, query);
    EXPECT_EQ(text_of(recordset), c.text) << c.name;
  }
}

TEST_F(RecordsetSql, TopCountsAndLockHints) {
  struct Case {
    std::int64_t top;
    lock_mode lock;
    const char* text;
  };
  const Case cases[] = {
      {0, lm_none, "SELECT T0.[ARTNR], T1.[LEVNR] FROM [ART] AS T0 LEFT JOIN [LEV] AS T1 ON T0.[LEV] = T1.[LEVNR]"},
      {-3, lm_none, "SELECT T0.[ARTNR], T1.[LEVNR] FROM [ART] AS T0 LEFT JOIN [LEV] AS T1 ON T0.[LEV] = T1.[LEVNR]"},
      {5, lm_read_committed,
       "SELECT TOP 5 T0.[ARTNR], T1.[LEVNR] FROM [ART] AS T0 WITH (READCOMMITTED) LEFT JOIN [LEV] AS T1 ON "
       "T0.[LEV] = T1.[LEVNR]"},
      // A count beyond 32 bits is written whole.
      {std::int64_t{1} << 40, lm_hold,
       "SELECT TOP 1099511627776 T0.[ARTNR], T1.[LEVNR] FROM [ART] AS T0 WITH (ROWLOCK, HOLDLOCK) LEFT JOIN [LEV] AS "
       "T1 ON T0.[LEV] = T1.[LEVNR]"},
      {0, lm_exclusive,
       "SELECT T0.[ARTNR], T1.[LEVNR] FROM [ART] AS T0 WITH (ROWLOCK, XLOCK, HOLDLOCK) LEFT JOIN [LEV] AS T1 ON "
       "T0.[LEV] = T1.[LEVNR]"},
      {0, lm_read_committed_all,
       "SELECT T0.[ARTNR], T1.[LEVNR] FROM [ART] AS T0 WITH (READCOMMITTED) LEFT JOIN [LEV] AS T1 WITH "
       "(READCOMMITTED) ON T0.[LEV] = T1.[LEVNR]"},
      {0, lm_exclusive_all,
       "SELECT T0.[ARTNR], T1.[LEVNR] FROM [ART] AS T0 WITH (ROWLOCK, XLOCK, HOLDLOCK) LEFT JOIN [LEV] AS T1 WITH "
       "(ROWLOCK, XLOCK, HOLDLOCK) ON T0.[LEV] = T1.[LEVNR]"},
  };
  for (const Case& c : cases) {
    query_c query = select({colexpr_c(artnr), colexpr_c(levnr, {art_lev}, ck_column)});
    query.set_top_count(c.top);
    dbrecordset_fwd_c recordset(&db_, query);
    ASSERT_TRUE(recordset.set_lock_mode(c.lock));
    EXPECT_EQ(text_of(recordset), c.text) << c.top << " " << c.lock;
  }
}

TEST_F(RecordsetSql, ExistsTestNeverCarriesAnOrder) {
  query_c query(nullptr);
  const filter_node_t filter(colexpr_c(antal), fo_greater, "3");
  query.setup(qk_exists, art, {}, &filter);
  query.set_order_by(colexpr_c(artnr));
  dbrecordset_fwd_c recordset(&db_, query);
  recordset.set_lock_mode(lm_exclusive);
  EXPECT_EQ(text_of(recordset),
            "SELECT CASE WHEN EXISTS (SELECT * FROM [ART] AS T0 WITH (ROWLOCK, XLOCK, HOLDLOCK) WHERE T0.[ANTAL] > ?)"
            " THEN 1 ELSE 0 END");
  EXPECT_EQ(recordset.selected_row().field_id_at(0), 32765);
}

TEST_F(RecordsetSql, InsertSetsTheTimeStampsOnTheServer) {
  query_c query(nullptr);
  query.setup(qk_insert, art, {}, nullptr);
  field_set_c& values = query.value_row();
  values.add_field(artnr, nullptr, 12, 20);
  values.add_field(ben, nullptr, 12, 40);
  values.add_field(antal, nullptr, 4);
  dbrecordset_fwd_c recordset(&db_, query);
  sql_params_t params;
  EXPECT_EQ(text_of(recordset, &params),
            "INSERT INTO [ART] ([ARTNR], [BEN], [ANTAL], [ANDRAD], [SKAPAD]) VALUES (?, ?, ?, SYSUTCDATETIME(), "
            "SYSUTCDATETIME())");
  EXPECT_EQ(params.size(), 3u);

  // With columns the inserted values come back through OUTPUT; a filter is refused.
  query.setup(qk_insert, art, {colexpr_c(artnr)}, nullptr);
  EXPECT_EQ(text_of(*std::make_unique<dbrecordset_fwd_c>(&db_, query)),
            "INSERT INTO [ART] ([ARTNR], [BEN], [ANTAL], [ANDRAD], [SKAPAD]) OUTPUT INSERTED.[ARTNR] VALUES(?, ?, ?, "
            "SYSUTCDATETIME(), SYSUTCDATETIME())");
  const filter_node_t filter(colexpr_c(antal), fo_equal, "1");
  query.set_filter(&filter);
  EXPECT_EQ(text_of(*std::make_unique<dbrecordset_fwd_c>(&db_, query)), "error 140");
}

TEST_F(RecordsetSql, UpdateSetsValuesAssignmentsAndTimeStamps) {
  query_c query(nullptr);
  const filter_node_t filter(colexpr_c(levnr, {art_lev}, ck_column), fo_equal, "L1");
  query.setup(qk_update, art, {}, &filter);
  query.value_row().add_field(ben, nullptr, 12, 40);
  query.assignments().emplace_back(colexpr_c(antal), antal);
  query.assignments().back().first.set_continuation(colexpr_c(antal, ck_add_constant, 1));
  dbrecordset_fwd_c recordset(&db_, query);
  recordset.set_lock_mode(lm_exclusive_all);
  sql_params_t params;
  EXPECT_EQ(text_of(recordset, &params),
            "UPDATE T0 SET T0.[BEN] = ?, T0.[ANTAL] = T0.[ANTAL] + 1, T0.[ANDRAD] = SYSUTCDATETIME(), T0.[SKAPAD] = "
            "SYSUTCDATETIME() FROM [ART] AS T0 LEFT JOIN [LEV] AS T1 WITH (ROWLOCK, XLOCK, HOLDLOCK) ON T0.[LEV] = "
            "T1.[LEVNR] WHERE T1.[LEVNR] = ?");
  ASSERT_EQ(params.size(), 2u);
  EXPECT_EQ(params[0].first, &recordset.query().value_row());
}

TEST_F(RecordsetSql, DeleteThroughACommonTableExpression) {
  query_c plain(nullptr);
  const filter_node_t few(colexpr_c(antal), fo_less, "2");
  plain.setup(qk_delete, art, {colexpr_c(artnr)}, &few);
  dbrecordset_fwd_c without_joins(&db_, plain);
  EXPECT_EQ(text_of(without_joins),
            "WITH CTE_DEL_ AS (SELECT * FROM [ART] AS T0 WHERE T0.[ANTAL] < ?) DELETE FROM CTE_DEL_ OUTPUT "
            "DELETED.[ARTNR]");

  query_c joined(nullptr);
  const filter_node_t swedish(colexpr_c(lev_land, {art_lev}, ck_column), fo_equal, "SE");
  joined.setup(qk_delete, art, {}, &swedish);
  dbrecordset_fwd_c with_joins(&db_, joined);
  EXPECT_EQ(text_of(with_joins),
            "WITH CTE_DEL_ AS (SELECT T0.[ARTNR] FROM [ART] AS T0 LEFT JOIN [LEV] AS T1 ON T0.[LEV] = T1.[LEVNR] WHERE "
            "T1.[LAND] = ?) DELETE [ART] FROM [ART] D0_ INNER JOIN CTE_DEL_ ON D0_.[ARTNR] = CTE_DEL_.[ARTNR];");
}

TEST_F(RecordsetSql, JoinsAndJoinFilters) {
  dbrecordset_fwd_c recordset(&db_, select({colexpr_c(artnr), colexpr_c(pris_pris, {artnr}, ck_column)}));
  int join = 0;
  EXPECT_EQ(recordset.add_join(pris, {artnr}, {}, nullptr, &join), make_error<dbrecordset_base_c>(not_ready));
  EXPECT_EQ(recordset.add_join(pris, {artnr}, {levnr}, nullptr, &join), make_error<dbrecordset_base_c>(field_not_found));
  ASSERT_EQ(recordset.add_join(pris, {artnr}, {pris_artnr}, nullptr, &join), success);
  int second = 0;
  ASSERT_EQ(recordset.add_join(land, {lev_land}, {land_kod}, nullptr, &second),
            make_error<dbrecordset_base_c>(field_not_found));  // LEV.LAND is not a field of ART
  const join_path_t through_lev{art_lev};
  ASSERT_EQ(recordset.add_join(land, {lev_land}, {land_kod}, &through_lev, &second), success);
  EXPECT_EQ(second, join + 1);

  const filter_node_t none;
  EXPECT_EQ(recordset.set_join_filter(join, pris, none), make_error<dbrecordset_base_c>(filter_missing));
  EXPECT_EQ(text_of(recordset),
            "SELECT T0.[ARTNR], T1.[PRIS] FROM [ART] AS T0 LEFT JOIN [PRIS] AS T1 ON T0.[ARTNR] = T1.[ARTNR]");
  // Set after a statement was built (and no filter cached for the join): it still applies, and the second replaces the first.
  ASSERT_EQ(recordset.set_join_filter(join, pris, filter_node_t(colexpr_c(pris_pris), fo_greater, "10")), success);
  ASSERT_EQ(recordset.set_join_filter(join, pris, filter_node_t(colexpr_c(pris_pris), fo_greater, "100")), success);
  sql_params_t params;
  EXPECT_EQ(text_of(recordset, &params),
            "SELECT T0.[ARTNR], T1.[PRIS] FROM [ART] AS T0 LEFT JOIN [PRIS] AS T1 ON T0.[ARTNR] = T1.[ARTNR] AND "
            "T1.[PRIS] > ?");
  ASSERT_EQ(params.size(), 1u);
  EXPECT_EQ(params[0].first->get_int(params[0].first->field_id_at(0)), 100);
}

// A term whose constant was refused, as the filter or inside a join filter: the
// statement is not built, rather than read with the condition gone or as a bare column.
TEST_F(RecordsetSql, AFilterTermThatCannotBeBuiltStopsTheStatement) {
  const filter_node_t refused(colexpr_c(artnr), fo_equal, true);  // a text column takes no bool
  ASSERT_TRUE(refused.is_unbuilt());
  dbrecordset_fwd_c filtered(&db_, select({colexpr_c(artnr)}, &refused));
  EXPECT_EQ(filtered.first_unbuilt_filter_term()->left.field_id(), artnr);
  EXPECT_EQ(text_of(filtered), "error 140");

  dbrecordset_fwd_c joined(&db_, select({colexpr_c(artnr), colexpr_c(pris_pris, {artnr}, ck_column)}));
  int join = 0;
  ASSERT_EQ(joined.add_join(pris, {artnr}, {pris_artnr}, nullptr, &join), success);
  EXPECT_EQ(joined.first_unbuilt_filter_term(), nullptr);
  const filter_node_t refusedInJoin(colexpr_c(pris_artnr), fo_equal, true);
  ASSERT_EQ(joined.set_join_filter(
                join, pris, filter_and_copy(filter_node_t(colexpr_c(pris_pris), fo_greater, "10"), refusedInJoin)),
            success);
  EXPECT_EQ(joined.first_unbuilt_filter_term()->left.field_id(), pris_artnr);
  EXPECT_EQ(text_of(joined), "error 140");
  // A refused term alone is a filter too, not the empty one that removes a join filter.
  ASSERT_EQ(joined.set_join_filter(join, pris, refusedInJoin), success);
  EXPECT_EQ(text_of(joined), "error 140");
}

TEST_F(RecordsetSql, AKeySetStandsInForTheTable) {
  dbrecordset_fwd_c recordset(&db_, select({colexpr_c(artnr), colexpr_c(ben)}));
  EXPECT_EQ(recordset.detach_key_set(), make_error<dbrecordset_base_c>(key_set_state));
  auto key_set = std::make_shared<key_set_t>(key_set_t{art, "#KS1", {artnr, -1, ben}, {andrad}});
  EXPECT_EQ(recordset.attach_key_set(nullptr), make_error<dbrecordset_base_c>(bad_query));
  EXPECT_EQ(recordset.attach_key_set(std::make_shared<key_set_t>(key_set_t{pris, "#KS2", {artnr, ben}, {}})),
            make_error<dbrecordset_base_c>(bad_query));
  EXPECT_EQ(recordset.attach_key_set(std::make_shared<key_set_t>(key_set_t{art, "#KS3", {artnr}, {}})),
            make_error<dbrecordset_base_c>(field_not_found));
  ASSERT_EQ(recordset.attach_key_set(key_set), success);
  EXPECT_EQ(recordset.attach_key_set(key_set), make_error<dbrecordset_base_c>(key_set_state));
  EXPECT_EQ(text_of(recordset), "SELECT T0.[ARTNR], T0.[BEN] FROM [#KS1] AS T0");
  ASSERT_EQ(recordset.detach_key_set(), success);
  EXPECT_EQ(text_of(recordset), "SELECT T0.[ARTNR], T0.[BEN] FROM [ART] AS T0");
}

TEST_F(RecordsetSql, ColumnsThatCannotBeResolved) {
  dbrecordset_fwd_c twice(&db_, select({colexpr_c(artnr), colexpr_c(artnr)}));
  EXPECT_EQ(text_of(twice), "error 121");
  EXPECT_EQ(twice.selected_row().field_count(), 0);  // nothing half-resolved is kept
  dbrecordset_fwd_c unknown(&db_, select({colexpr_c(field(art, 99))}));
  EXPECT_EQ(text_of(unknown), "error 121");
  query_c bad_kind(nullptr);
  bad_kind.setup(9, art, {}, nullptr);
  dbrecordset_fwd_c other(&db_, bad_kind);
  EXPECT_EQ(text_of(other), "error 140");
}

}  // namespace
}  // namespace lumdb
