// libFuzzer target: any bytes through the text readers of field values
// (dates, time stamps, decimals, GUIDs, truth values, integers), narrow and,
// where the bytes are UTF-8, wide; and through every field type's text
// setters. Checks that whatever a reader accepts writes back as text that
// reads to the same value.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "lumdb/record/field_set.h"
#include "lumdb/record/text_forms.h"

namespace {

using namespace lumdb;

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

bool SameDate(const DATE_STRUCT& a, const DATE_STRUCT& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

void CheckDate(bool ok, const DATE_STRUCT& date) {
  if (!ok) return;
  DATE_STRUCT again{};
  Require(parse_date(std::string_view(date_to_string(date)), again) && SameDate(date, again));
}

void CheckNumeric(bool ok, const SQL_NUMERIC_STRUCT& number) {
  if (!ok) return;
  SQL_NUMERIC_STRUCT again{};
  again.scale = number.scale;
  again.precision = number.precision;
  Require(parse_numeric(std::string_view(numeric_to_string(number)), again));
  Require(std::memcmp(&again, &number, sizeof number) == 0);
}

void CheckGuid(bool ok, const SQLGUID& guid) {
  if (!ok) return;
  SQLGUID again{};
  Require(parse_guid(std::string_view(guid_to_string(guid)), again) && std::memcmp(&again, &guid, sizeof guid) == 0);
}

void ThroughFields(std::string_view text, const std::wstring* wide) {
  static const int types[] = {sql_smallint, sql_integer, sql_bigint, sql_double, sql_bit,     sql_date,
                              sql_timestamp, sql_numeric, sql_guid,  sql_varchar, sql_wvarchar, sql_binary};
  field_set_c row;
  row.truncate_text = true;
  int id = 0;
  for (int type : types) row.add_field(++id, nullptr, type, type == sql_numeric ? 12 : 6, type == sql_numeric ? 3 : 0);
  for (int i = 1; i <= id; ++i) {
    try {
      row.set_string(i, nullptr, text);
    } catch (const std::range_error&) {
      // bytes that are not UTF-8 cannot be widened
    }
    if (wide) row.set_wstring(i, nullptr, *wide);
    try {
      row.parse_string(i, text);
    } catch (const std::exception&) {
      // numbers that do not convert raise
    }
    (void)row.get_string(i);
    (void)row.get_int64(i);
    (void)row.get_double(i);
    (void)row.sql_literal(i, nullptr);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  DATE_STRUCT date{};
  CheckDate(parse_date(text, date), date);

  TIMESTAMP_STRUCT stamp{};
  if (parse_timestamp(text, stamp)) {
    TIMESTAMP_STRUCT again{};
    Require(parse_timestamp(timestamp_to_string(stamp), again));
    Require(again.hour == stamp.hour && again.second == stamp.second && again.fraction / 1000 == stamp.fraction / 1000);
  }

  SQL_NUMERIC_STRUCT number{};
  number.scale = static_cast<SQLSCHAR>(size % 40);
  CheckNumeric(parse_numeric(text, number), number);

  SQLGUID guid{};
  CheckGuid(parse_guid(text, guid), guid);

  bool truth = false;
  Require(parse_bool(text, truth));

  std::wstring wide;
  bool isUtf8 = true;
  try {
    wide = widen(text);
  } catch (const std::range_error&) {
    isUtf8 = false;
  }
  if (isUtf8) {
    Require(narrow(wide) == text);
    Require(from_utf16(to_utf16(wide)) == wide);
    CheckDate(parse_date(std::wstring_view(wide), date), date);
    SQL_NUMERIC_STRUCT wideNumber{};
    wideNumber.scale = static_cast<SQLSCHAR>(size % 40);
    CheckNumeric(parse_numeric(std::wstring_view(wide), wideNumber), wideNumber);
    CheckGuid(parse_guid(std::wstring_view(wide), guid), guid);
    int value = 0;
    (void)parse_int(wide, value);
    (void)compare_text_nocase(text, std::wstring_view(wide));
  }

  if (size >= sizeof(double)) {
    double x;
    std::memcpy(&x, data, sizeof x);
    (void)scaled_from_double(x, static_cast<int>(data[size - 1] % 20));
  }

  ThroughFields(text, isUtf8 ? &wide : nullptr);
  return 0;
}
