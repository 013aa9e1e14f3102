#include "sources/admin/price_list_table.h"

#include "sources/admin/parameter_tables.h"

CAdminPriceListDb::CAdminPriceListDb(std::string folder)
    : CAdminCompanyDb(folder, kFileName), companyCurrency_(CAdminPrm(folder).GetCurrencyCode()) {}

std::string CAdminPriceListDb::GetCurrencyCode() const {
  std::string currency = GetField(currency_);
  if (currency.empty()) currency = companyCurrency_;
  return currency.empty() ? "SEK" : currency;
}
