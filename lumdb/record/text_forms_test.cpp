#include "lumdb/record/text_forms.h"

#include <cmath>
#include <cstring>
#include <locale>
#include <stdexcept>

#include <gtest/gtest.h>

namespace lumdb {
namespace {

bool SameDate(const DATE_STRUCT& d, int y, int m, int day) { return d.year == y && d.month == m && d.day == day; }

TEST(TextForms, NarrowDateReaderAcceptsOnlyRealCalendarDates) {
  struct Case {
    const char* text;
    bool ok;
    int y = 0, m = 0, d = 0;
  } cases[] = {
      {"2023-01-05", true, 2023, 1, 5}, {"20230105", true, 2023, 1, 5}, {"2023-02-30", false},
      {"1399-12-31", false},            {"2023-13-01", false},          {"2023/01/05", false},
      {"2023-01-05x", false},           {"", false},                    {"2024-02-29", true, 2024, 2, 29},
  };
  for (const auto& c : cases) {
    DATE_STRUCT date{1999, 9, 9};
    EXPECT_EQ(parse_date(std::string_view(c.text), date), c.ok) << c.text;
    if (c.ok) {
      EXPECT_TRUE(SameDate(date, c.y, c.m, c.d)) << c.text;
    } else {
      EXPECT_TRUE(SameDate(date, 1999, 9, 9)) << c.text << ": a failed read leaves the date alone";
    }
  }
}

TEST(TextForms, WideDateReaderValidatesWhatItReads) {
  struct Case {
    const wchar_t* text;
    bool ok;
    int y = 0, m = 0, d = 0;
  } cases[] = {
      {L"2023-01-05T10:00", true, 2023, 1, 5},
      {L"2023-01-05 10:00:00", true, 2023, 1, 5},
      {L"230105", true, 2023, 1, 5},
      {L"991231", true, 1999, 12, 31},
      {L"19650301", true, 1965, 3, 1},
      {L"abc", false},
      {L"2023-1-5", false},
      {L"2023-02-30", false},
      {L"", false},
      {L"20231", false},
  };
  for (const auto& c : cases) {
    DATE_STRUCT date{1999, 9, 9};
    EXPECT_EQ(parse_date(std::wstring_view(c.text), date), c.ok);
    if (c.ok) {
      EXPECT_TRUE(SameDate(date, c.y, c.m, c.d));
    } else {
      EXPECT_TRUE(SameDate(date, 1999, 9, 9));
    }
  }
}

TEST(TextForms, TimestampsReadAndWriteWithSixFractionDigits) {
  TIMESTAMP_STRUCT t{};
  ASSERT_TRUE(parse_timestamp("2020-05-06 07:08:09.123456", t));
  EXPECT_EQ(t.year, 2020);
  EXPECT_EQ(t.hour, 7);
  EXPECT_EQ(t.minute, 8);
  EXPECT_EQ(t.second, 9);
  EXPECT_EQ(t.fraction, 123456000u);
  EXPECT_EQ(timestamp_to_string(t), "2020-05-06 07:08:09.123456");
  EXPECT_EQ(timestamp_to_wstring(t), L"2020-05-06 07:08:09.123456");

  ASSERT_TRUE(parse_timestamp("1999-12-31 23:59:59", t));
  EXPECT_EQ(t.fraction, 0u);
  EXPECT_EQ(timestamp_to_string(t), "1999-12-31 23:59:59.000000");

  const TIMESTAMP_STRUCT before = t;
  for (const char* bad : {"2020-05-06", "2020-05-06 24:00:00", "2020-02-30 00:00:00", "2020-05-06 07:08:09.",
                          "2020-05-06 07:08:09.1234567890", "2020-05-06T07:08:09", "1399-05-06 07:08:09"}) {
    EXPECT_FALSE(parse_timestamp(bad, t)) << bad;
    EXPECT_EQ(std::memcmp(&t, &before, sizeof t), 0) << bad;
  }
}

TEST(TextForms, DateWriterRaisesForDatesOutsideTheCalendar) {
  EXPECT_EQ(date_to_string(DATE_STRUCT{2023, 1, 5}), "2023-01-05");
  EXPECT_EQ(date_to_wstring(DATE_STRUCT{2212, 12, 31}), L"2212-12-31");
  EXPECT_THROW(date_to_string(DATE_STRUCT{2021, 2, 30}), std::out_of_range);
  EXPECT_THROW(date_to_string(DATE_STRUCT{1399, 1, 1}), std::out_of_range);
  EXPECT_THROW(timestamp_to_string(TIMESTAMP_STRUCT{2021, 13, 1, 0, 0, 0, 0}), std::out_of_range);
}

SQL_NUMERIC_STRUCT NumericOfScale(int scale) {
  SQL_NUMERIC_STRUCT n{};
  n.scale = static_cast<SQLSCHAR>(scale);
  return n;
}

std::uint64_t Low64(const SQL_NUMERIC_STRUCT& n) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | n.val[i];
  return v;
}

TEST(TextForms, NarrowDecimalReader) {
  struct Case {
    const char* text;
    int scale;
    bool ok;
    std::uint64_t magnitude = 0;
    int sign = 0;
  } cases[] = {
      {"12.34", 2, true, 1234, 1}, {"12.3", 2, true, 1230, 1}, {"12.345", 2, true, 1234, 1},
      {"-0.5", 1, true, 5, 0},     {"100", 2, true, 10000, 1}, {"-0", 0, true, 0, 1},
      {"1e5", 2, false},           {"+5", 2, false},           {" 5", 2, false},
      {"", 2, false},              {"-", 2, false},            {"1.2.3", 2, false},
      // 39 digits do not fit a NUMERIC
      {"123456789012345678901234567890123456789", 0, false},
      {"0.123456789012345678901234567890123456789", 2, false},
  };
  for (const auto& c : cases) {
    SQL_NUMERIC_STRUCT n = NumericOfScale(c.scale);
    n.val[0] = 77;
    EXPECT_EQ(parse_numeric(std::string_view(c.text), n), c.ok) << c.text;
    EXPECT_EQ(n.scale, c.scale) << c.text;
    if (c.ok) {
      EXPECT_EQ(Low64(n), c.magnitude) << c.text;
      EXPECT_EQ(n.sign, c.sign) << c.text;
      EXPECT_EQ(n.precision, 18) << c.text;
    } else {
      EXPECT_EQ(n.val[0], 77) << c.text << ": a failed read leaves the value alone";
    }
  }
}

TEST(TextForms, NumericTextRoundTripsAtThirtyEightDigits) {
  SQL_NUMERIC_STRUCT n = NumericOfScale(2);
  n.precision = 38;
  const std::string big = "123456789012345678901234567890123456.78";
  ASSERT_TRUE(parse_numeric(std::string_view(big), n));
  EXPECT_EQ(n.precision, 38);
  EXPECT_EQ(numeric_to_string(n), big);
  ASSERT_TRUE(parse_numeric(std::string_view("-" + big), n));
  EXPECT_EQ(numeric_to_string(n), "-" + big);

  // Scale 0 writes a ".0" that must not cost a digit when read back.
  SQL_NUMERIC_STRUCT whole = NumericOfScale(0);
  const std::string digits38(38, '9');
  ASSERT_TRUE(parse_numeric(std::string_view(digits38), whole));
  EXPECT_EQ(numeric_to_string(whole), digits38 + ".0");
  SQL_NUMERIC_STRUCT again = NumericOfScale(0);
  ASSERT_TRUE(parse_numeric(std::string_view(numeric_to_string(whole)), again));
  EXPECT_EQ(numeric_to_string(again), digits38 + ".0");
  ASSERT_TRUE(parse_numeric(std::string_view(".5"), again));
  EXPECT_EQ(numeric_to_string(again), "0.0");
}

// A user locale whose decimal point is a comma, to show the reader ignores it.
struct CommaPoint : std::numpunct<wchar_t> {
  wchar_t do_decimal_point() const override { return L','; }
};

TEST(TextForms, WideDecimalReaderUsesThePointWhateverTheLocale) {
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
  struct Case {
    const wchar_t* text;
    bool ok;
    std::uint64_t magnitude = 0;
    int sign = 0;
  } cases[] = {
      {L"12.34", true, 1234, 1},
      {L"12,34", true, 123400, 1},  // the comma is no decimal point: 1234
      {L"1 234.50", true, 123450, 1},
      {L"-0.5", true, 50, 0},
      {L"1.2.3", false},
      {L"1-2", false},
      {L"abc", false},
      {L"", false},
      {L"-", false},
  };
  for (const auto& c : cases) {
    SQL_NUMERIC_STRUCT n = NumericOfScale(2);
    n.val[0] = 77;
    EXPECT_EQ(parse_numeric(std::wstring_view(c.text), n), c.ok);
    if (c.ok) {
      EXPECT_EQ(Low64(n), c.magnitude);
      EXPECT_EQ(n.sign, c.sign);
    } else {
      EXPECT_EQ(n.val[0], 77);
    }
  }
  std::locale::global(previous);
}

TEST(TextForms, NumericWriterPadsTheFraction) {
  struct Case {
    std::uint64_t magnitude;
    int sign, scale;
    const char* text;
  } cases[] = {
      {5, 1, 0, "5.0"}, {5, 0, 2, "-0.05"}, {12345, 1, 2, "123.45"}, {0, 1, 3, "0.000"}, {7, 1, 40, ""},
  };
  for (const auto& c : cases) {
    SQL_NUMERIC_STRUCT n = NumericOfScale(c.scale);
    n.sign = static_cast<SQLCHAR>(c.sign);
    for (int i = 0; i < 8; ++i) n.val[i] = static_cast<SQLCHAR>(c.magnitude >> (8 * i));
    EXPECT_EQ(numeric_to_string(n), c.text);
  }
}

TEST(TextForms, NumericFromInt64ScalesWithoutOverflowingValuesThatFit) {
  struct Case {
    std::int64_t v;
    int source, target;
    bool ok;
    std::uint64_t low = 0;
    int sign = 0;
  } cases[] = {
      {1234, 2, 2, true, 1234, 1},
      {12345, 3, 2, true, 1234, 1},
      {-5, 0, 1, true, 50, 0},
      // v × 10^target overflows 64 bits although v ÷ 10^16 fits
      {9'000'000'000'000'000'000, 18, 2, true, 900, 1},
      {INT64_MIN, 0, 0, true, 0x8000000000000000ull, 0},
      {1, 0, 39, false},
      {1, -1, 0, false},
  };
  for (const auto& c : cases) {
    SQL_NUMERIC_STRUCT n{};
    EXPECT_EQ(numeric_from_int64(n, c.target, c.v, 10, c.source), c.ok) << c.v;
    if (!c.ok) continue;
    EXPECT_EQ(Low64(n), c.low) << c.v;
    EXPECT_EQ(n.sign, c.sign) << c.v;
    EXPECT_EQ(n.scale, c.target);
    EXPECT_EQ(n.precision, 10);
    EXPECT_EQ(numeric_to_scaled(n), (scaled_int_t{static_cast<std::int8_t>(c.target),
                                                   c.sign ? static_cast<std::int64_t>(c.low)
                                                          : static_cast<std::int64_t>(0 - c.low)}));
  }
  // 10^20 at scale 2 needs the upper magnitude bytes.
  SQL_NUMERIC_STRUCT n{};
  ASSERT_TRUE(numeric_from_int64(n, 2, 1'000'000'000'000'000'000, 38, 0));
  EXPECT_EQ(numeric_to_string(n), "1000000000000000000.00");
}

TEST(TextForms, ScaledFromDoubleRoundsHalvesAwayFromZero) {
  struct Case {
    double x;
    int scale;
    std::int64_t v;
  } cases[] = {
      {2.675, 2, 268}, {-2.675, 2, -268}, {0.125, 2, 13},       {1.005, 2, 101}, {1.0049, 2, 100},
      {-2.5, 0, -3},   {2.5, 0, 3},       {0.0, 2, 0},          {-0.004, 2, 0},  {123.456, 0, 123},
      {1e15, 0, 1'000'000'000'000'000},
  };
  for (const auto& c : cases) {
    const auto r = scaled_from_double(c.x, c.scale);
    ASSERT_TRUE(r) << c.x;
    EXPECT_EQ(r->value, c.v) << c.x;
    EXPECT_EQ(r->scale, c.scale);
  }
  EXPECT_FALSE(scaled_from_double(std::nan(""), 2));
  EXPECT_FALSE(scaled_from_double(INFINITY, 0));
  EXPECT_FALSE(scaled_from_double(1e300, 2));
  EXPECT_FALSE(scaled_from_double(12.34, 18));  // beyond 64 bits
  EXPECT_FALSE(scaled_from_double(1.0, 19));
}

TEST(TextForms, TruthAndIntegerReaders) {
  for (const char* yes : {"true", "True", "TRUE", "1", "T", "t"}) {
    bool v = false;
    EXPECT_TRUE(parse_bool(yes, v));
    EXPECT_TRUE(v) << yes;
  }
  for (const char* no : {"yes", "0", "", "TRUE "}) {
    bool v = true;
    EXPECT_TRUE(parse_bool(no, v));
    EXPECT_FALSE(v) << no;
  }

  struct Case {
    const wchar_t* text;
    bool ok;
    int v;
  } cases[] = {
      {L"123", true, 123}, {L"  -42", true, -42},          {L"12x", true, 12},
      {L"abc", false, 7},  {L"99999999999", false, 7},     {L"-2147483648", true, INT32_MIN},
      {L"", false, 7},     {L"2147483648", false, 7},      {L"+", false, 7},
  };
  for (const auto& c : cases) {
    int v = 7;
    EXPECT_EQ(parse_int(c.text, v), c.ok);
    EXPECT_EQ(v, c.v);
  }
}

TEST(TextForms, GuidsReadInBoostFormsAndWriteInTextOrder) {
  SQLGUID g{};
  ASSERT_TRUE(parse_guid(std::string_view("{0123ABCD-4567-89AB-CDEF-0123456789AB}"), g));
  EXPECT_EQ(g.Data1, 0x0123ABCDu);
  EXPECT_EQ(g.Data2, 0x4567);
  EXPECT_EQ(g.Data3, 0x89AB);
  EXPECT_EQ(g.Data4[0], 0xCD);
  EXPECT_EQ(g.Data4[7], 0xAB);
  EXPECT_EQ(guid_to_string(g), "0123abcd-4567-89ab-cdef-0123456789ab");
  EXPECT_EQ(uuid_from_guid(g).data[0], 0x01);
  const SQLGUID back = guid_from_uuid(uuid_from_guid(g));
  EXPECT_EQ(std::memcmp(&g, &back, sizeof g), 0);

  ASSERT_TRUE(parse_guid(std::wstring_view(L"0123abcd456789abcdef0123456789ab"), g));
  EXPECT_EQ(guid_to_string(g), "0123abcd-4567-89ab-cdef-0123456789ab");

  for (const char* bad : {"0123abcd-456789ab-cdef-0123456789ab", "0123abcd-4567-89ab-cdef-0123456789", "xyz"}) {
    ASSERT_FALSE(parse_guid(std::string_view(bad), g)) << bad;
    EXPECT_EQ(g.Data1, 0u);
    EXPECT_EQ(g.Data4[7], 0);
  }
  g.Data1 = 5;
  EXPECT_TRUE(parse_guid(std::string_view(""), g));
  EXPECT_EQ(g.Data1, 0u);
}

TEST(TextForms, NarrowWideAndUtf16Conversions) {
  EXPECT_EQ(widen("Åsa 😀"), L"Åsa 😀");
  EXPECT_EQ(narrow(L"Åsa 😀"), "Åsa 😀");
  EXPECT_THROW(widen("\xC3"), std::range_error);
  EXPECT_THROW(widen("\xED\xA0\x80"), std::range_error);  // an encoded surrogate
  EXPECT_THROW(narrow(std::wstring(1, static_cast<wchar_t>(0x110000))), std::range_error);
  EXPECT_EQ(to_utf16(L"a😀"), u"a\xD83D\xDE00");
  EXPECT_EQ(from_utf16(u"a\xD83D\xDE00"), L"a😀");
  EXPECT_EQ(from_utf16(std::u16string(1, u'\xD83D') + u"x"), L"\xFFFDx");
}

TEST(TextForms, CaseInsensitiveComparisonKnowsSwedishLetters) {
  EXPECT_EQ(compare_text_nocase("abc", "ABC"), 0);
  EXPECT_EQ(compare_text_nocase("a", "B"), -1);
  EXPECT_EQ(compare_text_nocase("B", "a"), 1);
  EXPECT_EQ(compare_text_nocase("ÅÄÖ", "åäö"), 0);
  EXPECT_EQ(compare_text_nocase("Öl", std::wstring_view(L"öL")), 0);
  EXPECT_EQ(compare_text_nocase(std::wstring_view(L"ab"), "abc"), -1);
}

}  // namespace
}  // namespace lumdb
