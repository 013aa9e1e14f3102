#include "lumdb/query/filter.h"

#include <gtest/gtest.h>

#include "lumdb/query/query_test_model.h"
#include "lumdb/record/errors.h"

namespace lumdb {
namespace {

using namespace lumdb::test;

class Filter : public ::testing::Test {
 protected:
  // The text with its parameters' values in order, as "text | v1, v2".
  static std::string sql(const filter_node_t& f) {
    sql_params_t params;
    std::string text = filter_to_sql(f, any_connection(), &test_aliases(), &params);
    std::string values;
    for (const auto& [row, index] : params) {
      std::int32_t id = 0;
      const field_path_t* path = nullptr;
      row->field_key_at(index, id, path);
      values += (values.empty() ? "" : ", ") + row->sql_literal(id, path);
    }
    return params.empty() ? text : text + " | " + values;
  }
  static std::string inline_sql(const filter_node_t& f) {
    return filter_to_sql(f, any_connection(), &test_aliases(), nullptr);
  }

  static filter_node_t a() { return {colexpr_c(antal), fo_equal, "1"}; }
  static filter_node_t b() { return {colexpr_c(lager), fo_equal, "2"}; }
  static filter_node_t c() { return {colexpr_c(stor), fo_equal, "3"}; }

  // ANTAL IN (values...).
  static filter_node_t in_list(const std::vector<int>& values) {
    filter_node_t f(colexpr_c(antal), fo_in, "0");
    f.values = field_set_c();
    int position = 0;
    for (int v : values) {
      f.values.add_field(++position, nullptr, 4, 0, 0);
      f.values.set_int(position, v);
    }
    return f;
  }

