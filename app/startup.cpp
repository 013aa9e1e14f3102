// Start-up: finds the settings, configures the cloud client library, reads
// the command line and hands over to the wizard.
#include <cstdint>
#include <string>

#include "app/application.h"
#include "klcr/klcr.h"
#include "platform/folders.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/prompter.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace {

constexpr const char* kConverterKey = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\MolnixConverter.exe)";
constexpr const char* kSettingsFile = "settings.ini";
constexpr const char* kDefaultServiceDirectory = "https://sd.molnix.se/api/v1";

struct SettingsLocation {
  std::string folder;
  std::string file;
};

// The folder "InifilePath" names, when something exists at that path; else
// "Tessal Molnix Converter" inside "KOLM" of the common application-data folder,
// made when missing. Empty when neither can be had.
SettingsLocation FindSettings(int& timeout) {
  SettingsLocation where;
  timeout = -1;
  const auto& registry = platform::Registry();
  if (registry.KeyExists(platform::RegistryRoot::LocalMachine, kConverterKey)) {
    if (auto folder = registry.ReadString(platform::RegistryRoot::LocalMachine, kConverterKey, "InifilePath");
        folder && !folder->empty() && platform::PathExists(*folder)) {
      where = {*folder, platform::JoinPath(*folder, kSettingsFile)};
    }
    if (auto value = registry.ReadDword(platform::RegistryRoot::LocalMachine, kConverterKey, "Timeout")) {
      const auto seconds = static_cast<std::int32_t>(*value);
      timeout = seconds > 0 ? seconds : -1;
    }
  }
  if (!where.file.empty()) return where;

  const auto common = platform::CommonAppDataFolder();
  if (!common) return where;
  auto folder = *common / "KOLM";
  if (!platform::PathExists(folder)) platform::CreateFolder(folder);
  if (!platform::IsFolder(folder)) return where;
  folder /= "Tessal Molnix Converter";
  if (!platform::PathExists(folder)) platform::CreateFolder(folder);
  if (!platform::IsFolder(folder)) return where;
  return {folder.string(), platform::JoinPath(folder.string(), kSettingsFile)};
}

int DataModelsToLoad(const std::string& callingProgram) {
  if (callingProgram == "kolmadm.exe") return 1;
  if (callingProgram == "kolmfor.exe") return 2;
  return 3;
}

}  // namespace

bool CMolnixDataUploadApp::InitInstance(StartupSteps& steps, bool* failed) {
  if (failed) *failed = false;
  int timeout = -1;
  const SettingsLocation settings = FindSettings(timeout);
  if (settings.file.empty()) {
    steps.prompter().Tell("Allvarligt fel: Misslyckades initiera programmet.", GetAppCaption(),
                          platform::PromptIcon::Error);
    if (failed) *failed = true;
    return false;
  }

  KLCRMiscFunc::SetIniPath(settings.folder);
  if (timeout > 0) KLCRMiscFunc::SetTimeout(timeout);
  const auto ini = platform::ProfileFile::Load(settings.file).value_or(platform::ProfileFile{});
  KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(ini.GetString("SD", "BaseUrl", kDefaultServiceDirectory));
  KLCR_ServiceDirectory::KLCRSDMiscFunc::SetCountryCode(ini.GetString("SD", "CountryCode", "SE"));

  if (ini.GetInt("MLX", "Logg", 1) == 1) {
    // When the temp folder offers no folder of our own, logging stays on and its
    // lines are lost: they never go to a folder that someone else holds.
    m_bLogging = true;
    if (const auto folder = platform::PrepareLogFolder(platform::TempFolder())) m_strLogFolder = folder->string();
    platform::ConfigureLog(true, m_strLogFolder);
    if (!m_strLogFolder.empty()) KLCRMiscFunc::SetLoggPath(m_strLogFolder);
  }
  WriteLog(GetAppCaption() + " startad");
  for (const auto& problem : platform::LastRegistryProblems()) WriteLog(problem);

  m_strUserEmail = GetCommandLineOption("-U");
  m_strCompanyFolder = GetCommandLineOption("-F");
  const std::string callingProgram = platform::ToLower(GetCommandLineOption("-P"));
  if (callingProgram == "kolmadm.exe" || callingProgram == "kolmfor.exe" || callingProgram == "kolmfkt.exe") {
    m_nSourceKind = 1;
  } else if (callingProgram == "vardo.exe") {
    m_nSourceKind = 2;
  }
  if (m_nSourceKind == 1) {
    m_strDesktopUser = GetCommandLineOption("-M");
    m_strDesktopPassword = GetCommandLineOption("-W");
  }

  steps.InitProgramLocale();
  if (m_nSourceKind == 0) {
    steps.LoadDataModels(0);
  } else if (m_nSourceKind == 1) {
    steps.LoadDataModels(DataModelsToLoad(callingProgram));
  }
  steps.RunWizard();
  return false;
}
