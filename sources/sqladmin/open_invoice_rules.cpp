#include "sources/sqladmin/open_invoice_rules.h"

#include "app/desktop/company_identification.h"
#include "sources/sqladmin/data_source.h"

lumdb::filter_node_t DiffersOrNull(const lumdb::filter_node_t& differs, const lumdb::field_desc_t& field) {
  return lumdb::filter_or_copy(differs, lumdb::filter_node_t(lumdb::colexpr_c(field.id), nullptr));
}

bool IsOpenInvoiceKindAvailable(OpenInvoiceLink& link, const std::string& companyFolder, int excludedEdition) {
  link = {};
  if (IdentifyCompany(companyFolder, false).edition == excludedEdition) return false;
  DataSourceInfo dataSource;
  if (!ReadDataSourceIni(dataSource, companyFolder)) return true;
  std::string failure;
  const std::string id = ReadCompanyCloudLinkId(dataSource, &failure);
  return link.Take(companyFolder, id, std::move(failure));
}

std::string CreditSigned(std::string amount, bool credit) {
  if (amount.empty() || !credit) return amount;
  return amount.front() == '-' ? amount.substr(1) : "-" + amount;
}

std::string RateOrOne(const CAdmDbSql& rows, const lumdb::field_desc_t* rate) {
  if (rows.connectionError()) return {};
  std::string text = rows.GetColumnString(rate);
  return StrToDoubleOrZero(text) == 0.0 ? "1.000000" : text;
}

int RateUnitOrOne(const CAdmDbSql& rows, const lumdb::field_desc_t* unit) {
  if (rows.connectionError()) return 0;
  const int value = StrToIntOrZero(rows.GetColumnString(unit));
  return value == 0 ? 1 : value;
}