  scoped_query_model model_;
};

TEST_F(Filter, TermsRenderWithParametersOrLiterals) {
  EXPECT_EQ(sql(filter_node_t(colexpr_c(antal), nullptr)), "T0.[ANTAL] IS NULL");
  filter_node_t not_null(colexpr_c(antal), nullptr);
  not_null.op = fo_not_equal;
  EXPECT_EQ(sql(not_null), "T0.[ANTAL] IS NOT NULL");
  EXPECT_EQ(sql(filter_node_t(colexpr_c(namn), fo_like, "A%")), "T0.[NAMN] LIKE ? ESCAPE '\\' | N'A%'");
  EXPECT_EQ(sql(filter_node_t(colexpr_c(pris), fo_greater_equal, "12.5")), "T0.[PRIS] >= ? | 12.50");
  EXPECT_EQ(sql(filter_node_t(colexpr_c(land, {art_kundnr}, ck_column), fo_not_equal, "SE")),
            "T1.[LAND] <> ? | N'SE'");
  EXPECT_EQ(sql(filter_node_t(colexpr_c(aktiv), fo_equal, true)), "T0.[AKTIV] = ? | 1");
  EXPECT_EQ(sql(filter_node_t(colexpr_c(vikt), fo_less, 2.5)), "T0.[VIKT] < ? | 2.5");
  EXPECT_EQ(sql(filter_node_t(colexpr_c(namn), fo_equal, std::string("O'Brien"))), "T0.[NAMN] = ? | N'O''Brien'");

  filter_node_t two_columns;
  two_columns.op = fo_less;
  two_columns.left = colexpr_c(antal);
  two_columns.right = colexpr_c(lager);
  EXPECT_EQ(sql(two_columns), "T0.[ANTAL] < T0.[LAGER]");
  EXPECT_EQ(sql(filter_node_t()), "");
}

TEST_F(Filter, InListsKeepTheirOrderAndAnEmptyListHoldsForNoRow) {
  EXPECT_EQ(sql(in_list({7, 3, 5})), "T0.[ANTAL] IN (?, ?, ?) | 7, 3, 5");
  EXPECT_EQ(inline_sql(in_list({7, 3, 5})), "T0.[ANTAL] IN (7, 3, 5)");
  EXPECT_EQ(sql(in_list({})), "1 = 0");
  filter_node_t not_in = in_list({});
  not_in.negated = true;
  EXPECT_EQ(sql(not_in), "NOT 1 = 0");

  // Written into the text, constants are SQL literals: text as Unicode, "'" doubled.
  filter_node_t names(colexpr_c(namn), fo_in, "x");
  names.values = field_set_c();
  names.values.add_field(1, nullptr, -9, 10, 0);
  names.values.set_string(1, nullptr, "O'Brien");
  names.values.add_field(2, nullptr, 12, 10, 0);
  EXPECT_EQ(inline_sql(names), "T0.[NAMN] IN (N'O''Brien', NULL)");
  filter_node_t dated(colexpr_c(datum), fo_less, "2024-01-31");
  dated.inline_values = true;
  EXPECT_EQ(sql(dated), "T0.[DATUM] < '2024-01-31'");
}

TEST_F(Filter, AndOrAndNotKeepTheMeaning) {
  filter_node_t chain = a();
  chain.add_and(b()).add_and(c());
  EXPECT_EQ(sql(chain), "T0.[ANTAL] = ? AND T0.[LAGER] = ? AND T0.[STOR] = ? | 1, 2, 3");

  const filter_node_t either = filter_or_copy(a(), b());
  EXPECT_EQ(sql(either), "(T0.[ANTAL] = ? OR T0.[LAGER] = ?) | 1, 2");
  EXPECT_EQ(sql(filter_and_copy(either, c())),
            "(T0.[ANTAL] = ? AND T0.[STOR] = ? OR T0.[LAGER] = ? AND T0.[STOR] = ?) | 1, 3, 2, 3");

  EXPECT_EQ(sql(filter_not(filter_and_copy(a(), b()))), "(NOT T0.[ANTAL] = ? OR NOT T0.[LAGER] = ?) | 1, 2");
  EXPECT_EQ(sql(filter_not(either)), "NOT T0.[ANTAL] = ? AND NOT T0.[LAGER] = ? | 1, 2");
  EXPECT_EQ(sql(filter_not(filter_and_copy(a(), filter_or_copy(b(), c())))),
            "(NOT T0.[ANTAL] = ? OR NOT T0.[LAGER] = ? AND NOT T0.[STOR] = ?) | 1, 2, 3");
  // NOT((A AND B) OR C) is (NOT A OR NOT B) AND NOT C.
  filter_node_t group = filter_and_copy(a(), b());
  group.add_or(c());
  EXPECT_EQ(sql(filter_not(group)),
            "(NOT T0.[ANTAL] = ? AND NOT T0.[STOR] = ? OR NOT T0.[LAGER] = ? AND NOT T0.[STOR] = ?) | 1, 3, 2, 3");
}

TEST_F(Filter, OrLeavesOutOnlyABranchEqualBothWays) {
  filter_node_t same = a();
  same.add_or(a());
  EXPECT_EQ(sql(same), "T0.[ANTAL] = ? | 1");

  filter_node_t either = filter_or_copy(a(), b());
  either.add_or(b());
  EXPECT_EQ(sql(either), "(T0.[ANTAL] = ? OR T0.[LAGER] = ?) | 1, 2");

  // A OR (A OR Y): the other holds a branch the tree lacks, so it is added.
  filter_node_t wider = a();
  wider.add_or(filter_or_copy(a(), b()));
  EXPECT_EQ(sql(wider), "(T0.[ANTAL] = ? OR (T0.[ANTAL] = ? OR T0.[LAGER] = ?)) | 1, 1, 2");

  // Or-ing onto a node inside a tree adds at the root's alternatives.
  filter_node_t chain = filter_and_copy(a(), b());
  chain.and_next->add_or(c());
  EXPECT_EQ(sql(chain), "(T0.[ANTAL] = ? AND T0.[LAGER] = ? OR T0.[STOR] = ?) | 1, 2, 3");
}

TEST_F(Filter, RefusedConstantsLeaveTheTermUnbuiltAndItIsNeverWritten) {
  const filter_node_t refused[] = {
      {colexpr_c(field(art, 99)), fo_equal, "1"}, {colexpr_c(antal), fo_equal, "abc"},
      {colexpr_c(datum), fo_equal, "2023-02-30"}, {colexpr_c(field(art, 99)), nullptr},
      {colexpr_c(field(art, 99)), fo_equal, 1.5}, {colexpr_c(namn), fo_equal, true},
  };
  for (const filter_node_t& term : refused) {
    SCOPED_TRACE(&term - refused);
    EXPECT_EQ(term.op, fo_none);
    EXPECT_TRUE(term.is_unbuilt());
    EXPECT_FALSE(term.is_empty());
    // Alone, deep in an AND chain or in an OR branch: never the bare column, never left out.
    for (const filter_node_t& tree : {term, filter_and_copy(a(), term), filter_or_copy(filter_and_copy(a(), b()), term)}) {
      EXPECT_EQ(first_unbuilt_term(tree)->left.field_id(), term.left.field_id());
      EXPECT_THROW(sql(tree), db_error);
      EXPECT_THROW(inline_sql(tree), db_error);
    }
  }
  EXPECT_TRUE(filter_node_t().is_empty());
  EXPECT_EQ(first_unbuilt_term(filter_or_copy(a(), b())), nullptr);
  // A text constant is as long as its text, whatever the column's length.
  const filter_node_t long_text(colexpr_c(land), fo_equal, "Sverige");
  EXPECT_EQ(long_text.op, fo_equal);
  EXPECT_EQ(long_text.values.get_string(land, nullptr), "Sverige");
}

// A flag kept in a number column reads as set for any value but 0 (-1, 2): a
// bool constant compares with 0, so "<> true" keeps only 0, as on a BIT it
// keeps only 0. NULL matches no comparison, on BIT or number alike.
TEST_F(Filter, BoolConstantsOnNumberColumnsCompareWithZero) {
  const struct {
    int column;
    const char* name;
    const char* zero;
  } numbers[] = {{lager, "LAGER", "0"}, {antal, "ANTAL", "0"}, {stor, "STOR", "0"}, {pris, "PRIS", "0.00"},
                 {vikt, "VIKT", "0"}};
  for (const auto& number : numbers) {
    SCOPED_TRACE(number.name);
    const std::string column = std::string("T0.[") + number.name + "]";
    EXPECT_EQ(inline_sql(filter_node_t(colexpr_c(number.column), fo_equal, false)), column + " = " + number.zero);
    EXPECT_EQ(inline_sql(filter_node_t(colexpr_c(number.column), fo_not_equal, false)), column + " <> " + number.zero);
    EXPECT_EQ(inline_sql(filter_node_t(colexpr_c(number.column), fo_equal, true)), column + " <> " + number.zero);
    EXPECT_EQ(inline_sql(filter_node_t(colexpr_c(number.column), fo_not_equal, true)), column + " = " + number.zero);
    EXPECT_EQ(sql(filter_node_t(colexpr_c(number.column), fo_not_equal, true)), column + " = ? | " + number.zero);
  }
  EXPECT_EQ(inline_sql(filter_node_t(colexpr_c(aktiv), fo_not_equal, true)), "T0.[AKTIV] <> 1");
  EXPECT_EQ(inline_sql(filter_node_t(colexpr_c(aktiv), fo_equal, false)), "T0.[AKTIV] = 0");
  // The cancelled-or-never-set test of the open invoices.
  filter_node_t open(colexpr_c(pris), fo_not_equal, true);
  open.add_or(filter_node_t(colexpr_c(pris), nullptr));
  EXPECT_EQ(inline_sql(open), "(T0.[PRIS] = 0.00 OR T0.[PRIS] IS NULL)");
}

TEST_F(Filter, JoinPathsOfEveryTermOnce) {
  const colexpr_c joined(land, {art_kundnr}, ck_column);
  filter_node_t f(joined, fo_equal, "SE");
  f.add_or(filter_node_t(joined, fo_equal, "NO"));
  f.add_and(a());
  const std::vector<join_key_t> keys = filter_join_paths(f);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].table_id, kund);
  EXPECT_EQ(keys[0].path, (join_path_t{art_kundnr}));
  EXPECT_TRUE(filter_join_paths(a()).empty());
}

