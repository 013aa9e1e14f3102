#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "klcr/klcr.h"
#include "platform/fake/scoped_environment.h"
#include "platform/fake/scripted_prompter.h"
#include "platform/files.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/registry.h"

namespace {

using platform::fake::ScopedEnv;
using platform::fake::TempTree;

class RecordingSteps final : public StartupSteps {
 public:
  platform::Prompter& prompter() override { return prompter_; }
  void InitProgramLocale() override { calls.push_back("locale"); }
  void LoadDataModels(int program) override { calls.push_back("models " + std::to_string(program)); }
  void RunWizard() override { calls.push_back("wizard"); }

  std::vector<std::string> calls;
  platform::fake::ScriptedPrompter prompter_;
};

constexpr const char* kKeyLine =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\MolnixConverter.exe]\n";

std::string RegEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

class Startup : public ::testing::Test {
 protected:
  void SetUp() override { platform::InstallRegistry(nullptr); }
  void TearDown() override {
    platform::InstallRegistry(nullptr);
    platform::ConfigureLog(false, "");
  }
  void UseRegistry(const std::string& text) {
    platform::InstallRegistry(std::make_shared<platform::RegistryStore>(platform::RegistryStore::Parse(text)));
  }
  bool Run(CMolnixDataUploadApp& app, RecordingSteps& steps) {
    bool failed = false;
    EXPECT_FALSE(app.InitInstance(steps, &failed));
    return !failed;
  }

  TempTree tree;
  ScopedEnv common{"MOLNIX_COMMON_APPDATA", (tree / "common").string()};
  ScopedEnv temp{"TMPDIR", tree.MakeFolder("tmp").string()};
};

TEST_F(Startup, SettingsFolderFromRegistryOrCommonData) {
  tree.MakeFolder("common");
  const auto named = tree.MakeFolder("named");
  const auto file = tree.Write("plain-file", "x");
  const auto fallback = tree / "common" / "KOLM" / "Tessal Molnix Converter";
  struct Case {
    std::string registry;
    std::filesystem::path expectedFolder;
  };
  const Case cases[] = {
      {"", fallback},                                                                    // no key
      {std::string(kKeyLine), fallback},                                                 // no value
      {std::string(kKeyLine) + "\"InifilePath\"=\"" + RegEscape((tree / "gone").string()) + "\"\n", fallback},
      {std::string(kKeyLine) + "\"InifilePath\"=\"" + RegEscape(named.string()) + "\"\n", named},
      {std::string(kKeyLine) + "\"InifilePath\"=\"" + RegEscape(file.string()) + "\"\n", file},  // anything there
  };
  for (const auto& c : cases) {
    UseRegistry(c.registry);
    CMolnixDataUploadApp app;
    RecordingSteps steps;
    ASSERT_TRUE(Run(app, steps));
    EXPECT_EQ(KLCRMiscFunc::GetIniPath(), c.expectedFolder.string()) << c.registry;
    EXPECT_TRUE(platform::IsFolder(fallback) || c.expectedFolder != fallback);
  }
}

TEST_F(Startup, NoSettingsFolderIsFatal) {
  tree.Write("common", "a file where the folder should be");
  UseRegistry("");
  CMolnixDataUploadApp app;
  RecordingSteps steps;
  EXPECT_FALSE(Run(app, steps));
  ASSERT_EQ(steps.prompter_.shown.size(), 1u);
  EXPECT_EQ(steps.prompter_.shown[0],
            (platform::Prompt{"Allvarligt fel: Misslyckades initiera programmet.", "Tessal Molnix Converter",
                              platform::PromptIcon::Error, platform::PromptButtons::Ok}));
  EXPECT_TRUE(steps.calls.empty());
}

TEST_F(Startup, TimeoutOnlyWhenAboveZero) {
  const std::pair<const char*, int> cases[] = {
      {"dword:00000000", 77}, {"dword:fffffffb", 77}, {"dword:0000001e", 30}};  // 77: left as it was
  for (const auto& [value, expected] : cases) {
    UseRegistry(std::string(kKeyLine) + "\"Timeout\"=" + value + "\n");
    KLCRMiscFunc::SetTimeout(77);
    CMolnixDataUploadApp app;
    RecordingSteps steps;
    ASSERT_TRUE(Run(app, steps));
    EXPECT_EQ(KLCRMiscFunc::GetTimeout(), expected) << value;
  }
}

