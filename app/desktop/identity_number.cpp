#include "app/desktop/identity_number.h"

#include <string>

#include "platform/clock.h"

namespace {

// The leading decimal digits of a text as a number; 0 when there are none.
int LeadingNumber(std::string_view text) {
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool IsValidDate(int year, int month, int day) {
  if (year < 1400 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int last = (month == 2 && leap) ? 29 : kDaysInMonth[month - 1];
  return day <= last;
}

}  // namespace

bool CheckLuhn(std::string_view digits) {
  int sum = 0;
  bool doubled = false;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it < '0' || *it > '9') return false;
    int value = *it - '0';
    if (doubled) {
      value *= 2;
      if (value > 9) value -= 9;
    }
    sum += value;
    doubled = !doubled;
  }
  return sum % 10 == 0;
}

bool IsValidIdentityNumber(std::string_view text) {
  std::string compact;
  for (char c : text) {
    if (c != '-' && c != ' ' && c != '+') compact.push_back(c);
  }
  if (compact.size() != 10 && compact.size() != 12) return false;
  const std::string_view digits(compact);
  if (!CheckLuhn(digits.substr(digits.size() - 10))) return false;

  const std::size_t dateStart = digits.size() == 12 ? 4 : 2;
  std::string year(digits.substr(0, dateStart));
  if (digits.size() == 10) {
    const int currentYear = platform::CurrentClock().Now().year;
    const bool plus = text.find('+') != std::string_view::npos;
    const bool plusAfterStart = text.find('+', 1) != std::string_view::npos;
    const char* century = LeadingNumber(year) > currentYear % 100 ? (plus ? "18" : "19")
                                                                  : (plusAfterStart ? "19" : "20");
    year = century + year;
  }
  const int fullYear = LeadingNumber(year);
  if (fullYear < 1800) return false;
  const int month = LeadingNumber(digits.substr(dateStart, 2));
  int day = LeadingNumber(digits.substr(dateStart + 2, 2));
  if (day > 60) day -= 60;
  return IsValidDate(fullYear, month, day);
}
