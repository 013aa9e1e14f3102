#pragma once
// The arithmetic of NUMERIC values over all 16 magnitude bytes, shared by the
// text forms, the fields and the row buffer. 10^38 - 1, the largest value of
// 38 digits, fits the 128-bit magnitude, so no power of ten used here
// overflows.
#include <sqltypes.h>

#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>
#include <string>

namespace lumdb::numeric128 {

using u128 = unsigned __int128;

inline constexpr int max_digits = 38;

constexpr u128 pow10(int n) {
  u128 p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

inline constexpr u128 max_magnitude = pow10(max_digits) - 1;

struct value_t {
  bool negative = false;
  u128 magnitude = 0;
};

inline value_t from_int64(std::int64_t v) {
  const auto bits = static_cast<std::uint64_t>(v);
  return {v < 0, v < 0 ? u128{0 - bits} : u128{bits}};
}

// All 16 magnitude bytes; sign byte 0 is negative.
inline value_t read(const SQL_NUMERIC_STRUCT& number) {
  u128 magnitude = 0;
  for (int i = 15; i >= 0; --i) magnitude = (magnitude << 8) | number.val[i];
  return {number.sign == 0, magnitude};
}

// `v` at source_scale brought to target_scale (extra digits cut off toward
// zero) and written with the precision byte. False, leaving `number` as it
// was, for a scale outside 0 to 38 or a result of more than `digits` digits.
inline bool store(SQL_NUMERIC_STRUCT& number, int target_scale, value_t v, int precision, int source_scale,
                  int digits = max_digits) {
  if (target_scale < 0 || target_scale > max_digits || source_scale < 0 || source_scale > max_digits) return false;
  if (target_scale > source_scale) {
    const u128 factor = pow10(target_scale - source_scale);
    if (v.magnitude > max_magnitude / factor) return false;
    v.magnitude *= factor;
  } else if (target_scale < source_scale) {
    v.magnitude /= pow10(source_scale - target_scale);
  }
  if (digits < 1 || digits > max_digits) digits = max_digits;
  if (v.magnitude > pow10(digits) - 1) return false;
  number.precision = static_cast<SQLCHAR>(precision);
  number.scale = static_cast<SQLSCHAR>(target_scale);
  number.sign = v.negative && v.magnitude != 0 ? 0 : 1;
  for (int i = 0; i < 16; ++i) number.val[i] = static_cast<SQLCHAR>(v.magnitude >> (8 * i));
  return true;
}

inline std::string to_digits(u128 magnitude) {
  char digits[40];  // 2^128 has 39
  char* first = std::end(digits);
  // Written from the last digit; 128-bit division only while 64 bits do not hold the rest.
  while (magnitude > std::numeric_limits<std::uint64_t>::max()) {
    *--first = static_cast<char>('0' + static_cast<int>(magnitude % 10));
    magnitude /= 10;
  }
  auto rest = static_cast<std::uint64_t>(magnitude);
  do {
    *--first = static_cast<char>('0' + static_cast<int>(rest % 10));
    rest /= 10;
  } while (rest != 0);
  return std::string(first, std::end(digits));
}

// The value's integer part (truncated toward zero) as a 64-bit integer;
// nothing when it does not fit or the scale is outside 0 to 38.
inline std::optional<std::int64_t> integer_part(const SQL_NUMERIC_STRUCT& number) {
  if (number.scale < 0 || number.scale > max_digits) return std::nullopt;
  const value_t v = read(number);
  const u128 quotient = v.magnitude / pow10(number.scale);
  const u128 limit = v.negative ? u128{1} << 63 : (u128{1} << 63) - 1;
  if (quotient > limit) return std::nullopt;
  return v.negative ? static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(quotient))
                    : static_cast<std::int64_t>(quotient);
}

inline double to_double(const SQL_NUMERIC_STRUCT& number) {
  if (number.scale < 0 || number.scale > max_digits) return 0.0;
  const value_t v = read(number);
  const double magnitude = static_cast<double>(v.magnitude) / static_cast<double>(pow10(number.scale));
  return v.negative ? -magnitude : magnitude;
}

}  // namespace lumdb::numeric128
