#include "lumdb/record/field_set.h"

#include <cmath>
#include <functional>
#include <limits>
#include <locale>
#include <stdexcept>

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include "lumdb/record/shared_constants.h"
#include "lumdb/record/text_forms.h"

namespace lumdb {
namespace {

using boost::gregorian::date;
using boost::posix_time::ptime;
using boost::posix_time::time_duration;

// A row of one field without path, id 1.
field_set_c RowOf(int sql_type, int column_size = 0, int decimals = 0) {
  field_set_c row;
  EXPECT_TRUE(row.add_field(1, nullptr, sql_type, column_size, decimals));
  return row;
}

SQL_NUMERIC_STRUCT Numeric(std::uint64_t magnitude, int scale, int sign = 1) {
  SQL_NUMERIC_STRUCT n{};
  n.scale = static_cast<SQLSCHAR>(scale);
  n.sign = static_cast<SQLCHAR>(sign);
  for (int i = 0; i < 8; ++i) n.val[i] = static_cast<SQLCHAR>(magnitude >> (8 * i));
  return n;
}

// ---- Field values ------------------------------------------------------------

TEST(FieldValues, NumberFieldsFromText) {
  for (int type : {sql_smallint, sql_integer, sql_bigint, sql_double}) {
    field_set_c row = RowOf(type);
    EXPECT_TRUE(row.set_string(1, nullptr, "12"));
    EXPECT_EQ(row.get_int(1), 12) << type;
    EXPECT_TRUE(row.set_wstring(1, nullptr, L"  7x"));
    EXPECT_EQ(row.get_int(1), 7) << type << ": characters after the number are ignored";

    // A failed extraction leaves the value and reports failure.
    EXPECT_FALSE(row.set_string(1, nullptr, "abc")) << type;
    EXPECT_EQ(row.get_int(1), 7) << type;
    row.set_null(1, nullptr);
    EXPECT_FALSE(row.set_string(1, nullptr, "x")) << type;
    EXPECT_TRUE(row.is_null_at(0)) << type;

    EXPECT_TRUE(row.set_string(1, nullptr, "5"));
    EXPECT_TRUE(row.set_string(1, nullptr, "")) << type;
    EXPECT_TRUE(row.is_null_at(0)) << type << ": the empty text is NULL";
  }
  field_set_c small = RowOf(sql_smallint);
  small.set_int(1, 3);
  EXPECT_FALSE(small.set_string(1, nullptr, "40000"));
  EXPECT_EQ(small.get_int(1), 3);
  field_set_c dbl = RowOf(sql_double);
  EXPECT_TRUE(dbl.set_string(1, nullptr, "-1.5e2"));
  EXPECT_EQ(dbl.get_double(1), -150.0);
  EXPECT_FALSE(dbl.set_string(1, nullptr, "1e999"));
  EXPECT_EQ(dbl.get_double(1), -150.0);
}

TEST(FieldValues, TextFieldsCountCharactersAndNeverSplitOne) {
  field_set_c row = RowOf(sql_varchar, 3);
  EXPECT_TRUE(row.set_string(1, nullptr, ""));
  EXPECT_FALSE(row.is_null_at(0));
  EXPECT_EQ(row.find_field(1, nullptr)->indicator, SQL_NTS);
  EXPECT_TRUE(row.set_string(1, nullptr, "abc"));
  EXPECT_FALSE(row.set_string(1, nullptr, "abcd"));
  EXPECT_EQ(row.get_string(1), "abc");
  EXPECT_TRUE(row.set_string(1, nullptr, "åäö")) << "three characters in six bytes";
  EXPECT_EQ(row.get_wstring(1), L"åäö");
  EXPECT_TRUE(row.set_wstring(1, nullptr, L"Öl"));
  EXPECT_EQ(row.get_string(1), "Öl");

  // A surrogate pair is two UTF-16 units of a WVARCHAR.
  field_set_c wide;
  wide.add_field(1, nullptr, sql_wvarchar, 2);
  wide.add_field(2, nullptr, sql_wvarchar, 1);
  EXPECT_TRUE(wide.set_wstring(1, nullptr, L"😀"));
  EXPECT_EQ(wide.get_wstring(1), L"😀");
  EXPECT_EQ(wide.get_string(1), "😀");
  EXPECT_EQ(wvarchar_value(*wide.find_field(1, nullptr)), u"\xD83D\xDE00");
  EXPECT_FALSE(wide.set_string(2, nullptr, "😀"));
  EXPECT_FALSE(wide.set_wstring(1, nullptr, L"a😀"));
  wide.truncate_text = true;
  EXPECT_TRUE(wide.set_wstring(1, nullptr, L"a😀"));
  EXPECT_EQ(wide.get_wstring(1), L"a") << "cut before the pair, not inside it";
  EXPECT_TRUE(wide.set_string(1, nullptr, "xyz"));
  EXPECT_EQ(wide.get_wstring(1), L"xy");
}

TEST(FieldValues, WideTextADriverWroteAlwaysHasANarrowForm) {
  field_set_c row = RowOf(sql_wvarchar, 4);
  field_c& field = *row.find_field(1, nullptr);
  auto* units = static_cast<SQLWCHAR*>(field.value);
  units[0] = 'a';
  units[1] = 0xD800;  // a high surrogate with no pair
  units[2] = 0;
  field.indicator = 4;
  EXPECT_NO_THROW(field.to_string());
  EXPECT_EQ(field.to_string(), "a\xEF\xBF\xBD");
  EXPECT_EQ(row.get_wstring(1), L"a\xFFFD");
}

TEST(FieldValues, BitDateNumericAndGuidFromText) {
  field_set_c bit = RowOf(sql_bit);
  for (auto [text, value] : {std::pair{"true", false}, {"TRUE", true}, {"T", true}, {"false", false}}) {
    EXPECT_TRUE(bit.set_string(1, nullptr, text));
    EXPECT_EQ(bit.get_bool(1), value) << text;
  }

  // The date reader validates: a bad text keeps the value and reports failure.
  field_set_c day = RowOf(sql_date);
  ASSERT_TRUE(day.set_wstring(1, nullptr, L"2020-01-01"));
  for (const wchar_t* bad : {L"abc", L"2023-1-5", L"2023-02-30"}) {
    EXPECT_FALSE(day.set_wstring(1, nullptr, bad));
    EXPECT_EQ(day.get_date(1), date(2020, 1, 1));
  }
  field_set_c stamp = RowOf(sql_timestamp);
  ASSERT_TRUE(stamp.set_string(1, nullptr, "2023-01-05T10:00"));
  EXPECT_EQ(stamp.get_timestamp(1), ptime(date(2023, 1, 5)));
  ASSERT_TRUE(stamp.set_wstring(1, nullptr, L"2023-01-05 10:00:01.25"));
  EXPECT_EQ(stamp.get_string(1), "2023-01-05 10:00:01.250000") << "a full time stamp keeps its time";
  ASSERT_TRUE(stamp.parse_string(1, "2023-01-05 10:00:00.5"));
  EXPECT_EQ(stamp.get_string(1), "2023-01-05 10:00:00.500000");

  field_set_c number = RowOf(sql_numeric, 4, 2);
  ASSERT_TRUE(number.set_string(1, nullptr, "12.345"));
  EXPECT_EQ(number.get_string(1), "12.34");
  EXPECT_FALSE(number.set_string(1, nullptr, "123.4")) << "beyond NUMERIC(4,2)";
  EXPECT_FALSE(number.set_string(1, nullptr, "abc"));
  EXPECT_EQ(number.get_string(1), "12.34");
  EXPECT_EQ(numeric_value(*number.find_field(1, nullptr)).precision, 4);

  field_set_c guid = RowOf(sql_guid);
  ASSERT_TRUE(guid.set_string(1, nullptr, "{0123ABCD-4567-89AB-CDEF-0123456789AB}"));
  EXPECT_FALSE(guid.set_string(1, nullptr, "0123"));
  EXPECT_TRUE(guid.is_null_at(0) == false);

  field_set_c binary = RowOf(sql_binary, 4);
  EXPECT_FALSE(binary.set_string(1, nullptr, "ab"));
  EXPECT_FALSE(binary.find_field(1, nullptr)->parse_string("ab"));
}

TEST(FieldValues, DirectParse) {
  field_set_c row;
  row.add_field(1, nullptr, sql_integer);
  row.add_field(2, nullptr, sql_date);
  row.add_field(3, nullptr, sql_bit);
  row.add_field(4, nullptr, sql_numeric, 10, 2);
  EXPECT_TRUE(row.parse_string(1, "-42"));
  EXPECT_EQ(row.get_int(1), -42);
  EXPECT_THROW(row.parse_string(1, "12x"), boost::bad_lexical_cast);
  EXPECT_THROW(row.parse_string(1, " 5"), boost::bad_lexical_cast);
  // A SMALLINT takes a whole number of its range and nothing else.
  row.add_field(5, nullptr, sql_smallint);
  for (const char* text : {"1.00000", "1e3", "32768", "-32769", "99999999999999999999", "+-1", "+", "-", "0x10"})
    EXPECT_THROW(row.parse_string(5, text), boost::bad_lexical_cast) << text;
  for (const auto& [text, value] : {std::pair{"+7", 7}, {"-32768", -32768}, {"32767", 32767}, {"007", 7}}) {
    EXPECT_TRUE(row.parse_string(5, text));
    EXPECT_EQ(row.get_int(5), value) << text;
  }
  EXPECT_TRUE(row.parse_string(2, "20230105"));
  EXPECT_FALSE(row.parse_string(2, "2023-02-30"));
  EXPECT_EQ(row.get_date(2), date(2023, 1, 5));
  EXPECT_TRUE(row.parse_string(3, "true"));
  EXPECT_TRUE(row.get_bool(3));
  EXPECT_FALSE(row.parse_string(4, "1e5"));
  EXPECT_TRUE(row.parse_string(4, "-0.5"));
  EXPECT_EQ(row.get_string(4), "-0.50");
  EXPECT_TRUE(row.parse_string(4, ""));
  EXPECT_TRUE(row.is_null_at(3));
  EXPECT_FALSE(row.parse_string(9, "1"));
}

TEST(FieldValues, TextForms) {
  struct Case {
    int type;
    SQL_NUMERIC_STRUCT numeric;
    const char* text;
  } numerics[] = {
      {sql_numeric, Numeric(5, 0), "5.0"},
      {sql_numeric, Numeric(5, 2, 0), "-0.05"},
      {sql_numeric, Numeric(12345, 2), "123.45"},
  };
  for (const auto& c : numerics) {
    field_set_c row = RowOf(c.type, 10, c.numeric.scale);
    numeric_value(*row.find_field(1, nullptr)) = c.numeric;
    row.find_field(1, nullptr)->indicator = 0;
    EXPECT_EQ(row.find_field(1, nullptr)->to_string(), c.text);
  }
  field_set_c row;
  row.add_field(1, nullptr, sql_double);
  row.add_field(2, nullptr, sql_binary, 2);
  row.add_field(3, nullptr, sql_bit);
  row.add_field(4, nullptr, sql_bigint);
  row.set_double(1, 0.1);
  EXPECT_EQ(row.find_field(1, nullptr)->to_string(), "0.10000000000000001");
  row.set_double(1, -std::numeric_limits<double>::infinity());
  EXPECT_EQ(row.find_field(1, nullptr)->to_string(), "-inf");
  const unsigned char bytes[] = {1, 2};
  ASSERT_TRUE(set_binary_value(*row.find_field(2, nullptr), bytes));
  EXPECT_EQ(row.find_field(2, nullptr)->to_string(), "");
  row.set_bool(3, nullptr, true);
  EXPECT_EQ(row.find_field(3, nullptr)->to_string(), "TRUE");
  EXPECT_EQ(row.get_string(3), "1");
  row.set_int64(4, nullptr, INT64_MIN);
  EXPECT_EQ(row.get_string(4), "-9223372036854775808");
  row.set_null(4, nullptr);
  EXPECT_EQ(row.get_string(4), "");
}

TEST(FieldValues, Compare) {
  field_set_c a, b;
  for (field_set_c* row : {&a, &b}) {
    row->add_field(1, nullptr, sql_integer);
    row->add_field(2, nullptr, sql_smallint);
    row->add_field(3, nullptr, sql_varchar, 10);
    row->add_field(4, nullptr, sql_wvarchar, 10);
    row->add_field(5, nullptr, sql_timestamp);
    row->add_field(6, nullptr, sql_double);
  }
  const field_c& int1 = *a.find_field(1, nullptr);
  const field_c& int2 = *b.find_field(1, nullptr);
  EXPECT_EQ(int1.compare(int2), 0) << "NULL with NULL";
  b.set_int(1, 5);
  EXPECT_EQ(int1.compare(int2), -1);
  EXPECT_EQ(int2.compare(int1), 1);
  EXPECT_EQ(int2.compare(*b.find_field(2, nullptr)), -2) << "INTEGER with SMALLINT";
  EXPECT_EQ(a.find_field(3, nullptr)->compare(int2), -1) << "NULL text before the type test";

  a.set_string(3, nullptr, "Ärlig");
  b.set_string(3, nullptr, "äRLIG");
  EXPECT_EQ(a.find_field(3, nullptr)->compare(*b.find_field(3, nullptr)), 0);
  a.set_string(4, nullptr, "Abc");
  b.set_string(4, nullptr, "aBC");
  EXPECT_EQ(a.find_field(4, nullptr)->compare(*b.find_field(4, nullptr)), 0);
  EXPECT_EQ(a.find_field(3, nullptr)->compare(*b.find_field(4, nullptr)), -2);

  a.set_timestamp(5, nullptr, ptime(date(2020, 1, 1), time_duration(1, 2, 3) + boost::posix_time::millisec(1)));
  b.set_timestamp(5, nullptr, ptime(date(2020, 1, 1), time_duration(1, 2, 3) + boost::posix_time::millisec(2)));
  EXPECT_EQ(a.find_field(5, nullptr)->compare(*b.find_field(5, nullptr)), -1);
  EXPECT_EQ(b.find_field(5, nullptr)->compare(*a.find_field(5, nullptr)), 1);

  a.set_double(6, std::nan(""));
  b.set_double(6, 1.0);
  EXPECT_EQ(a.find_field(6, nullptr)->compare(*b.find_field(6, nullptr)), 1);

  // Numerics compare by value across scales and magnitudes of all 16 bytes.
  field_set_c n;
  n.add_field(1, nullptr, sql_numeric, 10, 1);
  n.add_field(2, nullptr, sql_numeric, 10, 2);
  n.add_field(3, nullptr, sql_numeric, 38, 0);
  n.set_double(1, 1.5);
  n.set_double(2, 1.50);
  EXPECT_EQ(n.find_field(1, nullptr)->compare(*n.find_field(2, nullptr)), 0);
  n.set_double(2, -1.50);
  EXPECT_EQ(n.find_field(2, nullptr)->compare(*n.find_field(1, nullptr)), -1);
  ASSERT_TRUE(n.set_string(3, nullptr, "100000000000000000000"));
  EXPECT_EQ(n.find_field(3, nullptr)->compare(*n.find_field(1, nullptr)), 1);

  // Invalid stored dates raise the calendar's range error.
  field_set_c d = RowOf(sql_date), e = RowOf(sql_date);
  date_value(*d.find_field(1, nullptr)) = DATE_STRUCT{2021, 2, 30};
  d.find_field(1, nullptr)->indicator = 0;
  e.set_date(1, nullptr, date(2021, 2, 1));
  EXPECT_THROW(d.find_field(1, nullptr)->compare(*e.find_field(1, nullptr)), std::out_of_range);

  // Binary: the longer value sorts first when the common part is equal.
  field_set_c bin;
  bin.add_field(1, nullptr, sql_binary, 2);
  bin.add_field(2, nullptr, sql_binary, 3);
  const unsigned char ab[] = {1, 2}, abc[] = {1, 2, 0};
  set_binary_value(*bin.find_field(1, nullptr), ab);
  set_binary_value(*bin.find_field(2, nullptr), abc);
  EXPECT_EQ(bin.find_field(2, nullptr)->compare(*bin.find_field(1, nullptr)), -1);
}

TEST(FieldValues, ClonesOwnTheirStorage) {
  field_set_c row;
  row.add_field(7, nullptr, sql_varchar, 8);
  row.add_field(8, nullptr, sql_binary, 2);
  row.set_string(7, nullptr, "first");
  field_c& original = *row.find_field(7, nullptr);
  original.touched = true;
  const auto copy = original.clone();
  EXPECT_NE(copy->value, original.value);
  EXPECT_FALSE(copy->touched);
  EXPECT_EQ(copy->id, 7);
  EXPECT_EQ(copy->column_size, 8);
  row.set_string(7, nullptr, "second");
  EXPECT_EQ(copy->to_string(), "first");

  const unsigned char bytes[] = {9, 8};
  set_binary_value(*row.find_field(8, nullptr), bytes);
  const auto binaryCopy = row.find_field(8, nullptr)->clone();
  set_binary_value(*row.find_field(8, nullptr), std::span<const unsigned char>());
  EXPECT_EQ(binary_value(*binaryCopy)[0], 9);
  EXPECT_EQ(binary_value(*row.find_field(8, nullptr))[0], 0);
}

// ---- Row buffer ----------------------------------------------------------------

TEST(RowBuffer, KeysAndLookup) {
  field_set_c row;
  const field_path_t path{3, 4}, other{3, 5}, unresolved{3, -1};
  EXPECT_FALSE(row.add_field(1, nullptr, 3));
  EXPECT_FALSE(row.add_field(1, nullptr, -1));
  EXPECT_EQ(row.field_count(), 0);
  EXPECT_TRUE(row.add_field(1, &path, sql_integer));
  EXPECT_FALSE(row.add_field(1, &path, sql_varchar, 5)) << "same key twice";
  EXPECT_TRUE(row.add_field(1, &other, sql_integer));
  EXPECT_TRUE(row.add_field(2, &unresolved, sql_integer));
  EXPECT_EQ(row.field_count(), 3);

  EXPECT_EQ(row.find_field(1, nullptr), nullptr) << "no field without path";
  EXPECT_EQ(row.index_of(1, &other), 1);
  EXPECT_EQ(row.find_field(2, &unresolved), nullptr) << "-1 never matches";
  const field_path_t empty;
  EXPECT_TRUE(row.add_field(1, &empty, sql_integer));
  EXPECT_EQ(row.index_of(1, nullptr), 3);
  EXPECT_EQ(row.index_of(1, &empty), 3);

  std::int32_t id = 0;
  const field_path_t* keyPath = &empty;
  ASSERT_TRUE(row.field_key_at(1, id, keyPath));
  EXPECT_EQ(id, 1);
  EXPECT_EQ(*keyPath, other);
  ASSERT_TRUE(row.field_key_at(3, id, keyPath));
  EXPECT_EQ(keyPath, nullptr);
  EXPECT_FALSE(row.field_key_at(4, id, keyPath));
  EXPECT_EQ(row.field_id_at(-1), -1);
  EXPECT_TRUE(row.is_null_at(row.field_count()));
  EXPECT_TRUE(row.is_null_at(-1));

  field_set_c ids;
  EXPECT_EQ(ids.add_field_auto_id(sql_integer), 1);
  ids.clear();
  ids.add_field(4, nullptr, sql_integer);
  ids.add_field(9, nullptr, sql_integer);
  EXPECT_EQ(ids.add_field_auto_id(sql_bigint), 10);
  EXPECT_EQ(ids.add_field_auto_id(3), -1);
  EXPECT_EQ(row_number_field_id, 32766);
}

TEST(RowBuffer, BindingInfoAndStableAddresses) {
  field_set_c row;
  row.add_field(1, nullptr, sql_varchar, 10);
  row.add_field(2, nullptr, sql_wvarchar, 10);
  row.add_field(3, nullptr, sql_binary, 8);
  row.add_field(4, nullptr, sql_numeric, 38, 2);
  struct Case {
    SQLSMALLINT type;
    SQLLEN length;
    SQLSMALLINT decimals;
  } expected[] = {{sql_varchar, 44, 0}, {sql_wvarchar, 22, 0}, {sql_binary, 8, 0}, {sql_numeric, 0, 2}};
  std::vector<void*> buffers;
  for (int i = 0; i < 4; ++i) {
    SQLLEN* indicator = nullptr;
    SQLSMALLINT type = 0, decimals = -1;
    SQLLEN length = -1;
    void* buffer = row.binding_info(i, &indicator, &type, &length, &decimals);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(type, expected[i].type);
    EXPECT_EQ(length, expected[i].length);
    EXPECT_EQ(decimals, expected[i].decimals);
    EXPECT_EQ(*indicator, SQL_NULL_DATA);
    buffers.push_back(buffer);
  }
  EXPECT_EQ(row.binding_info(4, nullptr, nullptr, nullptr, nullptr), nullptr);
  for (int id = 10; id < 200; ++id) row.add_field(id, nullptr, sql_integer);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(row.binding_info(i, nullptr, nullptr, nullptr, nullptr), buffers[i]);
  const auto& number = *static_cast<const SQL_NUMERIC_STRUCT*>(buffers[3]);
  EXPECT_EQ(number.precision, 38);
  EXPECT_EQ(number.scale, 2);
}

TEST(RowBuffer, TextSettersAndTruncation) {
  field_set_c row;
  row.add_field(1, nullptr, sql_integer);
  row.add_field(2, nullptr, sql_wvarchar, 5);
  row.add_field(3, nullptr, sql_varchar, 5);
  row.set_int(1, 4);
  EXPECT_TRUE(row.set_wstring(1, nullptr, L""));
  EXPECT_TRUE(row.is_null_at(0));
  EXPECT_TRUE(row.set_wstring(2, nullptr, L""));
  EXPECT_FALSE(row.is_null_at(1));

  row.set_string(3, nullptr, "old");
  EXPECT_FALSE(row.set_string(3, nullptr, "abcdefgh"));
  EXPECT_EQ(row.get_string(3), "old");
  row.truncate_text = true;
  EXPECT_TRUE(row.set_string(3, nullptr, "abcdefgh"));
  EXPECT_EQ(row.get_string(3), "abcde");
  EXPECT_TRUE(row.set_string(3, nullptr, "åäöåäöåä"));
  EXPECT_EQ(row.get_string(3), "åäöåä");
  EXPECT_TRUE(row.parse_string(3, "123456"));
  EXPECT_EQ(row.get_string(3), "12345");
  EXPECT_FALSE(row.set_string(1, nullptr, "x")) << "truncation is for text fields only";
  EXPECT_FALSE(row.set_string(9, nullptr, "x"));

  row.touched = true;
  row.set_string(3, nullptr, "t");
  EXPECT_TRUE(row.find_field(3, nullptr)->touched);
}

TEST(RowBuffer, SqlLiterals) {
  field_set_c row;
  row.add_field(1, nullptr, sql_varchar, 20);
  row.add_field(2, nullptr, sql_bit);
  row.add_field(3, nullptr, sql_date);
  row.add_field(4, nullptr, sql_numeric, 10, 2);
  row.add_field(5, nullptr, sql_wvarchar, 20);
  row.add_field(6, nullptr, sql_guid);
  row.set_string(1, nullptr, "O'Brien");
  row.set_bool(2, nullptr, true);
  row.set_int(3, 2451545);
  row.set_double(4, -123.45);
  row.set_wstring(5, nullptr, L"it's");
  row.set_string(6, nullptr, "0123abcd-4567-89ab-cdef-0123456789ab");
  EXPECT_EQ(row.sql_literal(1, nullptr), "N'O''Brien'");
  EXPECT_EQ(row.sql_literal(2, nullptr), "1");
  EXPECT_EQ(row.sql_literal(3, nullptr), "'2000-01-01'");
  EXPECT_EQ(row.sql_literal(4, nullptr), "-123.45");
  EXPECT_EQ(row.sql_literal(5, nullptr), "N'it''s'");
  EXPECT_EQ(row.sql_literal(6, nullptr), "'0123abcd-4567-89ab-cdef-0123456789ab'");
  row.set_null(1, nullptr);
  EXPECT_EQ(row.sql_literal(1, nullptr), "NULL");
  EXPECT_EQ(row.sql_literal(9, nullptr), "");
}

field_set_c ThreeFields() {
  field_set_c row;
  row.add_field(10, nullptr, sql_integer);
  row.add_field(20, nullptr, sql_varchar, 8);
  row.add_field(30, nullptr, sql_date);
  row.set_int(10, 1);
  row.set_string(20, nullptr, "two");
  row.set_int(30, 2451545);
  return row;
}

TEST(RowBuffer, SelectCopyAndMove) {
  const field_set_c row = ThreeFields();
  const field_set_c selected = row.select_fields({2, 0});
  ASSERT_EQ(selected.field_count(), 2);
  EXPECT_EQ(selected.field_id_at(0), 30);
  EXPECT_EQ(selected.index_of(10, nullptr), 1);
  EXPECT_EQ(selected.get_int(10), 1);
  try {
    row.select_fields({0, 0});
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Field copy failed.");
  }
  try {
    row.select_fields({3});
    ADD_FAILURE();
  } catch (const std::range_error& e) {
    EXPECT_STREQ(e.what(), "Field index out of range");
  }

  field_set_c source = ThreeFields();
  source.touched = true;
  source.null_on_overflow = true;
  source.find_field(20, nullptr)->touched = true;
  field_set_c copy(source);
  EXPECT_TRUE(copy.equals(source));
  EXPECT_TRUE(copy.null_on_overflow);
  EXPECT_TRUE(copy.find_field(20, nullptr)->touched);
  EXPECT_FALSE(copy.find_field(10, nullptr)->touched);
  source.set_string(20, nullptr, "changed");
  EXPECT_EQ(copy.get_string(20), "two");

  field_set_c assigned;
  assigned.add_field(99, nullptr, sql_bit);
  assigned = source;
  EXPECT_TRUE(assigned.equals(source));
  EXPECT_EQ(assigned.find_field(99, nullptr), nullptr);
  EXPECT_FALSE(assigned.find_field(20, nullptr)->touched);
  assigned = field_set_c();
  EXPECT_EQ(assigned.field_count(), 0);

  void* buffer = source.binding_info(1, nullptr, nullptr, nullptr, nullptr);
  field_set_c moved(std::move(source));
  EXPECT_EQ(moved.binding_info(1, nullptr, nullptr, nullptr, nullptr), buffer);
  EXPECT_EQ(source.field_count(), 0);
  EXPECT_TRUE(source.add_field(10, nullptr, sql_integer)) << "a moved-from row is usable";
  EXPECT_EQ(source.find_field(20, nullptr), nullptr);
}

TEST(RowBuffer, CopyingValues) {
  field_set_c source = ThreeFields();
  field_set_c target;
  target.add_field(10, nullptr, sql_integer);
  target.add_field(20, nullptr, sql_varchar, 8);
  target.add_field(30, nullptr, sql_date);
  target.add_field(40, nullptr, sql_varchar, 9);
  target.touched = true;

  EXPECT_TRUE(target.copy_value_at(1, source, 1, true));
  EXPECT_EQ(target.get_string(20), "two");
  EXPECT_TRUE(target.find_field(20, nullptr)->touched);
  EXPECT_FALSE(target.copy_value_at(1, source, 3, true)) << "another column size";
  EXPECT_FALSE(target.copy_value_at(0, source, 1, true)) << "another type";
  EXPECT_FALSE(target.copy_value_at(-1, source, 1, true));
  EXPECT_FALSE(target.copy_value_at(0, source, 4, true));

  EXPECT_TRUE(target.copy_value_by_id(30, 30, source, false));
  EXPECT_EQ(target.get_date(30), date(2000, 1, 1));
  EXPECT_FALSE(target.find_field(30, nullptr)->touched);
  EXPECT_FALSE(target.copy_value_by_id(20, 40, source, false));

  target.set_all_null();
  EXPECT_FALSE(target.copy_values_from({10, 40}, source, true));
  EXPECT_TRUE(target.is_null_at(0)) << "nothing is copied when one pair fails";
  EXPECT_TRUE(target.copy_values_from({10, 30}, source, true));
  EXPECT_EQ(target.get_int(10), 1);
  EXPECT_EQ(target.get_int(30), 2451545);
}

TEST(RowBuffer, CompareAndEquals) {
  field_set_c a = ThreeFields(), b = ThreeFields();
  b.set_null(10, nullptr);
  EXPECT_EQ(a.compare_field(10, b, 10), -2);
  EXPECT_EQ(b.compare_field_at(0, a), -1);
  EXPECT_EQ(a.compare_field(10, b, 30), -2);
  EXPECT_EQ(a.compare_field_at(3, b), -2);
  b.set_null_at(2);
  a.set_null_at(2);
  EXPECT_EQ(a.compare_field(30, b, 30), 0);

  // Same keys and values in another order.
  const field_path_t path{5};
  field_set_c x, y;
  x.add_field(1, nullptr, sql_integer);
  x.add_field(1, &path, sql_varchar, 4);
  y.add_field(1, &path, sql_varchar, 4);
  y.add_field(1, nullptr, sql_integer);
  for (field_set_c* row : {&x, &y}) {
    row->set_int(1, 8);
    row->set_string(1, &path, "Abc");
  }
  EXPECT_TRUE(x.equals(y));
  EXPECT_TRUE(y.same_layout(x));
  y.set_string(1, &path, "abd");
  EXPECT_FALSE(x.equals(y));
  field_set_c z;
  z.add_field(1, nullptr, sql_integer);
  z.add_field(1, &path, sql_varchar, 5);
  z.set_int(1, 8);
  z.set_string(1, &path, "Abc");
  EXPECT_FALSE(x.equals(z)) << "another column size";
}

// ---- Typed accessors -----------------------------------------------------------

TEST(TypedAccessors, NumberGettersAcrossStoredTypes) {
  struct Case {
    const char* what;
    int type, size, decimals;
    std::function<void(field_set_c&)> set;
    int asInt;
    std::int64_t asInt64;
    double asDouble;
  };
  auto numeric = [](std::uint64_t magnitude, int scale, int sign = 1) {
    return [=](field_set_c& row) {
      numeric_value(*row.find_field(1, nullptr)) = Numeric(magnitude, scale, sign);
      row.find_field(1, nullptr)->indicator = 0;
    };
  };
  const Case cases[] = {
      {"double 3.99", sql_double, 0, 0, [](field_set_c& r) { r.set_double(1, 3.99); }, 3, 3, 3.99},
      {"double -3.99", sql_double, 0, 0, [](field_set_c& r) { r.set_double(1, -3.99); }, -3, -3, -3.99},
      {"double 3e9", sql_double, 0, 0, [](field_set_c& r) { r.set_double(1, 3e9); }, 0, 3'000'000'000, 3e9},
      {"double nan", sql_double, 0, 0, [](field_set_c& r) { r.set_double(1, std::nan("")); }, 0, 0, std::nan("")},
      {"bigint 2^31", sql_bigint, 0, 0, [](field_set_c& r) { r.set_int64(1, nullptr, 2147483648); }, 0, 2147483648,
       2147483648.0},
      {"bigint -2^31", sql_bigint, 0, 0, [](field_set_c& r) { r.set_int64(1, nullptr, -2147483648); }, INT32_MIN,
       -2147483648, -2147483648.0},
      {"numeric 123.45", sql_numeric, 10, 2, numeric(12345, 2), 123, 123, 123.45},
      {"numeric -123.45", sql_numeric, 10, 2, numeric(12345, 2, 0), -123, -123, -123.45},
      {"numeric 50000000.00", sql_numeric, 18, 2, numeric(5'000'000'000, 2), 50'000'000, 50'000'000, 5e7},
      {"numeric 5e9", sql_numeric, 18, 0, numeric(5'000'000'000, 0), 0, 5'000'000'000, 5e9},
      {"varchar ' 42 '", sql_varchar, 8, 0, [](field_set_c& r) { r.set_string(1, nullptr, " 42 "); }, 42, 42, 42.0},
      {"varchar 12abc", sql_varchar, 8, 0, [](field_set_c& r) { r.set_string(1, nullptr, "12abc"); }, 0, 0, 0.0},
      {"wvarchar 2.5", sql_wvarchar, 8, 0, [](field_set_c& r) { r.set_string(1, nullptr, "2.5"); }, 0, 0, 2.5},
      {"date 2000-01-01", sql_date, 0, 0, [](field_set_c& r) { r.set_date(1, nullptr, date(2000, 1, 1)); }, 2451545,
       2451545, 2451545.0},
      {"date 2021-02-30", sql_date, 0, 0,
       [](field_set_c& r) {
         date_value(*r.find_field(1, nullptr)) = DATE_STRUCT{2021, 2, 30};
         r.find_field(1, nullptr)->indicator = 0;
       },
       0, 0, 0.0},
      {"timestamp 1970-01-02", sql_timestamp, 0, 0,
       [](field_set_c& r) { r.set_timestamp(1, nullptr, ptime(date(1970, 1, 2))); }, 86400, 86400, 86400.0},
      {"timestamp 2100", sql_timestamp, 0, 0,
       [](field_set_c& r) { r.set_timestamp(1, nullptr, ptime(date(2100, 1, 1))); }, 0, 4102444800, 4102444800.0},
      {"bit", sql_bit, 0, 0, [](field_set_c& r) { r.set_bool(1, nullptr, true); }, 1, 1, 1.0},
      {"guid", sql_guid, 0, 0, [](field_set_c& r) { r.set_string(1, nullptr, "0123abcd456789abcdef0123456789ab"); },
       0, 0, 0.0},
      {"null", sql_integer, 0, 0, [](field_set_c&) {}, 0, 0, 0.0},
  };
  for (const auto& c : cases) {
    field_set_c row = RowOf(c.type, c.size, c.decimals);
    c.set(row);
    EXPECT_EQ(row.get_int(1), c.asInt) << c.what;
    EXPECT_EQ(row.get_int64(1), c.asInt64) << c.what;
    if (std::isnan(c.asDouble)) {
      EXPECT_TRUE(std::isnan(row.get_double(1))) << c.what;
    } else {
      EXPECT_DOUBLE_EQ(row.get_double(1), c.asDouble) << c.what;
    }
  }
  field_set_c empty;
  EXPECT_EQ(empty.get_int(1), 0);
  EXPECT_EQ(empty.get_guid(1), boost::uuids::uuid{});
}

TEST(TypedAccessors, BoolDateAndGuidGetters) {
  field_set_c row;
  row.add_field(1, nullptr, sql_smallint);
  row.add_field(2, nullptr, sql_integer);
  row.add_field(3, nullptr, sql_numeric, 5, 0);
  row.add_field(4, nullptr, sql_double);
  row.add_field(5, nullptr, sql_timestamp);
  row.add_field(6, nullptr, sql_guid);
  row.set_int(1, 1);
  row.set_int(2, 2);
  row.set_int(3, 1);
  row.set_double(4, std::nan(""));
  // A flag kept in any number column is set when the number is not zero.
  EXPECT_TRUE(row.get_bool(1));
  EXPECT_TRUE(row.get_bool(2));
  EXPECT_TRUE(row.get_bool(3));
  EXPECT_TRUE(row.get_bool(4));
  for (int id : {1, 2, 3}) row.set_int(id, 0);
  row.set_double(4, -0.0);
  for (int id : {1, 2, 3, 4}) EXPECT_FALSE(row.get_bool(id)) << id;

  TIMESTAMP_STRUCT& t = timestamp_value(*row.find_field(5, nullptr));
  t = TIMESTAMP_STRUCT{2020, 5, 6, 7, 8, 9, 500000000};
  row.find_field(5, nullptr)->indicator = 0;
  EXPECT_EQ(row.get_timestamp(5), ptime(date(2020, 5, 6), time_duration(7, 8, 9) + boost::posix_time::millisec(500)));
  EXPECT_EQ(row.get_date(5), date(2020, 5, 6));
  EXPECT_TRUE(row.get_date(2).is_not_a_date());
  t.month = 13;
  EXPECT_TRUE(row.get_timestamp(5).is_not_a_date_time());

  const boost::uuids::uuid u = {0x01, 0x23, 0xab, 0xcd, 0x45, 0x67, 0x89, 0xab,
                                0xcd, 0xef, 0x01, 0x23, 0x45, 0x67, 0x89, 0xab};
  ASSERT_TRUE(row.set_guid(6, nullptr, u));
  EXPECT_EQ(row.get_guid(6), u);
  EXPECT_EQ(guid_value(*row.find_field(6, nullptr)).Data1, 0x0123abcdu);
  EXPECT_EQ(row.get_string(6), "0123abcd-4567-89ab-cdef-0123456789ab");
  EXPECT_FALSE(row.set_guid(2, nullptr, u));
}

TEST(TypedAccessors, IntegerSetters) {
  field_set_c row;
  row.add_field(1, nullptr, sql_date);
  row.add_field(2, nullptr, sql_smallint);
  row.add_field(3, nullptr, sql_timestamp);
  row.add_field(4, nullptr, sql_varchar, 4);
  row.add_field(5, nullptr, sql_integer);

  EXPECT_TRUE(row.set_int(1, 2451545));
  EXPECT_EQ(row.get_date(1), date(2000, 1, 1));
  EXPECT_TRUE(row.set_int(1, 0));
  EXPECT_TRUE(row.is_null_at(0));
  EXPECT_THROW(row.set_int(1, 100), boost::gregorian::bad_year);
  EXPECT_THROW(row.set_int64(1, nullptr, -5), std::out_of_range);

  row.set_int(2, 7);
  EXPECT_FALSE(row.set_int(2, 40000));
  EXPECT_EQ(row.get_int(2), 7);
  EXPECT_FALSE(row.set_int64(5, nullptr, 1LL << 40));
  EXPECT_FALSE(row.set_int(4, 1));

  // Seconds since 1970 keep dates after 2038, and before 1970.
  EXPECT_TRUE(row.set_int64(3, nullptr, 4102444800 + 3661));
  EXPECT_EQ(row.get_timestamp(3), ptime(date(2100, 1, 1), time_duration(1, 1, 1)));
  EXPECT_TRUE(row.set_int(3, -1));
  EXPECT_EQ(row.get_timestamp(3), ptime(date(1969, 12, 31), time_duration(23, 59, 59)));
  EXPECT_TRUE(row.set_int(3, 0));
  EXPECT_TRUE(row.is_null_at(2));
}

TEST(TypedAccessors, NumericStore) {
  field_set_c row;
  row.add_field(1, nullptr, sql_numeric, 4, 2);
  row.add_field(2, nullptr, sql_numeric, 10, 2);
  row.add_field(3, nullptr, sql_numeric, 38, 2);
  row.add_field(4, nullptr, sql_numeric, 10, 0);

  EXPECT_TRUE(row.set_int64(1, nullptr, 12));
  EXPECT_EQ(row.get_string(1), "12.00");
  EXPECT_FALSE(row.set_int64(1, nullptr, 12345));
  EXPECT_FALSE(row.set_int(1, 500)) << "50000 hundredths exceed NUMERIC(4,2)";
  EXPECT_EQ(row.get_string(1), "12.00");
  EXPECT_TRUE(row.set_int(1, 99));
  row.null_on_overflow = true;
  EXPECT_TRUE(row.set_int64(1, nullptr, 12345));
  EXPECT_TRUE(row.is_null_at(0));
  row.null_on_overflow = false;

  EXPECT_TRUE(row.set_scaled_int64(2, nullptr, 12345, 3));
  EXPECT_EQ(row.get_string(2), "12.34");
  row.null_on_overflow = true;
  EXPECT_FALSE(row.set_scaled_int64(2, nullptr, 1, 40)) << "a scale beyond 38 is no overflow";
  row.null_on_overflow = false;

  // All 38 digits of the column are kept.
  EXPECT_TRUE(row.set_int64(3, nullptr, INT64_MAX));
  EXPECT_EQ(row.get_string(3), "9223372036854775807.00");
  EXPECT_TRUE(row.set_int64(3, nullptr, INT64_MIN));
  EXPECT_EQ(row.get_string(3), "-9223372036854775808.00");
  EXPECT_EQ(row.get_int64(3), INT64_MIN);
  EXPECT_EQ(row.get_int(3), 0);
  ASSERT_TRUE(row.set_string(3, nullptr, "999999999999999999999999999999999999.99"));
  EXPECT_EQ(row.get_string(3), "999999999999999999999999999999999999.99");
  EXPECT_EQ(row.get_int64(3), 0) << "beyond 64 bits";
  EXPECT_DOUBLE_EQ(row.get_double(3), 1e36);

  struct Case {
    int id;
    double x;
    const char* text;
  } doubles[] = {{2, 1.005, "1.01"}, {2, 1.0049, "1.00"}, {4, -2.5, "-3.0"}, {2, 2.675, "2.68"}, {2, -0.001, "0.00"}};
  for (const auto& c : doubles) {
    EXPECT_TRUE(row.set_double(c.id, c.x)) << c.x;
    EXPECT_EQ(row.get_string(c.id), c.text) << c.x;
  }
  EXPECT_FALSE(row.set_double(2, 1e300));
  EXPECT_FALSE(row.set_double(2, std::nan("")));
}

TEST(TypedAccessors, DoubleBoolAndScaledSetters) {
  field_set_c row;
  row.add_field(1, nullptr, sql_integer);
  row.add_field(2, nullptr, sql_double);
  row.add_field(3, nullptr, sql_bit);
  row.add_field(4, nullptr, sql_date);
  row.add_field(5, nullptr, sql_bigint);
  row.add_field(6, nullptr, sql_timestamp);

  EXPECT_TRUE(row.set_double(1, 1.5));
  EXPECT_EQ(row.get_int(1), 1);
  EXPECT_FALSE(row.set_double(1, 3e9));
  EXPECT_TRUE(row.set_double(3, std::nan("")));
  EXPECT_TRUE(row.get_bool(3));
  EXPECT_TRUE(row.set_double(4, 2451545.9));
  EXPECT_EQ(row.get_date(4), date(2000, 1, 1));
  EXPECT_TRUE(row.set_double(4, 1e12));
  EXPECT_TRUE(row.is_null_at(3)) << "beyond the int range counts as below 1";
  EXPECT_FALSE(row.set_double(5, 1e19));
  EXPECT_FALSE(row.set_double(6, 1.0));

  EXPECT_TRUE(row.set_scaled_int64(2, nullptr, 12345, 1));
  EXPECT_DOUBLE_EQ(row.get_double(2), 1234.5);
  EXPECT_FALSE(row.set_scaled_int64(1, nullptr, 12345, 1));
  EXPECT_TRUE(row.set_scaled_int64(1, nullptr, 12345, 0));
  EXPECT_EQ(row.get_int(1), 12345);

  // A field reached through a path is not the field of that id without one.
  const field_path_t path{2};
  row.add_field(1, &path, sql_integer);
  row.set_int(1, 0);
  EXPECT_TRUE(row.set_bool(1, &path, true));
  EXPECT_EQ(row.get_int(1, &path), 1);
  EXPECT_EQ(row.get_int(1), 0);
  EXPECT_TRUE(row.set_bool(2, nullptr, true));
  EXPECT_EQ(row.get_double(2), 1.0);
  EXPECT_FALSE(row.set_bool(4, nullptr, true));
}

TEST(TypedAccessors, DateAndTimestampSetters) {
  field_set_c row;
  row.add_field(1, nullptr, sql_timestamp);
  row.add_field(2, nullptr, sql_date);
  row.add_field(3, nullptr, sql_integer);
  row.touched = true;

  EXPECT_TRUE(row.set_timestamp(1, nullptr, ptime(date(2020, 5, 6), time_duration(7, 8, 9) +
                                                                          boost::posix_time::microsec(123456))));
  const TIMESTAMP_STRUCT& t = timestamp_value(*row.find_field(1, nullptr));
  EXPECT_EQ(t.hour, 7);
  EXPECT_EQ(t.minute, 8);
  EXPECT_EQ(t.second, 9);
  EXPECT_EQ(t.fraction, 123456000u);
  EXPECT_EQ(row.get_string(1), "2020-05-06 07:08:09.123456");

  EXPECT_TRUE(row.set_date(1, nullptr, date(2021, 3, 4)));
  EXPECT_EQ(row.get_timestamp(1), ptime(date(2021, 3, 4)));
  EXPECT_TRUE(row.set_date(2, nullptr, date(2021, 3, 4)));
  EXPECT_THROW(row.set_date(2, nullptr, date()), std::out_of_range);
  EXPECT_FALSE(row.set_date(3, nullptr, date(2021, 3, 4)));
  EXPECT_TRUE(row.find_field(3, nullptr)->touched) << "the flag is taken before the type is examined";
  EXPECT_FALSE(row.set_timestamp(2, nullptr, ptime(date(2021, 3, 4))));
  row.find_field(2, nullptr)->touched = false;
  EXPECT_FALSE(row.set_timestamp(2, nullptr, ptime(date(2021, 3, 4))));
  EXPECT_FALSE(row.find_field(2, nullptr)->touched) << "but not by set_timestamp";
}

TEST(TypedAccessors, WideAndNarrowTextGetters) {
  field_set_c row;
  row.add_field(1, nullptr, sql_varchar, 10);
  row.add_field(2, nullptr, sql_numeric, 10, 2);
  row.add_field(3, nullptr, sql_bit);
  row.set_string(1, nullptr, "Göteborg");
  row.set_double(2, 1.5);
  row.set_bool(3, nullptr, false);
  EXPECT_EQ(row.get_wstring(1), L"Göteborg");
  EXPECT_EQ(row.get_wstring(2), L"1.50");
  EXPECT_EQ(row.get_wstring(3), L"FALSE");
  EXPECT_EQ(row.get_string(3), "0");
  EXPECT_EQ(row.get_wstring(9), L"");
}

}  // namespace
}  // namespace lumdb
