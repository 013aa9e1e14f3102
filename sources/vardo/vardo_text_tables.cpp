#include "sources/vardo/vardo_text_tables.h"

#include "platform/text.h"

namespace {
constexpr std::size_t kMaxNameChars = 127;
// A payment term whose number does not start its name is not a number of days.
constexpr int kNotLeadingNumber = 180;

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }
}  // namespace

CVardoTextDb::CVardoTextDb(std::string companyFolder) : CVardoCompanyDb(std::move(companyFolder), "TEXT.DBF") {
  SetTableId(vardo_table::kText);
}

bool CVardoTextDb::PassUnreadableNumber() {
  const std::vector<VardoDamagedValue> damaged = DamagedAmong({&number_});
  if (!damaged.empty()) CountAsUnreadable(VardoDamagedValuesText(damaged));
  return !damaged.empty();
}

// "30 dagar netto" gives 30, "Netto 10 dagar" 190 (the number does not start
// the name), "Kontant" -1. At most three digits are read.
int CVardoTextDb::GetDaysFromName() {
  const std::string text = platform::Utf8Truncate(GetTextName(), kMaxNameChars);
  const std::string_view name = text;
  const std::size_t start = name.find_first_of("0123456789+-");
  if (start == std::string_view::npos) return -1;
  std::size_t i = start;
  while (i < name.size() && IsBlankOrTab(name[i])) ++i;
  bool negative = false;
  if (i < name.size() && (name[i] == '+' || name[i] == '-')) negative = name[i++] == '-';
  while (i < name.size() && IsBlankOrTab(name[i])) ++i;
  int days = 0;
  for (int digits = 0; digits < 3 && i < name.size() && name[i] >= '0' && name[i] <= '9'; ++digits, ++i) {
    days = days * 10 + (name[i] - '0');
  }
  if (negative) days = -days;
  if (start != 0) days += kNotLeadingNumber;
  return days;
}

bool IsUsableTermName(const std::string& name) { return platform::Utf8Length(name) > 1; }
