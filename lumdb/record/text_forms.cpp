#include "lumdb/record/text_forms.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>

#include <boost/date_time/gregorian/gregorian_types.hpp>
#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/uuid/string_generator.hpp>

#include "lumdb/record/number_text.h"
#include "lumdb/record/numeric128.h"
#include "platform/text.h"

namespace lumdb {
namespace {

using number_text::is_blank;
using number_text::is_digit;

// Digits of a run, at most 18 so the value fits; false for no digit or more.
template <class CharT>
bool ReadDigits(std::basic_string_view<CharT> text, std::size_t& pos, std::int64_t& value) {
  const std::size_t start = pos;
  value = 0;
  while (pos < text.size() && is_digit(text[pos])) {
    if (pos - start == 18) return false;
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  return pos > start;
}

// A real calendar date of the years 1400 to 9999.
bool ValidDate(std::int64_t year, std::int64_t month, std::int64_t day) {
  if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1400 || year > 9999) return false;
  return day <= boost::gregorian::gregorian_calendar::end_of_month_day(static_cast<unsigned short>(year),
                                                                       static_cast<unsigned short>(month));
}

bool StoreDate(std::int64_t year, std::int64_t month, std::int64_t day, DATE_STRUCT& date) {
  if (!ValidDate(year, month, day)) return false;
  date.year = static_cast<SQLSMALLINT>(year);
  date.month = static_cast<SQLUSMALLINT>(month);
  date.day = static_cast<SQLUSMALLINT>(day);
  return true;
}

// The user-facing date reader of both text widths: the part before the first
// "T" or blank holds either one run of 6 or 8 digits (YYMMDD, YYYYMMDD) or
// three runs of 4 or 2, 2 and 2 digits separated by other characters.
template <class CharT>
bool ReadUserDate(std::basic_string_view<CharT> text, DATE_STRUCT& date) {
  std::size_t end = 0;
  while (end < text.size() && text[end] != 'T' && !is_blank(text[end])) ++end;
  std::int64_t runs[3];
  std::size_t lengths[3];
  int count = 0;
  for (std::size_t pos = 0; pos < end;) {
    if (!is_digit(text[pos])) {
      ++pos;
      continue;
    }
    if (count == 3) return false;
    const std::size_t start = pos;
    if (!ReadDigits(text.substr(0, end), pos, runs[count])) return false;
    lengths[count++] = pos - start;
  }
  std::int64_t year, month, day;
  std::size_t yearDigits;
  if (count == 1 && (lengths[0] == 6 || lengths[0] == 8)) {
    day = runs[0] % 100;
    month = runs[0] / 100 % 100;
    year = runs[0] / 10000;
    yearDigits = lengths[0] - 4;
  } else if (count == 3 && (lengths[0] == 4 || lengths[0] == 2) && lengths[1] == 2 && lengths[2] == 2) {
    year = runs[0];
    month = runs[1];
    day = runs[2];
    yearDigits = lengths[0];
  } else {
    return false;
  }
  if (yearDigits == 2) year += year < 70 ? 2000 : 1900;
  return StoreDate(year, month, day, date);
}

// The decimal reader of both widths: optional "-", digits, at most one ".".
// The lenient (wide) form first drops every other character, so grouping
// blanks and the like do not count.
template <class CharT>
bool ReadDecimal(std::basic_string_view<CharT> text, bool strict, SQL_NUMERIC_STRUCT& number) {
  std::string kept;
  kept.reserve(text.size());
  for (CharT c : text) {
    if (is_digit(c) || c == '.' || c == '-') {
      kept.push_back(static_cast<char>(c));
    } else if (strict) {
      return false;
    }
  }
  const std::size_t point = kept.find('.');
  int sourceScale = 0;
  if (point != std::string::npos) {
    sourceScale = static_cast<int>(kept.size() - point - 1);
    if (sourceScale > max_numeric_precision) return false;
    kept.erase(point, 1);
  }
  bool negative = false;
  if (!kept.empty() && kept[0] == '-') {
    negative = true;
    kept.erase(0, 1);
  }
  // A second "." or a "-" inside the number.
  if (kept.empty() || !std::all_of(kept.begin(), kept.end(), [](char c) { return is_digit(c); })) return false;
  // Fraction digits beyond the target scale are cut off anyway; dropping them
  // first keeps "12345.0" at scale 0 within 38 digits.
  const int targetScale = number.scale;
  if (targetScale >= 0 && sourceScale > targetScale) {
    const std::size_t extra = static_cast<std::size_t>(sourceScale - targetScale);
    kept.erase(kept.size() - std::min(extra, kept.size()));
    if (kept.empty()) kept = "0";
    sourceScale = targetScale;
  }
  unsigned __int128 magnitude = 0;
  for (char c : kept) {
    if (magnitude > (numeric128::max_magnitude - static_cast<unsigned>(c - '0')) / 10) return false;
    magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
  }
  const int precision = number.precision == 0 ? 18 : number.precision;
  return numeric128::store(number, number.scale, {negative, magnitude}, precision, sourceScale);
}

template <class CharT>
bool ReadGuid(std::basic_string_view<CharT> text, SQLGUID& guid) {
  if (text.empty()) {
    guid = SQLGUID{};
    return true;
  }
  try {
    guid = guid_from_uuid(boost::uuids::string_generator()(text.begin(), text.end()));
    return true;
  } catch (const std::runtime_error&) {
    guid = SQLGUID{};
    return false;
  }
}

bool IsCharacter(wchar_t c) {
  const auto cp = static_cast<std::uint32_t>(c);
  return cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

[[noreturn]] void BadConversion() { throw std::range_error("bad conversion"); }

int Sign(int v) { return (v > 0) - (v < 0); }

std::string Lowered(std::string_view utf8) { return platform::ToLower(utf8); }

}  // namespace

bool parse_guid(std::string_view text, SQLGUID& guid) { return ReadGuid(text, guid); }
bool parse_guid(std::wstring_view text, SQLGUID& guid) { return ReadGuid(text, guid); }

std::string guid_to_string(const SQLGUID& guid) {
  const boost::uuids::uuid u = uuid_from_guid(guid);
  static constexpr char hex[] = "0123456789abcdef";
  std::string out;
  out.reserve(36);
  for (std::size_t i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) out.push_back('-');
    out.push_back(hex[u.data[i] >> 4]);
    out.push_back(hex[u.data[i] & 0xF]);
  }
  return out;
}

bool parse_date(std::string_view text, DATE_STRUCT& date) {
  std::size_t pos = 0;
  while (pos < text.size() && is_blank(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
  std::int64_t first;
  if (!ReadDigits(text, pos, first)) return false;
  if (negative) first = -first;
  if (pos == text.size()) return StoreDate(first / 10000, first / 100 % 100, first % 100, date);
  std::int64_t month, day;
  if (text[pos++] != '-' || !ReadDigits(text, pos, month)) return false;
  if (pos == text.size() || text[pos++] != '-' || !ReadDigits(text, pos, day) || pos != text.size()) return false;
  return StoreDate(first, month, day, date);
}

bool parse_date(std::wstring_view text, DATE_STRUCT& date) { return ReadUserDate(text, date); }

std::string date_to_string(const DATE_STRUCT& date) {
  // Boost's calendar checks the date and raises its range errors.
  const boost::gregorian::date d(date.year, date.month, date.day);
  // The calendar's years have four digits.
  const auto digit = [](int value) { return static_cast<char>('0' + value % 10); };
  const int year = d.year(), month = d.month(), day = d.day();
  return {digit(year / 1000), digit(year / 100), digit(year / 10), digit(year), '-', digit(month / 10), digit(month),
          '-', digit(day / 10), digit(day)};
}

std::wstring date_to_wstring(const DATE_STRUCT& date) { return widen(date_to_string(date)); }

bool parse_timestamp(std::string_view text, TIMESTAMP_STRUCT& stamp) {
  // "YYYY-MM-DD hh:mm:ss" with an optional fraction of 1 to 9 digits.
  if (text.size() < 19 || text[10] != ' ') return false;
  DATE_STRUCT date{};
  if (!parse_date(text.substr(0, 10), date) || text[4] != '-') return false;
  std::size_t pos = 11;
  std::int64_t parts[3];
  for (int i = 0; i < 3; ++i) {
    const std::size_t start = pos;
    if (!ReadDigits(text, pos, parts[i]) || pos - start != 2) return false;
    if (i < 2 && (pos == text.size() || text[pos++] != ':')) return false;
  }
  if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return false;
  std::uint32_t fraction = 0;
  if (pos < text.size()) {
    if (text[pos++] != '.') return false;
    const std::size_t start = pos;
    std::int64_t digits;
    if (!ReadDigits(text, pos, digits) || pos != text.size() || pos - start > 9) return false;
    for (std::size_t n = pos - start; n < 9; ++n) digits *= 10;
    fraction = static_cast<std::uint32_t>(digits);
  }
  stamp.year = date.year;
  stamp.month = date.month;
  stamp.day = date.day;
  stamp.hour = static_cast<SQLUSMALLINT>(parts[0]);
  stamp.minute = static_cast<SQLUSMALLINT>(parts[1]);
  stamp.second = static_cast<SQLUSMALLINT>(parts[2]);
  stamp.fraction = fraction;
  return true;
}

std::string timestamp_to_string(const TIMESTAMP_STRUCT& stamp) {
  using namespace boost::posix_time;
  // Out-of-range clock fields carry over into the next unit, as the calendar does.
  const ptime t(boost::gregorian::date(stamp.year, stamp.month, stamp.day),
                hours(stamp.hour) + minutes(stamp.minute) + seconds(stamp.second) +
                    microseconds(stamp.fraction / 1000));
  const boost::gregorian::date d = t.date();
  const time_duration of = t.time_of_day();
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%06d", static_cast<int>(d.year()),
                static_cast<int>(d.month()), static_cast<int>(d.day()), static_cast<int>(of.hours()),
                static_cast<int>(of.minutes()), static_cast<int>(of.seconds()),
                static_cast<int>(of.fractional_seconds()));
  return buffer;
}

std::wstring timestamp_to_wstring(const TIMESTAMP_STRUCT& stamp) { return widen(timestamp_to_string(stamp)); }

bool parse_numeric(std::string_view text, SQL_NUMERIC_STRUCT& number) { return ReadDecimal(text, true, number); }
bool parse_numeric(std::wstring_view text, SQL_NUMERIC_STRUCT& number) { return ReadDecimal(text, false, number); }

std::string numeric_to_string(const SQL_NUMERIC_STRUCT& number) {
  const int scale = number.scale;
  if (scale < 0 || scale > max_numeric_precision) return {};
  const numeric128::value_t v = numeric128::read(number);
  std::string digits = numeric128::to_digits(v.magnitude);
  if (digits.size() <= static_cast<std::size_t>(scale)) digits.insert(0, scale + 1 - digits.size(), '0');
  std::string out = v.negative ? "-" : "";
  out.append(digits, 0, digits.size() - scale);
  out.push_back('.');
  if (scale == 0) {
    out.push_back('0');
  } else {
    out.append(digits, digits.size() - scale, std::string::npos);
  }
  return out;
}

bool parse_bool(std::string_view text, bool& value) {
  value = text == "1" || text == "T" || text == "t" || platform::ToUpper(text) == "TRUE";
  return true;
}

bool parse_int(std::wstring_view text, int& value) {
  const auto v = number_text::extract_integer(text, INT32_MIN, INT32_MAX);
  if (!v) return false;
  value = static_cast<int>(*v);
  return true;
}

std::wstring widen(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    char32_t cp;
    const std::size_t len = platform::DecodeUtf8(text, pos, cp);
    if (len == 0) BadConversion();
    out.push_back(static_cast<wchar_t>(cp));
    pos += len;
  }
  return out;
}

std::string narrow(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (!IsCharacter(c)) BadConversion();
    platform::AppendUtf8(out, static_cast<char32_t>(c));
  }
  return out;
}

