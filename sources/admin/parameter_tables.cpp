#include "sources/admin/parameter_tables.h"

CAdminPrm::CAdminPrm(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}
CAdminPrm2::CAdminPrm2(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}
CAdminNewNumDb::CAdminNewNumDb(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}

bool TakeCloudLink(const std::string& folder, OpenInvoiceLink& link) {
  const CAdminPrm prm(folder);
  std::vector<ReportRow> unread;
  prm.AddSettingsTableRows(unread);
  return link.Take(folder, prm.GetKlFkRecId(), unread.empty() ? std::string() : unread.front().text);
}
