#include "sources/vardo/vardo_companies.h"

#include <filesystem>

#include "app/desktop/company_identification.h"
#include "platform/files.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "sources/admin/company_db.h"
#include "sources/vardo/vardo_company_db.h"
#include "sources/vardo/vardo_environment.h"

namespace {
constexpr double kLowestSupportedVardoVersion = 6.0;
constexpr std::size_t kMaxVersionText = 511;

// The company in the folder; `unreadable` says why its database could not be read, when it could not.
SourceCompany Identify(const std::string& companyFolder, std::string* unreadable) {
  SourceCompany company;
  company.kind = kSourceVardo;
  CVardoPrm client(companyFolder);
  if (unreadable) {
    // The company's record is the table's first, where a table opened stands; the move says what is lost.
    client.MoveFirst();
    std::vector<ReportRow> damage;
    client.AddDamageRows(damage);
    if (!damage.empty()) *unreadable = damage.front().text;
  }
  const std::string edition = GetVardoEditionText();
  if (edition.empty()) return company;
  company.edition = ProcessVardoEnvironment().installedEdition;
  company.orgNo = client.GetString(vardo_table::kClient, "ORGNO");
  company.name = client.GetString(vardo_table::kClient, "CLNAME");
  company.path = companyFolder;
  company.version = ToDouble(ReadVardoDatabaseVersion(companyFolder.c_str()));
  company.versionSupported = company.version >= kLowestSupportedVardoVersion;
  return company;
}

}  // namespace

SourceCompany IdentifyVardoCompany(const std::string& companyFolder) { return Identify(companyFolder, nullptr); }

std::string ReadVardoDatabaseVersion(const char* companyFolder) {
  const std::string folder = companyFolder ? companyFolder : "";
  if (platform::FindEntryNoCase(folder, "vardo.dbd")) return "4.0";
  const auto file = platform::FindEntryNoCase(folder, "db.ver");
  auto reader = file ? platform::OpenForReading(*file) : nullptr;
  if (!reader) return "5.0";
  std::string text(kMaxVersionText, '\0');
  text.resize(reader->ReadAt(0, text));
  return text;
}

void FindVardoCompaniesByOrgNo(std::string folder, std::vector<SourceCompany>& out, std::string wantedOrgNo) {
  if (!platform::IsFolder(folder)) return;
  const std::string wanted = NormalizeOrgNo(wantedOrgNo);
  // A company left out for what its folder holds is named in the log with why; one of another organisation number is not.
  const auto leftOut = [](const std::string& candidate, const std::string& why) {
    WriteLog("Företaget i " + candidate + " tas inte med: " + why);
  };
  for (const std::string& name : platform::ListFolder(folder)) {
    const std::string candidate = platform::JoinPath(folder, name);
    if (!platform::IsFolder(candidate)) continue;
    if (!platform::FindEntryNoCase(candidate, "client.dbf")) {
      leftOut(candidate, "CLIENT.DBF saknas");
      continue;
    }
    std::string unreadable;
    SourceCompany company = Identify(candidate, &unreadable);
    if (!unreadable.empty()) {
      leftOut(candidate, unreadable);
    } else if (company.orgNo.empty() && company.edition != 0) {
      leftOut(candidate, "organisationsnummer saknas");
    }
    if (!company.orgNo.empty() && NormalizeOrgNo(company.orgNo) == wanted) out.push_back(std::move(company));
  }
}

void ListVardoCompanies(std::string companyFolder, std::string databaseFolder, std::vector<SourceCompany>& out,
                        std::string wantedOrgNo) {
  if (!databaseFolder.empty() && platform::IsPathSeparator(databaseFolder.back())) databaseFolder.pop_back();
  const std::string parent =
      companyFolder.empty() ? "" : std::filesystem::path(companyFolder).parent_path().string();
  if (!parent.empty()) FindVardoCompaniesByOrgNo(parent, out, wantedOrgNo);
  if (!databaseFolder.empty() && std::filesystem::path(databaseFolder) != std::filesystem::path(parent)) {
    FindVardoCompaniesByOrgNo(databaseFolder, out, wantedOrgNo);
  }
}
