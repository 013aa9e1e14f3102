#pragma once
// Number readings shared by the Vardo readers. Texts from the company's tables
// are read the way the C run time reads a leading integer, but never throw: a
// text without a number, or with one too large, is told apart by the result.
#include <string>
#include <string_view>

namespace vardo_values {

struct LeadingInteger {
  bool found = false;       // the text starts (after white space and a sign) with a digit
  bool outOfRange = false;  // found, but beyond the range of int
  int value = 0;            // the number when found and in range
};

// Leading white space, an optional sign, then the decimal digits; the rest is ignored.
LeadingInteger ReadLeadingInteger(std::string_view text);

// An exchange rate with six decimals, "." as decimal point.
std::string FormatRate(double rate);

}  // namespace vardo_values