// Through UTF-8, whose conversions to and from UTF-16 the platform has.
std::u16string to_utf16(std::wstring_view text) { return platform::Utf8ToUtf16(narrow(text)); }
std::wstring from_utf16(std::u16string_view text) { return widen(platform::Utf16ToUtf8(text)); }

// Folded to lower case and compared as UTF-8 bytes, whose order is that of
// the characters.
int compare_text_nocase(std::string_view a, std::string_view b) { return Sign(Lowered(a).compare(Lowered(b))); }
int compare_text_nocase(std::string_view a, std::wstring_view b) { return compare_text_nocase(a, narrow(b)); }
int compare_text_nocase(std::wstring_view a, std::string_view b) { return compare_text_nocase(narrow(a), b); }

SQLGUID guid_from_uuid(const boost::uuids::uuid& bytes) {
  const auto* b = bytes.data;
  SQLGUID guid{};
  guid.Data1 = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
  guid.Data2 = static_cast<std::uint16_t>((b[4] << 8) | b[5]);
  guid.Data3 = static_cast<std::uint16_t>((b[6] << 8) | b[7]);
  std::memcpy(guid.Data4, b + 8, 8);
  return guid;
}

boost::uuids::uuid uuid_from_guid(const SQLGUID& guid) {
  boost::uuids::uuid u{};
  u.data[0] = static_cast<std::uint8_t>(guid.Data1 >> 24);
  u.data[1] = static_cast<std::uint8_t>(guid.Data1 >> 16);
  u.data[2] = static_cast<std::uint8_t>(guid.Data1 >> 8);
  u.data[3] = static_cast<std::uint8_t>(guid.Data1);
  u.data[4] = static_cast<std::uint8_t>(guid.Data2 >> 8);
  u.data[5] = static_cast<std::uint8_t>(guid.Data2);
  u.data[6] = static_cast<std::uint8_t>(guid.Data3 >> 8);
  u.data[7] = static_cast<std::uint8_t>(guid.Data3);
  std::memcpy(u.data + 8, guid.Data4, 8);
  return u;
}

