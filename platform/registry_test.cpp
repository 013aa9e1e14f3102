#include "platform/registry.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/fake/scoped_environment.h"

namespace platform {
namespace {

constexpr const char* kAppPaths = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths)";

const char* const kSample = R"(Windows Registry Editor Version 5.00

; a comment
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\MolnixConverter.exe]
"InifilePath"="C:\\Gammal"
"Timeout"=dword:0000001e
"Quoted"="say \"hej\""
"inifilepath"="C:\\Program Files\\Tessal\\"
"Removed"="x"
"Removed"=-
"Expand"=hex(2):d6,00,2f,00,\
  78,00,00,00

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\KolmAdm.exe]

[HKEY_CURRENT_USER\Software\Tessal Kolm\Tessal Vardo]
"Database"="/srv/vardo/Företag"
)";

TEST(Registry, ReadsValuesWithoutRegardToCase) {
  std::vector<std::string> problems;
  const auto reg = RegistryStore::Parse(kSample, &problems);
  EXPECT_TRUE(problems.empty());
  const std::string key = std::string(kAppPaths) + "\\MOLNIXCONVERTER.EXE";
  // Lines take effect in order, as when the file is imported: the last value wins, "=-" removes one.
  EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, key, "INIFILEPATH"), R"(C:\Program Files\Tessal\)");
  EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, key, "Removed"), std::nullopt);
  EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, key, "Expand"), "Ö/x");  // hex(2), over two lines
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
      "[HKEY_LOCAL_MACHINE\\C\n\"Bin\"=hex:01,02,\\\n  03,04\n",
      &problems);
  EXPECT_EQ(problems.size(), 7u);  // every line but the key A, and the binary value once
  EXPECT_TRUE(reg.KeyExists(RegistryRoot::LocalMachine, "A"));
  EXPECT_EQ(reg.ReadDword(RegistryRoot::LocalMachine, "A", "Bad"), std::nullopt);
  EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, "B", "Good"), std::nullopt);
}

TEST(Registry, UnreadableFileIsEmptyWithAProblem) {
  fake::TempTree tree;
  const auto folder = tree.MakeFolder("folder.reg");
  const auto fifo = tree / "fifo.reg";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const auto& file : {tree / "none.reg", folder, fifo}) {  // a pipe would wait for a writer forever
    std::vector<std::string> problems;
    const auto reg = RegistryStore::Load(file, &problems);
    EXPECT_FALSE(reg.KeyExists(RegistryRoot::LocalMachine, "SOFTWARE"));
    ASSERT_EQ(problems.size(), 1u) << file;
    EXPECT_NE(problems[0].find(file.filename().string()), std::string::npos);
  }
}

TEST(Registry, ProblemsOfABinaryFileAreCounted) {
  std::string junk;
  for (int i = 0; i < 5000; ++i) junk += "\x01\xFF[\x80\n";
  std::vector<std::string> problems;
  RegistryStore::Parse(junk, &problems);
  ASSERT_EQ(problems.size(), 21u);  // twenty described, then how many more
  EXPECT_EQ(problems.back(), "4980 more lines not understood");
}

TEST(Registry, ReadsUtf16ExportAndTheNamedFile) {
  fake::TempTree tree;
  using namespace std::literals;
  // A value with a NUL in it reads as a Windows caller sees it, up to the NUL; a
  // lone surrogate becomes U+FFFD; an odd last byte is dropped.
  const std::u16string_view text =
      u"\uFEFF[HKEY_CURRENT_USER\\X]\r\n\"N\"=\"Ö\"\r\n\"Nul\"=\"före\0efter\"\r\n\"Lone\"=\"a\xD800" u"b\"\r\n"sv;
  std::string bytes;
  for (char16_t c : text) bytes.push_back(static_cast<char>(c & 0xFF)), bytes.push_back(static_cast<char>(c >> 8));
  bytes.push_back('[');
  const auto file = tree.Write("r.reg", bytes);
  fake::ScopedEnv env("MOLNIX_REGISTRY", file.string());
  InstallRegistry(nullptr);
  EXPECT_EQ(Registry().ReadString(RegistryRoot::CurrentUser, "X", "N"), "Ö");
  EXPECT_EQ(Registry().ReadString(RegistryRoot::CurrentUser, "X", "Nul"), "före");
  EXPECT_EQ(Registry().ReadString(RegistryRoot::CurrentUser, "X", "Lone"), "a\uFFFDb");
  EXPECT_TRUE(LastRegistryProblems().empty());
  InstallRegistry(nullptr);
}

}  // namespace
}  // namespace platform
