#include "platform/registry.h"

#include <gtest/gtest.h>

#include "platform/fake/scoped_environment.h"

namespace platform {
namespace {

constexpr const char* kAppPaths = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths)";

const char* const kSample = R"(Windows Registry Editor Version 5.00

; a comment
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\MolnixConverter.exe]
"InifilePath"="C:\\Program Files\\Tessal\\"
"Timeout"=dword:0000001e
"Quoted"="say \"hej\""
"inifilepath"="second wins not"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\KolmAdm.exe]

[HKEY_CURRENT_USER\Software\Tessal Kolm\Tessal Vardo]
"Database"="/srv/vardo/Företag"
)";

TEST(Registry, ReadsValuesWithoutRegardToCase) {
  std::vector<std::string> problems;
  const auto reg = RegistryStore::Parse(kSample, &problems);
  EXPECT_TRUE(problems.empty());
  const std::string key = std::string(kAppPaths) + "\\MOLNIXCONVERTER.EXE";
  EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, key, "INIFILEPATH"), R"(C:\Program Files\Tessal\)");
  EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, key, "Quoted"), "say \"hej\"");
  EXPECT_EQ(reg.ReadDword(RegistryRoot::LocalMachine, key, "timeout"), 30u);
  EXPECT_EQ(reg.ReadDword(RegistryRoot::LocalMachine, key, "InifilePath"), std::nullopt);  // wrong type
  EXPECT_EQ(reg.ReadString(RegistryRoot::CurrentUser, key, "InifilePath"), std::nullopt);  // other root
  EXPECT_EQ(reg.ReadString(RegistryRoot::CurrentUser, R"(software\tessal kolm\tessal vardo)", "Database"),
            "/srv/vardo/Företag");
}

TEST(Registry, EmptySectionIsAnExistingKey) {
  const auto reg = RegistryStore::Parse(kSample);
  EXPECT_TRUE(reg.KeyExists(RegistryRoot::LocalMachine, std::string(kAppPaths) + "\\kolmadm.exe"));
  EXPECT_TRUE(reg.KeyExists(RegistryRoot::LocalMachine, kAppPaths));  // parent of written keys
  EXPECT_FALSE(reg.KeyExists(RegistryRoot::LocalMachine, std::string(kAppPaths) + "\\KolmFor.exe"));
  EXPECT_EQ(reg.SubKeyNames(RegistryRoot::LocalMachine, kAppPaths),
            (std::vector<std::string>{"MolnixConverter.exe", "KolmAdm.exe"}));
}

TEST(Registry, MalformedLinesAreSkippedAndReported) {
  std::vector<std::string> problems;
  const auto reg = RegistryStore::Parse(
      "\"Orphan\"=\"x\"\n[HKEY_LOCAL_MACHINE\\A]\n\"Bad\"=dword:zz\n\"Open=\"x\n[HKEY_NOWHERE\\B]\n\"Good\"=\"y\"\n"
      "[HKEY_LOCAL_MACHINE\\C\n",
      &problems);
  EXPECT_EQ(problems.size(), 6u);  // every line but the key A
  EXPECT_TRUE(reg.KeyExists(RegistryRoot::LocalMachine, "A"));
  EXPECT_EQ(reg.ReadDword(RegistryRoot::LocalMachine, "A", "Bad"), std::nullopt);
  EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, "B", "Good"), std::nullopt);
}

TEST(Registry, MissingFileIsEmptyWithAProblem) {
  fake::TempTree tree;
  std::vector<std::string> problems;
  const auto reg = RegistryStore::Load(tree / "none.reg", &problems);
  EXPECT_FALSE(reg.KeyExists(RegistryRoot::LocalMachine, "SOFTWARE"));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("none.reg"), std::string::npos);
}

TEST(Registry, ReadsUtf16ExportAndTheNamedFile) {
  fake::TempTree tree;
  const std::u16string text = u"\uFEFF[HKEY_CURRENT_USER\\X]\r\n\"N\"=\"Ö\"\r\n";
  std::string bytes;
  for (char16_t c : text) bytes.push_back(static_cast<char>(c & 0xFF)), bytes.push_back(static_cast<char>(c >> 8));
  const auto file = tree.Write("r.reg", bytes);
  fake::ScopedEnv env("MOLNIX_REGISTRY", file.string());
  InstallRegistry(nullptr);
  EXPECT_EQ(Registry().ReadString(RegistryRoot::CurrentUser, "X", "N"), "Ö");
  InstallRegistry(nullptr);
}

}  // namespace
}  // namespace platform
