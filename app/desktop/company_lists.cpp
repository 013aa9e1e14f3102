#include "app/desktop/company_lists.h"

#include <algorithm>
#include <filesystem>

#include "app/desktop/company_identification.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "sources/vardo/vardo_companies.h"
#include "sources/vardo/vardo_environment.h"

namespace {

std::string WithoutTrailingSeparators(std::string folder) {
  while (folder.size() > 1 && platform::EndsWithSeparator(folder)) folder.pop_back();
  return folder;
}

// The folder above; empty when there is none. A trailing separator does not
// count as a level, so "C:/Ftg/Demo/" has the parent "C:/Ftg".
std::string ParentFolder(const std::string& folder) {
  const std::string trimmed = WithoutTrailingSeparators(folder);
  const auto cut = trimmed.find_last_of("/\\");
  if (cut == std::string::npos || trimmed.size() == 1) return {};
  return trimmed.substr(0, cut == 0 ? 1 : cut);
}

bool SamePath(const std::string& a, const std::string& b) {
  return std::filesystem::path(WithoutTrailingSeparators(a)) == std::filesystem::path(WithoutTrailingSeparators(b));
}

// The direct subfolders, ordered by name without regard to case.
std::vector<std::string> Subfolders(const std::string& folder) {
  std::vector<std::string> names = platform::ListFolder(folder);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string la = platform::ToLower(a);
    const std::string lb = platform::ToLower(b);
    return la != lb ? la < lb : a < b;
  });
  std::vector<std::string> folders;
  for (const auto& name : names) {
    std::string path = platform::JoinPath(folder, name);
    if (platform::IsFolder(path)) folders.push_back(std::move(path));
  }
  return folders;
}

}  // namespace

void ListDesktopCompanies(const std::string& wantedOrgNo, std::vector<SourceCompany>* out) {
  for (int i = 0; i < 3; ++i) {
    const auto& entry = g_desktopPrograms[i];
    const std::string root = ReadCompanyRootFromIni(entry.installed, entry.admIni,
                                                    DesktopProgramNamesOf(static_cast<DesktopProduct>(i + 1)).iniFile);
    ScanCompanyRoot(root, entry.defaultCompanyPath, out, wantedOrgNo);
  }
}

std::string ReadCompanyRootFromIni(bool installed, const std::string& iniFolder, const std::string& iniFileName) {
  if (!installed) return {};
  return platform::GetProfileString(platform::ResolveNoCase(iniFolder, iniFileName), "Company", "Path", "");
}

void ScanCompanyRoot(const std::string& iniCompanyFolder, std::string defaultCompanyFolder,
                     std::vector<SourceCompany>* out, const std::string& wantedOrgNo) {
  defaultCompanyFolder = WithoutTrailingSeparators(defaultCompanyFolder);
  const std::string first = iniCompanyFolder.empty() ? std::string() : ParentFolder(iniCompanyFolder);
  if (!first.empty()) FindCompaniesByOrgNo(first, out, wantedOrgNo);
  if (!defaultCompanyFolder.empty() && !SamePath(defaultCompanyFolder, first)) {
    FindCompaniesByOrgNo(defaultCompanyFolder, out, wantedOrgNo);
  }
}

void FindCompaniesByOrgNo(const std::string& folder, std::vector<SourceCompany>* out, const std::string& wantedOrgNo) {
  const std::string wanted = NormalizeOrgNo(wantedOrgNo);
  // A number without digits matches nothing, not even another one without digits.
  if (wanted.empty() || !platform::IsFolder(folder)) return;
  for (const auto& candidate : Subfolders(folder)) {
    SourceCompany company = IdentifyCompany(candidate, true);
    if (!company.orgNo.empty() && NormalizeOrgNo(company.orgNo) == wanted) out->push_back(std::move(company));
  }
}

void ReadClientDataPath(platform::RegistryRoot root, const std::string& key, std::string& out) {
  if (auto value = platform::Registry().ReadString(root, key, "ClientDataPath")) out = *value;
}

CClientDataSettings::CClientDataSettings(const VardoEnvironment* vardo)
    : desktopPrograms(&g_desktopPrograms), vardoEnvironment(vardo) {
  using platform::RegistryRoot;
  ReadClientDataPath(RegistryRoot::LocalMachine, kMachineBureauKey, machineClientDataPath);
  ReadClientDataPath(RegistryRoot::LocalMachine, kMachineBureauKey2, machineClientDataPath2);
  ReadClientDataPath(RegistryRoot::CurrentUser, kUserBureauKey, userClientDataPath);
  ReadClientDataPath(RegistryRoot::CurrentUser, kUserBureauKey2, userClientDataPath2);
}

void CClientDataSettings::ScanClientDataFolders(const std::string& machinePath, const std::string& userPath,
                                                std::vector<SourceCompany>* out,
                                                const std::string& wantedOrgNo) const {
  const std::string& clientData = userPath.empty() ? machinePath : userPath;
  if (clientData.empty() || !platform::IsFolder(clientData)) return;
  for (const auto& client : Subfolders(clientData)) {
    for (const auto& folder : Subfolders(client)) {
      const auto bookkeeping = platform::FindEntryNoCase(folder, "bokf");
      if (!bookkeeping || !platform::IsFolder(*bookkeeping)) continue;
      const std::string companies = bookkeeping->string();
      if (desktopPrograms) FindCompaniesByOrgNo(companies, out, wantedOrgNo);
      if (vardoEnvironment) FindVardoCompaniesByOrgNo(companies, *out, wantedOrgNo);
    }
  }
}

std::vector<SourceCompany> ListSourceCompanies(const CClientDataSettings& bureau, const VardoEnvironment& vardo,
                                               const std::string& wantedOrgNo) {
  std::vector<SourceCompany> companies;
  ListVardoCompanies("", vardo.databaseFolder, companies, wantedOrgNo);
  ListDesktopCompanies(wantedOrgNo, &companies);
  bureau.ScanClientDataFolders(bureau.machineClientDataPath, bureau.userClientDataPath, &companies, wantedOrgNo);
  bureau.ScanClientDataFolders(bureau.machineClientDataPath2, bureau.userClientDataPath2, &companies, wantedOrgNo);
  return companies;
}
