#include "lumdb/query/query.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "lumdb/query/query_test_model.h"

namespace lumdb {
namespace {

using namespace lumdb::test;

class Query : public ::testing::Test {
 protected:
  static std::string sql(const filter_node_t* f) {
    return f ? filter_to_sql(*f, any_connection(), &test_aliases(), nullptr) : "(none)";
  }
  static filter_node_t g() { return {colexpr_c(antal), fo_equal, "5"}; }

  scoped_query_model model_;
};

TEST_F(Query, StartsEmpty) {
  const query_c q(nullptr);
  EXPECT_EQ(q.table_id(), -1);
  EXPECT_EQ(q.kind(), qk_select);
  EXPECT_TRUE(q.columns().empty());
  EXPECT_EQ(q.filter(), nullptr);
  EXPECT_EQ(q.alias_filter(), nullptr);
  EXPECT_EQ(q.top_count(), 0);
}

TEST_F(Query, SetupOnATableTakesACopyOfTheFilter) {
  query_c q(nullptr);
  auto filter = std::make_unique<filter_node_t>(g());
  q.setup(qk_update, art, {colexpr_c(antal)}, filter.get());
  filter.reset();
  EXPECT_EQ(q.kind(), qk_update);
  EXPECT_EQ(q.table_id(), art);
  EXPECT_EQ(q.alias_filter(), nullptr);
  EXPECT_EQ(sql(q.filter()), "T0.[ANTAL] = 5");
}

TEST_F(Query, SetupOnAnAliasAndsItsNamedFilterIn) {
  query_c with_filter(nullptr);
  const filter_node_t given = g();
  with_filter.setup_select(active_articles, {colexpr_c(antal)}, &given);
  EXPECT_EQ(with_filter.table_id(), art);
  EXPECT_EQ(sql(with_filter.alias_filter()), "T0.[AKTIV] = 1");
  EXPECT_EQ(sql(with_filter.filter()), "T0.[AKTIV] = 1 AND T0.[ANTAL] = 5");

  const filter_node_t empty;
  for (const filter_node_t* none : {static_cast<const filter_node_t*>(nullptr), &empty}) {
    query_c q(nullptr);
    q.setup_select(active_articles, {}, none);
    EXPECT_EQ(q.filter(), nullptr);
    EXPECT_EQ(sql(q.alias_filter()), "T0.[AKTIV] = 1");
  }

  query_c plain(nullptr);
  plain.setup_select(plain_alias, {}, &given);
  EXPECT_EQ(plain.table_id(), art);
  EXPECT_EQ(plain.alias_filter(), nullptr);
  EXPECT_EQ(sql(plain.filter()), "T0.[ANTAL] = 5");
}

TEST_F(Query, ABadAliasFilterThrowsWithKindAndTableSet) {
  query_c q(nullptr);
  const filter_node_t given = g();
  EXPECT_THROW(q.setup(qk_delete, broken_alias, {colexpr_c(antal)}, &given), std::runtime_error);
  EXPECT_EQ(q.kind(), qk_delete);
  EXPECT_EQ(q.table_id(), art);
  EXPECT_TRUE(q.columns().empty());
  EXPECT_EQ(q.filter(), nullptr);
}

TEST_F(Query, SetupAppendsColumns) {
  query_c q(nullptr);
  q.setup_select(art, {colexpr_c(antal), colexpr_c(namn)}, nullptr);
  q.setup_select(art, {colexpr_c(pris)}, nullptr);
  ASSERT_EQ(q.columns().size(), 3u);
  EXPECT_EQ(q.columns()[2].field_id(), pris);
}

TEST_F(Query, AddColumnSelectsEachColumnOnce) {
  query_c q(nullptr);
  EXPECT_TRUE(q.add_column(antal, {}));
  EXPECT_TRUE(q.add_column(antal, {}));
  EXPECT_TRUE(q.add_column(land, {art_kundnr}));
  EXPECT_TRUE(q.add_column(land, {art_kundnr}));
  EXPECT_TRUE(q.add_column(land, {artnr}));
  EXPECT_EQ(q.columns().size(), 3u);
  EXPECT_EQ(q.join_paths(), (std::vector<join_path_t>{{art_kundnr}, {artnr}}));

  // An unresolved hop matches nothing, so it is added every time.
  EXPECT_TRUE(q.add_column(land, {-1}));
  EXPECT_TRUE(q.add_column(land, {-1}));
  EXPECT_EQ(q.columns().size(), 5u);
  EXPECT_EQ(q.join_paths().size(), 4u);

  EXPECT_FALSE(q.add_column(field(art, 99), {}));
  EXPECT_EQ(q.columns().size(), 5u);
  set_default_datamodel(nullptr);
  EXPECT_FALSE(q.add_column(antal, {}));
  set_default_datamodel(&query_model());
}

TEST_F(Query, SetOrderByLeavesOneTerm) {
  query_c q(nullptr);
  for (int id : {antal, lager, stor}) q.set_order_by(colexpr_c(id));
  colexpr_c descending(namn);
  descending.set_descending(true);
  q.set_order_by(descending);
  ASSERT_EQ(q.order_by().size(), 1u);
  EXPECT_TRUE(q.order_by()[0].descending());
}

TEST_F(Query, CopiesAreIndependent) {
  auto source = std::make_unique<query_c>(nullptr);
  const filter_node_t given = g();
  source->setup_select(active_articles, {colexpr_c(antal)}, &given);
  source->add_column(land, {art_kundnr});
  source->set_order_by(colexpr_c(namn));
  source->value_row().add_field(antal, nullptr, 4, 0, 0);
  source->assignments().emplace_back(colexpr_c(lager), antal);
  source->set_top_count(10);

  query_c copy(*source);
  query_c assigned(nullptr);
  assigned = *source;
  const filter_node_t other(colexpr_c(lager), fo_equal, "1");
  copy.set_filter(&other);
  EXPECT_EQ(sql(source->filter()), "T0.[AKTIV] = 1 AND T0.[ANTAL] = 5");
  EXPECT_EQ(sql(copy.filter()), "T0.[LAGER] = 1");

  source.reset();
  for (const query_c* q : {&copy, &assigned}) {
    EXPECT_EQ(q->table_id(), art);
    EXPECT_EQ(q->columns().size(), 2u);
    EXPECT_EQ(q->join_paths().size(), 1u);
    EXPECT_EQ(q->order_by().size(), 1u);
    EXPECT_EQ(q->value_row().field_count(), 1);
    EXPECT_EQ(q->assignments().size(), 1u);
    EXPECT_EQ(q->top_count(), 10);
    EXPECT_EQ(sql(q->alias_filter()), "T0.[AKTIV] = 1");
  }
  EXPECT_EQ(sql(assigned.filter()), "T0.[AKTIV] = 1 AND T0.[ANTAL] = 5");

  query_c moved(std::move(assigned));
  EXPECT_EQ(sql(moved.filter()), "T0.[AKTIV] = 1 AND T0.[ANTAL] = 5");
  EXPECT_EQ(assigned.filter(), nullptr);
}

}  // namespace
}  // namespace lumdb
