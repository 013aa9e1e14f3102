#include "lumdb/query/colexpr.h"

#include <gtest/gtest.h>

#include "lumdb/query/query_test_model.h"

namespace lumdb {
namespace {

using namespace lumdb::test;

class ColExpr : public ::testing::Test {
 protected:
  static std::string sql(const colexpr_c& e) { return e.to_sql(any_connection(), &test_aliases()); }

  // A node of `kind` whose main argument is `argument`.
  static colexpr_c around(int kind, const colexpr_c& argument) {
    colexpr_c node(-1, kind);
    node.set_main_argument(argument);
    return node;
  }

  scoped_query_model model_;
};

TEST_F(ColExpr, AColumnIsBareQuotedOrAliased) {
  const colexpr_c name(namn);
  EXPECT_EQ(name.to_sql(nullptr, nullptr), "NAMN");
  EXPECT_EQ(name.to_sql(any_connection(), nullptr), "[NAMN]");
  EXPECT_EQ(name.to_sql(any_connection(), &test_aliases()), "T0.[NAMN]");

  const colexpr_c joined(land, {art_kundnr}, ck_column);
  EXPECT_EQ(sql(joined), "T1.[LAND]");
  // A join key the alias map lacks gives the quoted name alone.
  EXPECT_EQ(sql(colexpr_c(land, {artnr}, ck_column)), "[LAND]");
  EXPECT_EQ(sql(colexpr_c(field(art, 99))), "");

  // Sub-expressions render with the same connection and alias map.
  colexpr_c total(-1, ck_sum);
  total.set_main_argument(make_binary_expr(ck_add_column, colexpr_c(antal), joined));
  EXPECT_EQ(total.to_sql(nullptr, nullptr), "SUM(ANTAL + LAND)");
  EXPECT_EQ(total.to_sql(any_connection(), nullptr), "SUM([ANTAL] + [LAND])");
  EXPECT_EQ(sql(total), "SUM(T0.[ANTAL] + T1.[LAND])");
}

TEST_F(ColExpr, EveryKindRendersItsSqlServerText) {
  const colexpr_c price(pris);
  colexpr_c cast = around(ck_cast, price);
  cast.set_explicit_type(-9, 40, 0);
  colexpr_c convert = around(ck_try_convert, price);
  convert.set_explicit_type(2, 12, 4);
  colexpr_c rounded = around(ck_round, price);
  rounded.set_explicit_type(0, 0, 1);
  colexpr_c truncated = around(ck_round_truncate, price);
  truncated.set_explicit_type(0, 0, 0);
  colexpr_c part = around(ck_substring, colexpr_c(namn));
  part.set_explicit_type(0, 3, 2);
  colexpr_c plus_five(antal);
  plus_five.set_continuation(colexpr_c(antal, ck_add_constant, 5));
  colexpr_c times_two(vikt, ck_mul_constant, 2.0);
  times_two.set_parenthesised(make_binary_expr(ck_add_column, colexpr_c(vikt), colexpr_c(antal)));
  colexpr_c blank_name(namn, ck_null_or_empty, std::wstring(L"-"), 1);
  blank_name.set_main_argument(colexpr_c(namn));
  colexpr_c count_star(-1, ck_count);
  colexpr_c count_star_plus_one = count_star;
  count_star_plus_one.set_continuation(colexpr_c(antal, ck_add_constant, 1));

  const struct {
    colexpr_c expr;
    const char* text;
  } cases[] = {
      {colexpr_c(antal, ck_group_column), "T0.[ANTAL]"},
      {plus_five, "T0.[ANTAL] + 5"},
      {times_two, "(T0.[VIKT] + T0.[ANTAL]) * 2"},
      {around(ck_sum, price), "SUM(T0.[PRIS])"},
      {around(ck_max, price), "MAX(T0.[PRIS])"},
      {around(ck_min, price), "MIN(T0.[PRIS])"},
      {around(ck_avg, price), "AVG(T0.[PRIS])"},
      {around(ck_sign, price), "SIGN(T0.[PRIS])"},
      {around(ck_abs, price), "ABS(T0.[PRIS])"},
      {around(ck_upper, colexpr_c(namn)), "UPPER(T0.[NAMN])"},
      {around(ck_lower, colexpr_c(namn)), "LOWER(T0.[NAMN])"},
      {around(ck_complement, colexpr_c(antal)), "~(T0.[ANTAL])"},
      {around(ck_negate, colexpr_c(antal)), "-(T0.[ANTAL])"},
      {around(ck_as_is, colexpr_c(antal)), "T0.[ANTAL]"},
      {around(ck_utc_to_local, colexpr_c(andrad)),
       "DATEADD(hh, DATEDIFF(hh, SYSUTCDATETIME(), SYSDATETIME()), T0.[ANDRAD])"},
      {colexpr_c(antal, ck_count), "COUNT(T0.[ANTAL])"},
      {count_star, "COUNT(*)"},
      // COUNT(*) takes no operand: what follows stands after it.
      {count_star_plus_one, "COUNT(*) + 1"},
      {colexpr_c(datum, ck_year), "DATEPART(yy, T0.[DATUM])"},
      {colexpr_c(datum, ck_month), "DATEPART(mm, T0.[DATUM])"},
      {colexpr_c(datum, ck_day), "DATEPART(dd, T0.[DATUM])"},
      {colexpr_c(datum, ck_iso_week), "DATEPART(isoww, T0.[DATUM])"},
      {colexpr_c(datum, ck_iso_year), "DATEPART(yy, DATEADD(ww, DATEDIFF(d, 0, T0.[DATUM]) / 7, 3))"},
      {cast, "CAST(T0.[PRIS] AS NVARCHAR(40))"},
      {convert, "TRY_CONVERT(NUMERIC(12, 4), T0.[PRIS])"},
      {rounded, "ROUND(T0.[PRIS], 1)"},
      {truncated, "ROUND(T0.[PRIS], 0, 1)"},
      {part, "SUBSTRING(T0.[NAMN], 2, 3)"},
      {blank_name, "CASE WHEN T0.[NAMN] IS NULL OR T0.[NAMN] = '' THEN N'-' ELSE T0.[NAMN] END"},
  };
  for (const auto& c : cases) EXPECT_EQ(sql(c.expr), c.text);
}

TEST_F(ColExpr, ConstantsAreSqlLiterals) {
  // Text is a Unicode literal with "'" doubled, a date is a date literal, an empty
  // replacement of a number is NULL: never ISNULL(x, abc), ISNULL(x, ) or
  // 2024-01-31 read as arithmetic.
  EXPECT_EQ(sql(make_isnull_expr(colexpr_c(namn), L"O'Brien")), "ISNULL(T0.[NAMN], N'O''Brien')");
  EXPECT_EQ(sql(make_isnull_expr(colexpr_c(namn), L"abc")), "ISNULL(T0.[NAMN], N'abc')");
  EXPECT_EQ(sql(make_isnull_expr(colexpr_c(datum), L"2024-01-31")), "ISNULL(T0.[DATUM], '2024-01-31')");
  EXPECT_EQ(sql(make_isnull_expr(colexpr_c(antal), L"")), "ISNULL(T0.[ANTAL], NULL)");
  EXPECT_EQ(sql(make_isnull_expr(colexpr_c(antal), L"7")), "ISNULL(T0.[ANTAL], 7)");
  EXPECT_EQ(sql(make_isnull_expr(colexpr_c(aktiv), L"TRUE")), "ISNULL(T0.[AKTIV], 1)");
  EXPECT_EQ(sql(colexpr_c(pris, ck_sub_constant, std::int64_t{-1250}, 12, 2)), " - -12.50");
  // An ISNULL over arithmetic takes the promoted type for its constant.
  const colexpr_c sum = make_binary_expr(ck_add_column, colexpr_c(antal), colexpr_c(lager));
  EXPECT_EQ(sql(make_isnull_expr(sum, L"0")), "ISNULL(T0.[ANTAL] + T0.[LAGER], 0)");
  // A constant of a field the model lacks leaves the node empty.
  EXPECT_EQ(colexpr_c(field(art, 99), ck_isnull, std::wstring(L"x"), -1).kind(), ck_empty);
}

TEST_F(ColExpr, CaseFormsTakeTheirValuesByPosition) {
  colexpr_c when(antal, ck_when);
  when.values().add_field(antal, nullptr, 4, 0, 0);
  when.values().set_int(antal, 1);
  when.values().add_field(namn, nullptr, 12, 10, 0);
  when.values().set_string(namn, nullptr, "ett");
  colexpr_c otherwise(-1, ck_else);
  otherwise.values().add_field(namn, nullptr, 12, 10, 0);
  otherwise.values().set_string(namn, nullptr, "många");
  colexpr_c selector(antal);
  when.set_continuation(otherwise);
  selector.set_continuation(when);
  EXPECT_EQ(sql(around(ck_case, selector)), "CASE T0.[ANTAL] WHEN 1 THEN N'ett' ELSE N'många' END");

  colexpr_c floor_without_replacement(vikt, ck_lower_bound, 0.5);
  floor_without_replacement.set_main_argument(colexpr_c(vikt));
  colexpr_c floor_with_values(vikt, ck_lower_bound);
  floor_with_values.set_main_argument(colexpr_c(vikt));
  floor_with_values.values().add_field(vikt, nullptr, 8, 0, 0);
  floor_with_values.values().set_double(vikt, 0.5);
  floor_with_values.values().add_field(-1, nullptr, 8, 0, 0);
  floor_with_values.values().set_double(-1, 0.0);
  floor_with_values.set_continuation(colexpr_c(antal));  // never appended
  EXPECT_EQ(sql(floor_with_values), "CASE WHEN T0.[VIKT] < 0.5 THEN 0 ELSE T0.[VIKT] END");

  // A missing value position or main argument renders empty text.
  EXPECT_EQ(sql(floor_without_replacement), "");
  EXPECT_EQ(sql(colexpr_c(antal, ck_when)), "");
  EXPECT_EQ(sql(colexpr_c(-1, ck_else)), "");
  for (int kind : {10, 13, 14, 20, 21, 22, 23, 24, 25, 26, 27, 30, 31, 32, 33, 34, 36, 37, 38, 39}) {
    EXPECT_EQ(sql(colexpr_c(antal, kind)), "") << "kind " << kind;
  }
}

TEST_F(ColExpr, EmptyAndUnknownKindsRenderNothingNotEvenTheirContinuation) {
  for (int kind : {0, 40}) {
    colexpr_c node(antal, kind);
    node.set_continuation(colexpr_c(antal));
    EXPECT_EQ(sql(node), "") << "kind " << kind;
  }
  colexpr_c otherwise = around(ck_else, colexpr_c(antal));
  otherwise.set_continuation(colexpr_c(lager));
  EXPECT_EQ(sql(otherwise), " ELSE T0.[ANTAL]");
}

TEST_F(ColExpr, BinaryBuilderChainsFlatAndPromotesTheType) {
  const colexpr_c a(antal), b(lager), c(vikt);
  EXPECT_EQ(sql(make_binary_expr(ck_mul_column, make_binary_expr(ck_add_column, a, b), c)),
            "T0.[ANTAL] + T0.[LAGER] * T0.[VIKT]");
  const colexpr_c with_sum = make_binary_expr(ck_add_column, a, around(ck_sum, c));
  EXPECT_EQ(sql(with_sum), "T0.[ANTAL] + SUM(T0.[VIKT])");
  EXPECT_EQ(make_binary_expr(ck_add_column, a, b).value_type(), (value_type_t{-5, 0, 0}));
  EXPECT_EQ(make_binary_expr(ck_div_column, colexpr_c(pris), a).value_type(), (value_type_t{2, 12, 2}));
  EXPECT_EQ(with_sum.value_type(), (value_type_t{8, 0, 0}));
}

TEST(ColExprTypes, BinaryOperandTypesPromote) {
  const struct {
    int left, right, result;
  } cases[] = {
      {4, 4, 4},     {4, 5, -5},   {-7, -5, -5}, {12, 4, -9},  {4, 12, 12},  {9, 8, 4},    {1, 4, 0},
      {-11, 12, 12}, {-11, 4, -11}, {11, -9, -9}, {11, 4, 11},  {-1, 4, -10}, {-10, 12, -10}, {-9, 2, -9},
      {4, 8, 8},     {5, 6, 8},    {4, 9, 4},    {4, 2, 2},    {-2, 4, -2},  {2, 4, 2},    {2, 8, 2},
      {2, 9, 4},     {2, 12, 12},  {8, 4, 8},    {6, 8, 8},    {8, 9, 4},    {8, 2, 2},    {9, 5, 4},
      {9, 12, 12},   {3, 4, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(colexpr_c::binary_op_type(c.left, c.right), c.result) << c.left << ", " << c.right;
  }
}

TEST_F(ColExpr, NothingRendersWithoutADataModel) {
  set_default_datamodel(nullptr);
  EXPECT_EQ(colexpr_c(antal).to_sql(any_connection(), &test_aliases()), "");
  EXPECT_EQ(colexpr_c(-1, ck_count).to_sql(any_connection(), nullptr), "");
  set_default_datamodel(&query_model());
}

TEST_F(ColExpr, FieldPathAndKeysComeFromTheNodeOrItsArguments) {
  const colexpr_c joined(land, {art_kundnr}, ck_column);
  const colexpr_c total = around(ck_sum, joined);
  EXPECT_EQ(total.field_id(), land);
  ASSERT_NE(total.join_path(), nullptr);
  EXPECT_EQ(*total.join_path(), (join_path_t{art_kundnr}));
  EXPECT_EQ(colexpr_c(antal).join_path(), nullptr);
  EXPECT_EQ(total.value_type(), (value_type_t{12, 2, 0}));

  const colexpr_c sum = make_binary_expr(ck_add_column, colexpr_c(antal), joined);
  const join_key_set_t keys = sum.used_join_keys();
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys.begin()->table_id, kund);
  EXPECT_EQ(sum.field_ids_of_table(art), (std::set<int>{antal}));
  EXPECT_EQ(sum.field_ids_of_table(kund), (std::set<int>{land}));

  join_key_less less;
  EXPECT_TRUE(less({{9}, 1}, {{}, 2}));
  EXPECT_TRUE(less({{5}, 2}, {{5, 7}, 2}));
  EXPECT_FALSE(less({{5, 7}, 2}, {{5}, 2}));
  EXPECT_TRUE(less({{5, 7}, 2}, {{6}, 2}));
}

TEST_F(ColExpr, EqualityComparesTheWholeTree) {
  EXPECT_TRUE(colexpr_c(-1, 0).equals(colexpr_c(antal, 0)));
  EXPECT_TRUE(colexpr_c(antal).equals(colexpr_c(antal)));
  EXPECT_FALSE(colexpr_c(antal).equals(colexpr_c(lager)));
  EXPECT_FALSE(colexpr_c(antal).equals(colexpr_c(antal, ck_count)));
  EXPECT_FALSE(colexpr_c(-1, ck_count).equals(colexpr_c(-1, ck_count)));
  EXPECT_FALSE(colexpr_c(land, {-1}, ck_column).equals(colexpr_c(land, {-1}, ck_column)));
  EXPECT_TRUE(colexpr_c(land, {art_kundnr}, ck_column).equals(colexpr_c(land, {art_kundnr}, ck_column)));
  colexpr_c descending(antal);
  descending.set_descending(true);
  EXPECT_FALSE(descending.equals(colexpr_c(antal)));
  EXPECT_FALSE(colexpr_c(antal, ck_add_constant, 1).equals(colexpr_c(antal, ck_add_constant, 2)));
  const colexpr_c sum = make_binary_expr(ck_add_column, colexpr_c(antal), colexpr_c(lager));
  EXPECT_TRUE(sum.equals(make_binary_expr(ck_add_column, colexpr_c(antal), colexpr_c(lager))));
  EXPECT_FALSE(sum.equals(make_binary_expr(ck_add_column, colexpr_c(antal), colexpr_c(stor))));
}

TEST_F(ColExpr, CopiesAreDeepAndMovesTakeTheTree) {
  auto original = std::make_unique<colexpr_c>(make_isnull_expr(colexpr_c(namn), L"x"));
  colexpr_c copy(*original);
  colexpr_c assigned;
  assigned = *original;
  original.reset();
  EXPECT_EQ(sql(copy), "ISNULL(T0.[NAMN], N'x')");
  EXPECT_EQ(sql(assigned), "ISNULL(T0.[NAMN], N'x')");

  colexpr_c joined(land, {art_kundnr}, ck_column);
  colexpr_c moved(std::move(joined));
  EXPECT_EQ(sql(moved), "T1.[LAND]");
  EXPECT_TRUE(joined.own_path().empty());
  EXPECT_EQ(joined.field_id(), land);
}

}  // namespace
}  // namespace lumdb
