#pragma once
// Numbers read from the start of a text the way an input stream of the
// classic locale reads them: leading blanks skipped, an optional sign, the
// longest number that follows; what comes after is left alone. Shared by the
// wide integer reader and the number fields.
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumdb::number_text {

template <class CharT>
bool is_blank(CharT c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

template <class CharT>
bool is_digit(CharT c) {
  return c >= '0' && c <= '9';
}

// Nothing when no number starts the text or it lies outside [min, max].
template <class CharT>
std::optional<std::int64_t> extract_integer(std::basic_string_view<CharT> text, std::int64_t min, std::int64_t max) {
  std::size_t pos = 0;
  while (pos < text.size() && is_blank(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
  const std::size_t start = pos;
  // Accumulated negatively so the smallest 64-bit value reads too.
  std::int64_t v = 0;
  constexpr std::int64_t lowest = INT64_MIN;
  for (; pos < text.size() && is_digit(text[pos]); ++pos) {
    const int digit = static_cast<int>(text[pos] - '0');
    if (v < (lowest + digit) / 10) return std::nullopt;
    v = v * 10 - digit;
  }
  if (pos == start) return std::nullopt;
  if (!negative) {
    if (v == lowest) return std::nullopt;
    v = -v;
  }
  if (v < min || v > max) return std::nullopt;
  return v;
}

// Decimal notation with an optional fraction and exponent; nothing when no
// number starts the text or it is beyond the range of a double.
template <class CharT>
std::optional<double> extract_double(std::basic_string_view<CharT> text) {
  std::size_t pos = 0;
  while (pos < text.size() && is_blank(text[pos])) ++pos;
  std::string number;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    if (text[pos] == '-') number.push_back('-');
    ++pos;
  }
  std::size_t digits = 0;
  auto takeDigits = [&] {
    std::size_t n = 0;
    for (; pos < text.size() && is_digit(text[pos]); ++pos, ++n) number.push_back(static_cast<char>(text[pos]));
    return n;
  };
  digits += takeDigits();
  if (pos < text.size() && text[pos] == '.') {
    number.push_back('.');
    ++pos;
    digits += takeDigits();
  }
  if (digits == 0) return std::nullopt;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    std::size_t next = pos + 1;
    std::string exponent = "e";
    if (next < text.size() && (text[next] == '-' || text[next] == '+')) exponent.push_back(static_cast<char>(text[next++]));
    if (next < text.size() && is_digit(text[next])) {
      pos = next;
      number += exponent;
      takeDigits();
    }
  }
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return value;
}

}  // namespace lumdb::number_text
