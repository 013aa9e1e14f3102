#pragma once
// Text forms of field values: readers (text to value) and writers (value to
// text) of GUIDs, dates, time stamps, decimals and truth values, the scaled
// integers of the decimal type, the narrow/wide conversions and the
// case-insensitive text comparison.
//
// The value types are ODBC's own, so a field's storage is what the driver
// binds. Narrow text is UTF-8; wide text (std::wstring) is UTF-32 for callers
// and UTF-16 (SQLWCHAR) only in the buffers handed to the driver. Numbers are
// always read and written with "." as decimal point, whatever the locale.
// Readers report failure through their bool result and never throw, except
// that `widen` raises std::range_error "bad conversion" on bytes that are not
// UTF-8.
#include <sqltypes.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <boost/uuid/uuid.hpp>

namespace lumdb {

// A decimal number value ÷ 10^scale.
struct scaled_int_t {
  std::int8_t scale = 0;
  std::int64_t value = 0;
  friend bool operator==(const scaled_int_t&, const scaled_int_t&) = default;
};

// 10^0 … 10^18, every power of ten a signed 64-bit integer holds.
inline constexpr std::array<std::int64_t, 19> pow10_table = [] {
  std::array<std::int64_t, 19> table{};
  table[0] = 1;
  for (std::size_t i = 1; i < table.size(); ++i) table[i] = table[i - 1] * 10;
  return table;
}();

// The largest precision of a NUMERIC column (10^38 - 1 fits the 16 magnitude bytes).
inline constexpr int max_numeric_precision = 38;

// GUID text: 36 lower-case hexadecimal digits 8-4-4-4-12. Reads the forms of
// Boost's uuid string reader (either case, optional braces, no dashes or all
// four); the empty text is the zero GUID. On failure the GUID is zero.
bool parse_guid(std::string_view text, SQLGUID& guid);
bool parse_guid(std::wstring_view text, SQLGUID& guid);
std::string guid_to_string(const SQLGUID& guid);

// Dates. Narrow: "year-month-day" or the eight digits YYYYMMDD. Wide: the
// digits before the first "T" or blank as YYYYMMDD or YYMMDD (years 00-69 are
// 2000-2069, 70-99 are 1970-1999), or as year-month-day with a 4- or 2-digit
// year and 2-digit month and day. Either reader accepts only real calendar
// dates of the years 1400 to 9999 and leaves `date` untouched on failure.
bool parse_date(std::string_view text, DATE_STRUCT& date);
bool parse_date(std::wstring_view text, DATE_STRUCT& date);
// YYYY-MM-DD; raises std::out_of_range (Boost's bad_year, bad_month,
// bad_day_of_month) for a date outside the calendar.
std::wstring date_to_wstring(const DATE_STRUCT& date);
std::string date_to_string(const DATE_STRUCT& date);

// Time stamps "YYYY-MM-DD hh:mm:ss" with an optional fraction of up to six
// digits on reading; written with exactly six fraction digits. Failure leaves
// `stamp` untouched.
bool parse_timestamp(std::string_view text, TIMESTAMP_STRUCT& stamp);
std::wstring timestamp_to_wstring(const TIMESTAMP_STRUCT& stamp);
std::string timestamp_to_string(const TIMESTAMP_STRUCT& stamp);

// Decimal text into a NUMERIC value at the struct's own scale byte (kept):
// extra fraction digits are cut off, missing ones filled with zeros.
// Narrow: optional "-", digits, at most one "."; nothing else. Wide: only the
// digits, "." and "-" count (so grouping blanks are dropped), the last "."
// is the decimal point. More than 19 fraction digits, no digit at all, or a
// value beyond 38 digits fails and leaves `number` untouched. The precision
// byte becomes 18 when it was 0 and is kept otherwise.
bool parse_numeric(std::string_view text, SQL_NUMERIC_STRUCT& number);
bool parse_numeric(std::wstring_view text, SQL_NUMERIC_STRUCT& number);
// The decimal text of all 16 magnitude bytes: "-" for sign 0, the integer
// part, ".", and the fraction with as many digits as the scale (scale 0
// writes "5.0"). A scale outside 0 to 38 gives the empty text.
std::string numeric_to_string(const SQL_NUMERIC_STRUCT& number);

// "TRUE" in any case, "1", "T" and "t" are true; every other text is false.
// Always succeeds.
bool parse_bool(std::string_view text, bool& value);

// One 32-bit integer from the start of the text (leading blanks skipped,
// optional sign, characters after the number ignored). Fails, leaving
// `value` untouched, when no number starts the text or it is out of range.
bool parse_int(std::wstring_view text, int& value);

// UTF-8 <-> UTF-32. `widen` raises std::range_error "bad conversion" on bytes
// that are not UTF-8; `narrow` on values that are no Unicode character.
std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);
// The UTF-16 form the driver sees and back; an unpaired surrogate reads as U+FFFD.
std::u16string to_utf16(std::wstring_view text);
std::wstring from_utf16(std::u16string_view text);

// -1, 0 or 1, comparing letter case-insensitively (Swedish letters included).
int compare_text_nocase(std::string_view a, std::string_view b);
int compare_text_nocase(std::string_view a, std::wstring_view b);
int compare_text_nocase(std::wstring_view a, std::string_view b);

// The 16 bytes of text order (Data1, Data2, Data3 most significant byte first,
// then Data4) and the stored GUID, each the exact inverse of the other.
SQLGUID guid_from_uuid(const boost::uuids::uuid& bytes);
boost::uuids::uuid uuid_from_guid(const SQLGUID& guid);

// The first eight magnitude bytes as a signed value (negated for sign 0) at
// the struct's scale.
scaled_int_t numeric_to_scaled(const SQL_NUMERIC_STRUCT& number);
// Stores v ÷ 10^source_scale at target_scale (extra digits cut off toward
// zero), with the given precision byte. False, leaving `number` untouched,
// when a scale lies outside 0 to 38 or the result needs more than 38 digits.
bool numeric_from_int64(SQL_NUMERIC_STRUCT& number, int target_scale, std::int64_t v, int precision,
                        int source_scale);
// x × 10^scale rounded half away from zero, where a product within ten units
// in the last place below the next integer counts as reaching it (so 1.005 at
// scale 2 is 101 although its product is 100.49999999999999). Nothing for a
// NaN, an infinity, a scale outside 0 to 18 or a result beyond 64 bits.
std::optional<scaled_int_t> scaled_from_double(double x, int scale);

}  // namespace lumdb
