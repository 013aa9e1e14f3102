#include "sources/vardo/vardo_environment.h"

#include "platform/paths.h"
#include "platform/registry.h"

namespace {
constexpr const char* kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vardo.Exe";
constexpr const char* kFirstUserKey = "SOFTWARE\\Tessal Kolm\\Tessal Vardo";
constexpr const char* kSecondUserKey = "SOFTWARE\\Tessal Pyx\\PYX Vardo 5";
constexpr const char* kCompanyFolderName = "Företag";
}  // namespace

VardoEnvironment::VardoEnvironment() {
  using platform::RegistryRoot;
  const platform::RegistryStore& registry = platform::Registry();
  if (!registry.KeyExists(RegistryRoot::LocalMachine, kAppPathsKey)) return;
  installed = true;
  programFolder = registry.ReadString(RegistryRoot::LocalMachine, kAppPathsKey, "Path").value_or("");
  if (auto database = registry.ReadString(RegistryRoot::CurrentUser, kFirstUserKey, "Database")) {
    databaseFolder = platform::JoinPath(*database, kCompanyFolderName);
  }
  if (auto database = registry.ReadString(RegistryRoot::CurrentUser, kSecondUserKey, "Database")) {
    secondDatabaseFolder = platform::JoinPath(*database, kCompanyFolderName);
  }
  // The version resource of Vardo.exe and the installed edition are read by the
  // Vardo source itself; until it is built they stay unknown, so no company of the
  // Vardo line is offered.
}

std::string GetVardoHelpPagePath(int edition) {
  switch (edition) {
    case 500:
    case 750:
    case 1000:
    case 1500:
    case 3000:
      return "/tessal-vardo-" + std::to_string(edition) +
             "/default.htm#tessal-vardo/tessal-molnix/molnix-checklista-programbyte.htm";
    default:
      return "/tessal-molnix/se/content/getting-started/a-convert-from-another-program.htm";
  }
}