TEST_F(Filter, CopiesAreDeepAndLinkedToTheirHolders) {
  auto original = std::make_unique<filter_node_t>(filter_or_copy(filter_and_copy(a(), b()), c()));
  filter_node_t copy(*original);
  filter_node_t assigned;
  assigned = *original;
  const std::string text = sql(*original);
  original.reset();
  EXPECT_EQ(sql(copy), text);
  EXPECT_EQ(sql(assigned), text);
  EXPECT_EQ(copy.parent, nullptr);
  EXPECT_EQ(copy.and_next->parent, &copy);
  EXPECT_EQ(copy.or_alt->parent, &copy);

  // Moving a subtree over its own root.
  filter_node_t moved = std::move(copy);
  EXPECT_EQ(moved.and_next->parent, &moved);
  moved = std::move(*moved.or_alt);
  EXPECT_EQ(sql(moved), "T0.[STOR] = ? | 3");
  EXPECT_EQ(moved.and_next, nullptr);
}

TEST_F(Filter, CopyLimitBoundsTheNodesMade) {
  filter_node_t chain = a();
  for (int i = 0; i < 9; ++i) chain.add_and(b());
  filter_copy_limit limit(5);
  EXPECT_THROW(filter_node_t{chain}, std::length_error);
}

}  // namespace
}  // namespace lumdb
