#pragma once
// The value forms the open-invoice readers hand to the cloud: amounts and
// rates travel as text, so they are reshaped, never parsed and rewritten.
#include <string>
#include <utility>

#include "sources/admin/company_db.h"

namespace ledger {

// The values below are read after the invoice's check has found them readable.

// An exchange rate as stored; a blank or zero rate means the home currency.
inline std::string RateOrOne(const CAdminCompanyDb& table, int column) {
  return table.NumberValue(column).value_or(0.0) == 0.0 ? "1.000000" : table.GetField(column);
}

// The rate unit; a blank or zero unit means one.
inline int UnitOrOne(const CAdminCompanyDb& table, int column) {
  const int unit = table.WholeNumberValue(column).value_or(0);
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