scaled_int_t numeric_to_scaled(const SQL_NUMERIC_STRUCT& number) {
  std::uint64_t low = 0;
  for (int i = 7; i >= 0; --i) low = (low << 8) | number.val[i];
  // Two's complement wrap-around, as the 64-bit arithmetic of the type has it.
  const std::uint64_t value = number.sign == 0 ? 0 - low : low;
  return {number.scale, static_cast<std::int64_t>(value)};
}

bool numeric_from_int64(SQL_NUMERIC_STRUCT& number, int target_scale, std::int64_t v, int precision,
                        int source_scale) {
  return numeric128::store(number, target_scale, numeric128::from_int64(v), precision, source_scale);
}

std::optional<scaled_int_t> scaled_from_double(double x, int scale) {
  if (!std::isfinite(x) || scale < 0 || scale >= static_cast<int>(pow10_table.size())) return std::nullopt;
  const double y = scale == 0 ? x : x * static_cast<double>(pow10_table[scale]);
  const double u = (std::nextafter(y, std::copysign(std::numeric_limits<double>::infinity(), y)) - y) * 10;
  const double h = x < 0 ? y - 0.5 : y + 0.5;
  double integral;
  const double f = std::modf(h, &integral);
  // 2^63 is exact as a double; anything at or beyond it does not fit.
  if (!(std::fabs(integral) < 9223372036854775808.0)) return std::nullopt;
  std::int64_t v = static_cast<std::int64_t>(integral);
  if (scale == 0 && v >= pow10_table[14]) return scaled_int_t{0, v};
  if (std::fabs(u) > 1 - (x < 0 ? -f : f)) {
    if (x >= 0 && v == std::numeric_limits<std::int64_t>::max()) return std::nullopt;
    if (x < 0 && v == std::numeric_limits<std::int64_t>::min()) return std::nullopt;
    v += x >= 0 ? 1 : -1;
  }
  return scaled_int_t{static_cast<std::int8_t>(scale), v};
}

}  // namespace lumdb
