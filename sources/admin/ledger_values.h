#pragma once
// The value forms the open-invoice readers hand to the cloud: amounts, rates
// and dates travel as text, so they are reshaped, never parsed and rewritten.
#include <cstddef>
#include <string>
#include <utility>

#include "sources/admin/company_db.h"

namespace ledger {

// A DBF date as stored (YYYYMMDD) written YYYY-MM-DD; any other length gives "".
// The characters themselves are not checked: the cloud judges the date. They
// are counted as characters, since a stray letter outside ASCII takes more
// than one byte here.
inline std::string DateText(std::string stored) {
  std::size_t starts[8];  // where each character begins
  std::size_t count = 0;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    if ((static_cast<unsigned char>(stored[i]) & 0xC0) == 0x80) continue;  // inside a character
    if (count == 8) return {};
    starts[count++] = i;
  }
  if (count != 8) return {};
  stored.insert(starts[6], 1, '-');
  stored.insert(starts[4], 1, '-');
  return stored;
}

// An exchange rate as stored; one that reads as no rate at all means the home currency.
inline std::string RateOrOne(std::string stored) { return ToDouble(stored) == 0.0 ? "1.000000" : std::move(stored); }

// The rate unit; 0 (or nothing readable) means one.
inline int UnitOrOne(const std::string& stored) {
  const int unit = ToInt(stored);
  return unit == 0 ? 1 : unit;
}

// A credit invoice's amounts are stored with the sign of a debit one. The sign
// is turned on the text, so the digits and decimals stay as stored.
inline std::string Signed(std::string amount, bool credit) {
  if (!credit || amount.empty()) return amount;
  if (amount.front() == '-') return amount.substr(1);
  return "-" + amount;
}

}  // namespace ledger
