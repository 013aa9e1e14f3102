#include "lumdb/query/filter_parser.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "lumdb/query/query_test_model.h"

namespace lumdb {
namespace {

using namespace lumdb::test;

class FilterParser : public ::testing::Test {
 protected:
  static const table_desc_t& article() { return *query_model().table_by_id(art); }

  static filter_node_t parse(const std::string& text) {
    filter_node_t f;
    parse_filter(f, article(), text);
    return f;
  }

  // The rendered text and the literal of each parameter, "text | v1, v2".
  static std::string sql(const std::string& text) {
    const filter_node_t f = parse(text);
    sql_params_t params;
    std::string rendered = filter_to_sql(f, any_connection(), &test_aliases(), &params);
    for (std::size_t i = 0; i < params.size(); ++i) {
      std::int32_t id = 0;
      const field_path_t* path = nullptr;
      params[i].first->field_key_at(params[i].second, id, path);
      rendered += (i == 0 ? " | " : ", ") + params[i].first->sql_literal(id, path);
    }
    return rendered;
  }

  static std::string error_of(const std::string& text) {
    try {
      parse(text);
    } catch (const std::runtime_error& e) {
      return e.what();
    }
    return "(no error)";
  }

  scoped_query_model model_;
};

TEST_F(FilterParser, TextsRenderAsSqlWithTheirParameters) {
  const struct {
    const char* text;
    const char* sql;
  } cases[] = {
      {"ANTAL = 1 AND LAGER = 2 OR STOR = 3", "T0.[ANTAL] = ? AND (T0.[LAGER] = ? OR T0.[STOR] = ?) | 1, 2, 3"},
      {"ANTAL = 1 OR LAGER = 2 AND STOR = 3", "(T0.[ANTAL] = ? OR T0.[LAGER] = ? AND T0.[STOR] = ?) | 1, 2, 3"},
      {"(ANTAL = 1 OR LAGER = 2) AND STOR = 3",
       "(T0.[ANTAL] = ? AND T0.[STOR] = ? OR T0.[LAGER] = ? AND T0.[STOR] = ?) | 1, 3, 2, 3"},
      {"antal is null", "T0.[ANTAL] IS NULL"},
      {"ANTAL IS NULL", "T0.[ANTAL] IS NULL"},
      {"ANTAL = NULL", "T0.[ANTAL] IS NULL"},
      {"NAMN = 'NULL'", "T0.[NAMN] IS NULL"},
      {"NAMN = 'null'", "T0.[NAMN] = ? | N'null'"},
      {"ANTAL IS NOT NULL", "T0.[ANTAL] IS NOT NULL"},
      {"ANTAL is  not\tnull", "T0.[ANTAL] IS NOT NULL"},
      {"ANTAL <> NULL", "T0.[ANTAL] IS NOT NULL"},
      {"10 > ANTAL", "T0.[ANTAL] < ? | 10"},
      {"10 <= ANTAL", "T0.[ANTAL] >= ? | 10"},
      {"ANTAL = (5)", "T0.[ANTAL] = ? | 5"},
      {"ANTAL - 1 = 5", "T0.[ANTAL] - 1 = ? | 5"},
      {"LAGER + 10 - ANTAL > 2", "T0.[LAGER] + 10 - T0.[ANTAL] > ? | 2"},
      // A constant written before its field keeps its place.
      {"ANTAL + LAGER - 10 - STOR > 2", "T0.[ANTAL] + T0.[LAGER] - 10 - T0.[STOR] > ? | 2"},
      {"ANTAL / LAGER - 10 + STOR > 2", "T0.[ANTAL] / T0.[LAGER] - 10 + T0.[STOR] > ? | 2"},
      {"ANTAL * 2 + 10 / STOR > 2", "T0.[ANTAL] * 2 + 10 / T0.[STOR] > ? | 2"},
      {"ANTAL + LAGER > STOR", "T0.[ANTAL] + T0.[LAGER] > T0.[STOR]"},
      {"ANTAL + 1 + LAGER = 4", "T0.[ANTAL] + 1 + T0.[LAGER] = ? | 4"},
      {"ANTAL * LAGER + STOR = 1", "T0.[ANTAL] * T0.[LAGER] + T0.[STOR] = ? | 1"},
      {"NAMN + 'x' = 'ax'", "T0.[NAMN] + N'x' = ? | N'ax'"},
      {"NAMN + LAGER + 'x' + ARTNR = 'ax'", "T0.[NAMN] + T0.[LAGER] + N'x' + T0.[ARTNR] = ? | N'ax'"},
      {"NAMN = 'O''Brien'", "T0.[NAMN] = ? | N'O''Brien'"},
      {"NAMN = '''quoted'''", "T0.[NAMN] = ? | N'''quoted'''"},
      {"NAMN LIKE 'A%'", "T0.[NAMN] LIKE ? ESCAPE '\\' | N'A%'"},
      // A text on the left is matched as it stands: its wildcards and "[" are escaped.
      {"'5%_[a]\\' LIKE NAMN", "T0.[NAMN] LIKE ? ESCAPE '\\' | N'5\\%\\_\\[a]\\\\'"},
      {"AKTIV = TRUE", "T0.[AKTIV] = ? | 1"},
      {"aktiv <> false", "T0.[AKTIV] <> ? | 0"},
      {"DATUM >= '2024-01-31'", "T0.[DATUM] >= ? | '2024-01-31'"},
      {"ANDRAD < '2024-01-31 12:30:00'", "T0.[ANDRAD] < ? | '2024-01-31 12:30:00.000000'"},
      {"RADID = '0a1b2c3d-0000-4000-8000-00000000000f'",
       "T0.[RADID] = ? | '0a1b2c3d-0000-4000-8000-00000000000f'"},
      {"STOR = -9000000000", "T0.[STOR] = ? | -9000000000"},
      {"VIKT > 1.5", "T0.[VIKT] > ? | 1.5"},
      {"PRIS = 12.34", "T0.[PRIS] = ? | 12.34"},
      {"PRIS = -5", "T0.[PRIS] = ? | -5.0"},
      {"NOT NOT ANTAL = 1", "T0.[ANTAL] = ? | 1"},
      {"NOT ANTAL = 1", "NOT T0.[ANTAL] = ? | 1"},
      {"NOT (ANTAL = 1 AND LAGER = 2)", "(NOT T0.[ANTAL] = ? OR NOT T0.[LAGER] = ?) | 1, 2"},
      {"NOT ((ANTAL = 1 AND LAGER = 2) OR STOR = 3)",
       "(NOT T0.[ANTAL] = ? AND NOT T0.[STOR] = ? OR NOT T0.[LAGER] = ? AND NOT T0.[STOR] = ?) | 1, 3, 2, 3"},
      {"ANTAL = 1 OR ANTAL = 1", "T0.[ANTAL] = ? | 1"},
      {"ANTAL = 1 OR ANTAL = 1 OR LAGER = 2", "(T0.[ANTAL] = ? OR (T0.[ANTAL] = ? OR T0.[LAGER] = ?)) | 1, 1, 2"},
      {"ISNULL(ANTAL, 0) > 5", "ISNULL(T0.[ANTAL], 0) > ? | 5"},
      {"ISNULL(NAMN, 'okänd') = 'x'", "ISNULL(T0.[NAMN], N'okänd') = ? | N'x'"},
      {"ISNULL(ANTAL + LAGER, 0) > 5", "ISNULL(T0.[ANTAL] + T0.[LAGER], 0) > ? | 5"},
      {"ÅR = 2024", "T0.[ÅR] = ? | 2024"},
      {"år = 2024", "T0.[ÅR] = ? | 2024"},
      {"  \t\n ANTAL=1  ", "T0.[ANTAL] = ? | 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      EXPECT_EQ(sql(c.text), c.sql);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
  }
}

TEST_F(FilterParser, ConstantsAreTypedByTheirField) {
  const filter_node_t price = parse("PRIS = 12.34");
  const field_c* constant = price.values.field_at(0);
  ASSERT_NE(constant, nullptr);
  EXPECT_EQ(constant->sql_type, 2);
  EXPECT_EQ(constant->column_size, 4);
  EXPECT_EQ(constant->decimals, 2);
  EXPECT_EQ(constant->id, pris);
  EXPECT_TRUE(constant->path.empty());

  const filter_node_t negative = parse("PRIS = -5");
  EXPECT_EQ(negative.values.field_at(0)->column_size, 2);
  EXPECT_EQ(negative.values.field_at(0)->decimals, 0);

  EXPECT_EQ(parse("LAGER = 7").values.field_at(0)->sql_type, 4);
  const filter_node_t text = parse("NAMN = 'Kalle'");
  EXPECT_EQ(text.values.field_at(0)->sql_type, -9);
  EXPECT_EQ(text.values.field_at(0)->column_size, 40);
}

TEST_F(FilterParser, EmptyTextGivesTheEmptyFilter) {
  filter_node_t f = parse("ANTAL = 1");
  parse_filter(f, article(), "");
  EXPECT_EQ(f.op, fo_none);
  EXPECT_EQ(f.and_next, nullptr);
  EXPECT_EQ(parse(" \t\r\n").op, fo_none);
}

TEST_F(FilterParser, ErrorsHaveTheirFixedTexts) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"Q = 1", "Invalid field: Q"},
      {"ANTAL IS NOTHING", "Invalid field: NOTHING"},
      {"ANTAL = 1 AND Q = 2", "Invalid field: Q"},
      {"ANTAL = 1) AND LAGER = 2", "Filter parse error."},
      {"(ANTAL = 1)) OR LAGER = 2", "Filter parse error."},
      {"ANTAL = 1)", "Filter parse error."},
      {"(ANTAL = 1", "Filter parse error."},
      {"ANTAL = (5", "Filter parse error."},
      {"ANTAL =", "Filter parse error."},
      {"ANTAL = AND LAGER = 2", "Filter parse error."},
      {"NAMN = 'abc", "Filter parse error."},
      {"ANTAL = 1.2.3", "Filter parse error."},
      {"ANTAL = .5", "Filter parse error."},
      {"ISNULL(ANTAL, LAGER) > 5", "Filter parse error."},
      {"ISNULL ANTAL, 0) > 5", "Filter parse error."},
      {"ISNULL(ANTAL 0) > 5", "Filter parse error."},
      {"ISNULL(ANTAL, 0 > 5", "Filter parse error."},
      {"ANTAL 1", "Invalid operation."},
      {"10 - ANTAL > 2", "Invalid operation."},
      {"ANTAL-1 = 2", "Invalid operation."},
      {"ANTAL", "Invalid operation."},
      {"ANTAL = 1 LAGER = 2", "Invalid operation"},
      {"ANTAL = 1 , LAGER = 2", "Invalid operation"},
      {"1 = 2", "Invalid expression"},
      {"'a' = NULL", "Invalid expression"},
      {"ANTAL + 1 + 2 = 3", "Invalid filter expression"},
      {"ANTAL + NULL = 3", "Invalid filter expression"},
      {"1 + 2 = ANTAL", "Invalid operation."},
      {"ANTAL = 1 + LAGER", "Invalid operation"},
      {"ANTAL = 'abc'", "Invalid filter value: abc"},
      {"ANTAL = 1.5", "Invalid filter value: 1.5"},
      {"LAGER = 40000", "Invalid filter value: 40000"},
      {"DATUM = '2023-02-30'", "Invalid filter value: 2023-02-30"},
      {"ANTAL + 'x' = 1", "Invalid filter value: x"},
      {"ISNULL(ANTAL, 'abc') > 5", "Invalid value for ISNULL"},
      {"BILD = 1", "Invalid field type for BILD"},
      {"BILD = NULL", "Setting field to NULL failed: NULL"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(error_of(c.text), c.error) << c.text;
  }
}

TEST_F(FilterParser, AFailedParseLeavesTheOutputAsItWas) {
  filter_node_t f = parse("ANTAL = 1");
  EXPECT_THROW(parse_filter(f, article(), "ANTAL = 1 AND Q = 2"), std::runtime_error);
  EXPECT_EQ(f.op, fo_equal);
  EXPECT_EQ(f.and_next, nullptr);
}

TEST_F(FilterParser, HugeTextsEndInAnErrorNotAStackOverflow) {
  EXPECT_EQ(error_of(std::string(10000, '(') + "ANTAL = 1" + std::string(10000, ')')), "Filter nested too deeply.");
  EXPECT_EQ(error_of(std::string(10000, '(')), "Filter nested too deeply.");

  std::string many_terms;
  while (many_terms.size() < (1u << 20)) many_terms += "ANTAL = 1 AND ";
  EXPECT_EQ(error_of(many_terms + "LAGER = 2"), "Filter too complex.");

  std::string long_sum = "ANTAL";
  while (long_sum.size() < (1u << 20)) long_sum += " + LAGER";
  EXPECT_EQ(error_of(long_sum + " = 1"), "Filter too complex.");

  // Each AND over an OR group doubles the terms.
  std::string groups = "(ANTAL = 1 OR LAGER = 2)";
  for (int i = 0; i < 30; ++i) groups += " AND (ANTAL = 1 OR LAGER = 2)";
  EXPECT_EQ(error_of(groups), "Filter too complex.");
  // NOT over OR-ed AND groups multiplies them out the same way.
  std::string pairs = "(ANTAL = 0 AND LAGER = 0)";
  for (int i = 1; i < 30; ++i) pairs += " OR (ANTAL = " + std::to_string(i) + " AND LAGER = " + std::to_string(i) + ")";
  EXPECT_NO_THROW(parse(pairs));
  EXPECT_EQ(error_of("NOT (" + pairs + ")"), "Filter too complex.");

  std::string words = "ANTAL";
  while (words.size() < (1u << 20)) words += " IS";
  EXPECT_EQ(error_of(words + " NULL"), "Filter parse error.");

  std::string nots;
  while (nots.size() < (1u << 20)) nots += "NOT ";
  EXPECT_EQ(sql(nots + "ANTAL = 1"), "T0.[ANTAL] = ? | 1");

  // A 1 MB text constant is just a long value.
  const std::string value(1u << 20, 'x');
  const filter_node_t f = parse("NAMN = '" + value + "'");
  EXPECT_EQ(f.values.get_string(namn), value);
  // Within the bounds a long chain parses and renders.
  std::string chain = "ANTAL = 0";
  for (int i = 1; i < 1000; ++i) chain += " AND ANTAL = " + std::to_string(i);
  const std::string rendered = filter_to_sql(parse(chain), any_connection(), &test_aliases(), nullptr);
  EXPECT_EQ(rendered.substr(0, 34), "T0.[ANTAL] = 0 AND T0.[ANTAL] = 1 ");
  const std::string last = "AND T0.[ANTAL] = 999";
  EXPECT_EQ(rendered.substr(rendered.size() - last.size()), last);
}

}  // namespace
}  // namespace lumdb
