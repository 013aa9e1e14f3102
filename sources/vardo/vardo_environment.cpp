#include "sources/vardo/vardo_environment.h"

#include <charconv>
#include <filesystem>

#include "app/desktop/desktop_programs.h"
#include "app/desktop/desktop_services.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "platform/registry.h"

namespace {
constexpr const char* kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vardo.Exe";
constexpr const char* kFirstUserKey = "SOFTWARE\\Tessal Kolm\\Tessal Vardo";
constexpr const char* kSecondUserKey = "SOFTWARE\\Tessal Pyx\\PYX Vardo 5";
constexpr const char* kCompanyFolderName = "Företag";
constexpr std::size_t kMaxPath = 260;

bool IsKnownEdition(int edition) {
  return edition == 500 || edition == 750 || edition == 1000 || edition == 1500 || edition == 3000;
}

std::optional<std::string> ReadPathValue(platform::RegistryRoot root, const char* key, const char* name) {
  auto value = platform::Registry().ReadString(root, key, name);
  if (value && value->size() >= kMaxPath) return std::nullopt;
  return value;
}

int ReadInstalledEdition() {
  const platform::RegistryStore& registry = platform::Registry();
  if (auto dword = registry.ReadDword(platform::RegistryRoot::LocalMachine, kAppPathsKey, kVardoEditionValueName)) {
    return static_cast<int>(*dword);
  }
  const auto text = registry.ReadString(platform::RegistryRoot::LocalMachine, kAppPathsKey, kVardoEditionValueName);
  int edition = 0;
  if (text) std::from_chars(text->data(), text->data() + text->size(), edition);
  return edition;
}
}  // namespace

VardoEnvironment::VardoEnvironment() {
  using platform::RegistryRoot;
  if (!platform::Registry().KeyExists(RegistryRoot::LocalMachine, kAppPathsKey)) return;
  installed = true;
  programFolder = ReadPathValue(RegistryRoot::LocalMachine, kAppPathsKey, "Path").value_or("");
  if (auto database = ReadPathValue(RegistryRoot::CurrentUser, kFirstUserKey, "Database")) {
    databaseFolder = platform::JoinPath(*database, kCompanyFolderName);
  }
  if (auto database = ReadPathValue(RegistryRoot::CurrentUser, kSecondUserKey, "Database")) {
    // This key's value is taken as written: a trailing separator stays.
    secondDatabaseFolder = *database + "/" + kCompanyFolderName;
  }
  version = GetVardoFileVersion("Vardo.exe", programFolder);
  installedEdition = ReadInstalledEdition();
}

const VardoEnvironment& ProcessVardoEnvironment() {
  static const VardoEnvironment environment;
  return environment;
}

std::string GetVardoEditionText() {
  const int edition = ProcessVardoEnvironment().installedEdition;
  return IsKnownEdition(edition) ? std::to_string(edition) : "";
}

std::string GetVardoHelpPagePath(int edition) {
  if (IsKnownEdition(edition)) {
    return "/tessal-vardo-" + std::to_string(edition) +
           "/default.htm#tessal-vardo/tessal-molnix/molnix-checklista-programbyte.htm";
  }
  return "/tessal-molnix/se/content/getting-started/a-convert-from-another-program.htm";
}

std::string CreateTempWorkFolder() {
  // "Tespyx" lies in a folder of this run's own (mode 0700), not straight in the
  // shared temp folder where another user could have made it first; it goes with
  // the run's other export folders when the run ends.
  static std::filesystem::path runFolder;
  if (runFolder.empty() || runFolder.parent_path() != platform::TempFolder() ||
      !platform::PathExists(runFolder.string())) {
    const std::string made = CreateExportTempFolder();
    if (made.empty()) return {};
    runFolder = made;
  }
  const std::string folder = platform::JoinPath(runFolder.string(), "Tespyx");
  platform::CreateFolder(folder);
  return folder;
}

double GetVardoFileVersion(std::string fileName, std::string folder) {
  if (folder.empty()) return 0.0;
  return GetProgramVersion(folder, fileName);
}
