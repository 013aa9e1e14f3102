#include "platform/profile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/fake/scoped_environment.h"

namespace platform {
namespace {

TEST(Profile, FollowsTheWindowsRules) {
  const auto ini = ProfileFile::Parse(
      "; comment\r\n"
      "[SD]\r\n"
      "  BaseUrl =  https://sd.example/api  \r\n"
      "CountryCode=\"SE\"\r\n"
      "Single='x y'\r\n"
      "Half=\"open\r\n"
      "baseurl=second\r\n"
      "[sd]\r\n"
      "Later=not seen\r\n"
      "[MLX]\r\n"
      "Logg=2 days\r\n"
      "Neg=-5\r\n"
      "Word=abc\r\n"
      "Empty=\r\n"
      "EmptyQuotes=\"\"\r\n");
  struct Case {
    const char* section;
    const char* key;
    std::string expected;
  };
  const Case cases[] = {
      {"sd", "BASEURL", "https://sd.example/api"},  // names without regard to case, value trimmed, first wins
      {"SD", "CountryCode", "SE"},                  // one pair of quotes removed
      {"SD", "Single", "x y"},
      {"SD", "Half", "\"open"},      // unmatched quote kept
      {"SD", "Later", "default"},    // a repeated section is not seen
      {"SD", "Missing", "default"},  // default when missing
      {"Nowhere", "BaseUrl", "default"},
  };
  for (const auto& c : cases) EXPECT_EQ(ini.GetString(c.section, c.key, "default"), c.expected) << c.key;
  EXPECT_EQ(ini.GetInt("MLX", "Logg", 1), 2);
  EXPECT_EQ(ini.GetInt("MLX", "Neg", 1), -5);
  EXPECT_EQ(ini.GetInt("MLX", "Word", 1), 0);
  EXPECT_EQ(ini.GetInt("MLX", "Missing", 1), 1);
  EXPECT_EQ(ini.GetInt("MLX", "Empty", 1), 1);  // an empty value is no number: the default
  EXPECT_EQ(ini.GetInt("MLX", "EmptyQuotes", 1), 1);
  EXPECT_EQ(ini.GetString("MLX", "Empty", "default"), "");
}

TEST(Profile, FileFormsReadUtf8OrWindows1252AndDefaultWhenMissing) {
  fake::TempTree tree;
  const auto utf8 = tree.Write("a.ini", "[Company]\nName=Åsa Öberg AB\n");
  const auto ansi = tree.Write("b.ini", "[Company]\nName=\xC5sa \xD6" "berg AB\n");
  EXPECT_EQ(GetProfileString(utf8, "Company", "Name", ""), "Åsa Öberg AB");
  EXPECT_EQ(GetProfileString(ansi, "Company", "Name", ""), "Åsa Öberg AB");
  EXPECT_EQ(GetProfileString(tree / "missing.ini", "Company", "Name", "SE"), "SE");
  EXPECT_EQ(GetProfileInt(tree / "missing.ini", "MLX", "Logg", 1), 1);
  const auto pipe = tree / "pipe.ini";  // waits for no writer
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(GetProfileInt(pipe, "MLX", "Logg", 1), 1);
}

TEST(Profile, LeadingInt) {
  const std::pair<const char*, int> cases[] = {
      {"30", 30}, {"  7x", 7}, {"-12", -12}, {"+4", 4}, {"", 0}, {"x1", 0}, {"99999999999", 2147483647}};
  for (const auto& [text, value] : cases) EXPECT_EQ(LeadingInt(text), value) << text;
}

}  // namespace
}  // namespace platform