TEST_F(Startup, SettingsFileDecidesServiceAndLogging) {
  const auto folder = tree.MakeFolder("settings");
  UseRegistry(std::string(kKeyLine) + "\"InifilePath\"=\"" + RegEscape(folder.string()) + "\"\n");
  struct Case {
    const char* ini;  // nullptr: no settings.ini
    bool logging;
    const char* countryCode;
  };
  const Case cases[] = {
      {nullptr, true, "SE"},
      {"[MLX]\nLogg=1\n", true, "SE"},
      {"[MLX]\nLogg=0\n[SD]\nCountryCode=NO\n", false, "NO"},
      {"[MLX]\nLogg=2\n", false, "SE"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(folder / "settings.ini");
    if (c.ini) tree.Write("settings/settings.ini", c.ini);
    std::filesystem::remove_all(tree / "tmp" / "MolnixConverter");
    KLCRMiscFunc::SetLoggPath("");
    CMolnixDataUploadApp app;
    RecordingSteps steps;
    ASSERT_TRUE(Run(app, steps));
    EXPECT_EQ(app.m_bLogging, c.logging) << (c.ini ? c.ini : "no file");
    EXPECT_EQ(KLCR_ServiceDirectory::KLCRSDMiscFunc::GetCountryCode(), c.countryCode);
    EXPECT_EQ(platform::IsFolder(tree / "tmp" / "MolnixConverter"), c.logging);
    EXPECT_EQ(KLCRMiscFunc::GetLoggPath(), c.logging ? (tree / "tmp" / "MolnixConverter").string() : "");
    if (c.logging) {
      const auto log = platform::ReadWholeFile(tree / "tmp" / "MolnixConverter" / "mlx_logg.txt");
      ASSERT_TRUE(log);
      EXPECT_NE(log->find(" Tessal Molnix Converter startad\n"), std::string::npos);
    }
  }
}

TEST_F(Startup, LogFolderTakenByOthersLosesTheLines) {
  const auto elsewhere = tree.MakeFolder("elsewhere");
  std::filesystem::create_directory_symlink(elsewhere, tree / "tmp" / "MolnixConverter");
  std::filesystem::create_directory_symlink(elsewhere,
                                            tree / "tmp" / ("MolnixConverter-" + std::to_string(::geteuid())));
  UseRegistry("");
  KLCRMiscFunc::SetLoggPath("");
  CMolnixDataUploadApp app;
  RecordingSteps steps;
  ASSERT_TRUE(Run(app, steps));
  EXPECT_TRUE(app.m_bLogging);
  EXPECT_EQ(KLCRMiscFunc::GetLoggPath(), "");
  EXPECT_TRUE(std::filesystem::is_empty(elsewhere));
  EXPECT_FALSE(platform::PathExists(platform::kLogFileName));  // nor beside the program
}

TEST_F(Startup, CallingProgramDecidesSourceKindAndDataModels) {
  struct Case {
    const char* commandLine;
    int sourceKind;
    std::vector<std::string> calls;
    const char* desktopUser;
  };
  const Case cases[] = {
      {"", 0, {"locale", "models 0", "wizard"}, ""},
      {"-P KOLMADM.EXE -M anna -W hemligt", 1, {"locale", "models 1", "wizard"}, "anna"},
      {"-P kolmfor.exe -M anna", 1, {"locale", "models 2", "wizard"}, "anna"},
      {"-P KolmFkt.exe", 1, {"locale", "models 3", "wizard"}, ""},
      {"-P vardo.exe -M anna", 2, {"locale", "wizard"}, ""},
      {R"(-P "C:\Program\KolmAdm.exe" -M anna)", 0, {"locale", "models 0", "wizard"}, ""},
      {"-P other.exe -M anna", 0, {"locale", "models 0", "wizard"}, ""},
  };
  UseRegistry("");
  for (const auto& c : cases) {
    CMolnixDataUploadApp app;
    app.SetCommandLine(std::string(c.commandLine) + " -U anna@firma.se -F /srv/ftg");
    RecordingSteps steps;
    ASSERT_TRUE(Run(app, steps));
    EXPECT_EQ(app.m_nSourceKind, c.sourceKind) << c.commandLine;
    EXPECT_EQ(steps.calls, c.calls) << c.commandLine;
    EXPECT_EQ(app.m_strDesktopUser, c.desktopUser) << c.commandLine;
    EXPECT_EQ(app.m_strUserEmail, "anna@firma.se");
    EXPECT_EQ(app.m_strCompanyFolder, "/srv/ftg");
  }
}

}  // namespace
