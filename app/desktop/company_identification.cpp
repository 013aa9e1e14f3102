#include "app/desktop/company_identification.h"

#include "app/desktop/desktop_programs.h"
#include "platform/log.h"
#include "sources/admin/company_db.h"
#include "sources/admin/parameter_tables.h"
#include "sources/sqladmin/data_source.h"

namespace {

// The first character of a product code names the program and its edition.
bool LookUpProductCode(std::string_view code, SourceCompany& company) {
  if (code.empty()) return false;
  struct Entry {
    char first;
    int product;
    int edition;
  };
  static constexpr Entry kCodes[] = {
      {'0', kProductAdministration, 200}, {'1', kProductAdministration, 1000}, {'2', kProductAdministration, 2000},
      {'5', kProductAdministration, 500}, {'F', kProductAssociation, 800},     {'W', kProductInvoicing, 400},
  };
  for (const auto& entry : kCodes) {
    if (entry.first == code.front()) {
      company.product = entry.product;
      company.edition = entry.edition;
      return true;
    }
  }
  return false;
}

void SetVersion(SourceCompany& company, double version) {
  company.version = version;
  company.versionSupported = version >= kLowestSupportedAdminVersion;
}

}  // namespace

SourceCompany IdentifyCompany(const std::string& folder, bool readOrgNo) {
  DataSourceInfo dataSource;
  if (ReadDataSourceIni(dataSource, folder)) {
    SourceCompany company;
    if (!LookUpProductCode(dataSource.displayVariant, company)) return {};
    company.kind = kSourceAdmin;
    if (readOrgNo) {
      std::string failure;
      company.orgNo = ReadCompanyOrgNr(dataSource, &failure);
      // A company without a number is left out of the company lists: the log says why.
      if (!failure.empty()) {
        WriteLog("Företaget i " + folder + " kan inte läsas (databasen " + dataSource.databaseName + " på " +
                 dataSource.server + "): " + failure);
      }
    }
    company.name = dataSource.displayName;
    company.path = folder;
    SetVersion(company, StrToDoubleOrZero(dataSource.displayVersion));
    return company;
  }

  // Only the first record of PRM.DBF counts, deleted or not.
  const CAdminPrm prm(folder);
  if (prm.GetPrg() != "ADM") {
    // A company whose PRM.DBF cannot be read (another program's lock, a damaged file) is left out: the log says why.
    if (prm.IsDamaged()) WriteLog("Företaget i " + folder + " kan inte läsas: " + prm.Losses());
    return {};
  }
  SourceCompany company;
  if (!LookUpProductCode(prm.GetPrgType(), company)) return {};
  company.kind = kSourceAdmin;
  company.orgNo = prm.GetOrgNr();
  company.name = prm.GetName();
  company.path = folder;
  SetVersion(company, ToDouble(prm.GetVersion()));
  return company;
}

bool IsSqlCompany(const std::string& folder) {
  DataSourceInfo dataSource;
  return ReadDataSourceIni(dataSource, folder);
}

bool IsKlLinkEmpty(const std::string& folder) {
  DataSourceInfo dataSource;
  if (ReadDataSourceIni(dataSource, folder)) return ReadCompanyCloudLinkId(dataSource).empty();
  return CAdminPrm(folder).GetKlFkRecId().empty();
}

std::string NormalizeOrgNo(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  if (digits.size() == 12) digits.erase(0, 2);
  if (digits.size() == 10) digits.insert(6, "-");
  return digits;
}
