#include "sources/vardo/vardo_reader_values.h"

#include <charconv>
#include <climits>

#include "platform/text.h"

namespace vardo_values {

LeadingInteger ReadLeadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && platform::IsWhiteSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  LeadingInteger result;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    result.found = true;
    if (value <= INT_MAX) value = value * 10 + (text[i] - '0');  // stops growing once beyond any int
  }
  if (negative) value = -value;
  if (value < INT_MIN || value > INT_MAX) {
    result.outOfRange = true;
  } else {
    result.value = static_cast<int>(value);
  }
  return result;
}

std::string FormatRate(double rate) {
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, rate, std::chars_format::fixed, 6);
  return error == std::errc() ? std::string(text, end) : std::string();
}

}  // namespace vardo_values
