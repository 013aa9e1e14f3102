#include "app/reader_interfaces/stored_company_settings.h"

#include "platform/text.h"

namespace {

// The lower-cased name holds the word, or starts or ends with its abbreviation as a word of its own.
bool CallsItself(std::string_view lower, std::string_view word, std::string_view abbreviation) {
  const std::string lead = std::string(abbreviation) + " ";
  const std::string tail = " " + std::string(abbreviation);
  return lower.find(word) != std::string_view::npos || lower.starts_with(lead) || lower.ends_with(tail);
}

}  // namespace

int CompanyFormOf(int middle, char group, std::string_view name) {
  if (middle >= 1 && middle <= 12) return 2;
  if (middle < 20) return 0;
  const std::string lower = platform::ToLower(name);
  switch (group) {
    case '5':
      return 1;
    case '7':
    case '8':
      return lower.find("ekonomisk förening") != std::string::npos || lower.find("ek. för.") != std::string::npos ? 3 : 0;
    case '9':
      if (platform::Utf8Length(lower) <= 3) return 0;
      if (CallsItself(lower, "handelsbolag", "hb")) return 5;
      if (CallsItself(lower, "kommanditbolag", "kb")) return 6;
      return 0;
    default:
      return 0;
  }
}
