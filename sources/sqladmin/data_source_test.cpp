#include "sources/sqladmin/data_source.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/text.h"

#include "platform/fake/fixed_network_shares.h"
#include "platform/fake/scoped_environment.h"

namespace {

using platform::fake::TempTree;

TEST(ReadDataSourceIni, ReadsTheSectionAndDropsOneLeadingColonOfTheServer) {
  TempTree tree;
  tree.Write("ftg/ftg.ini",
             "[DataSource]\nDisplayName=Åkeri AB\nDisplayVariant=1\nDisplayVersion=6.2\n"
             "DBInstance=::SERVER\\INST\nDBName=COMPANY1\nAuth=KOLMON\n");
  DataSourceInfo info;
  ASSERT_TRUE(ReadDataSourceIni(info, (tree / "ftg").string()));
  EXPECT_EQ(info, (DataSourceInfo{"Åkeri AB", "1", "6.2", ":SERVER\\INST", "COMPANY1", "", "", "KOLMON"}));
}

TEST(ReadDataSourceIni, NeedsADisplayNameOrADatabaseName) {
  TempTree tree;
  tree.Write("dbonly/FTG.INI", "[DataSource]\nDBName=C1\n");  // a name copied from Windows in capitals
  tree.Write("neither/ftg.ini", "[DataSource]\nDisplayVariant=1\nDBInstance=x\n");
  tree.MakeFolder("nofile");

  DataSourceInfo info;
  EXPECT_TRUE(ReadDataSourceIni(info, (tree / "dbonly").string()));
  EXPECT_EQ(info.databaseName, "C1");
  EXPECT_EQ(info.displayName, "");
  EXPECT_FALSE(ReadDataSourceIni(info, (tree / "neither").string()));
  EXPECT_FALSE(ReadDataSourceIni(info, (tree / "nofile").string()));

  DataSourceInfo untouched;
  untouched.displayName = "kept";
  EXPECT_FALSE(ReadDataSourceIni(untouched, ""));
  EXPECT_EQ(untouched.displayName, "kept");
}

TEST(ResolveSqlServerName, NamesTheFileServerOfAShareOfAnotherComputerForALocalServer) {
  platform::fake::FixedNetworkShares shares("ThisPc");
  shares.AddShare("/mnt/fs/", "FS");
  shares.AddShare("/mnt/own/", "THISPC");
  platform::ScopedNetworkShares useShares(shares);
  const struct {
    const char* folder;
    const char* server;
    const char* expected;
  } cases[] = {
      {"/mnt/fs/ftg1", "(local)", "FS"},
      {"/mnt/fs/ftg1", "(LOCAL)\\SQLEXPRESS", "FS\\SQLEXPRESS"},
      {"/mnt/fs/ftg1", "(local)x", "(local)x"},
      {"/mnt/fs/ftg1", "SQLHOST\\INST", "SQLHOST\\INST"},
      {"/mnt/own/ftg1", "(local)", "(local)"},
      {"/home/user/ftg1", "(local)\\SQLEXPRESS", "(local)\\SQLEXPRESS"},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveSqlServerName(c.folder, c.server), c.expected) << c.folder << " " << c.server;

  // Without this computer's name the share counts as another computer's.
  platform::fake::FixedNetworkShares nameless(std::nullopt);
  nameless.AddShare("/mnt/own/", "THISPC");
  platform::ScopedNetworkShares useNameless(nameless);
  EXPECT_EQ(ResolveSqlServerName("/mnt/own/ftg1", "(local)"), "THISPC");
}

TEST(ReadDataSourceIni, ResolvesTheServerOfACompanyOnAShare) {
  TempTree tree;
  tree.Write("ftg/ftg.ini", "[DataSource]\nDBName=C1\nDBInstance=:(local)\\SQLEXPRESS\n");
  platform::fake::FixedNetworkShares shares("ThisPc");
  shares.AddShare((tree / "ftg").string(), "FS");
  platform::ScopedNetworkShares useShares(shares);
  DataSourceInfo info;
  ASSERT_TRUE(ReadDataSourceIni(info, (tree / "ftg").string()));
  EXPECT_EQ(info.server, "FS\\SQLEXPRESS");
}

TEST(SanitizeConnectionValue, ReplacesSeparatorsAndCutsAt128Characters) {
  EXPECT_EQ(SanitizeConnectionValue("a;b'c;"), "a_b_c_");
  EXPECT_EQ(SanitizeConnectionValue(std::string(200, 'x')), std::string(128, 'x'));
  EXPECT_EQ(SanitizeConnectionValue(std::string(128, 'y')), std::string(128, 'y'));
  // Characters, not bytes: a Swedish letter is never cut in half.
  std::string swedish;
  for (int i = 0; i < 129; ++i) swedish += "å";
  EXPECT_EQ(platform::Utf8Length(SanitizeConnectionValue(swedish)), 128u);
}

TEST(RemoveWhitespace, RemovesTabsLineBreaksAndSpacesAnywhere) {
  EXPECT_EQ(RemoveWhitespaceW(L" 55\t66-12\r\n 34 "), L"5566-1234");
  EXPECT_EQ(RemoveWhitespace(" SE12 3456\n"), "SE123456");
}

TEST(StrToIntOrZero, ReadsTheLeadingIntegerAndGivesZeroForAnythingElse) {
  const struct {
    const char* text;
    int expected;
  } cases[] = {{"", 0}, {"abc", 0}, {"  42", 42}, {"-7x", -7}, {"99999999999", 0}, {"12ab", 12}};
  for (const auto& c : cases) EXPECT_EQ(StrToIntOrZero(c.text), c.expected) << c.text;
}

TEST(StrToDoubleOrZero, ReadsTheLeadingNumberAndGivesZeroForAnythingElse) {
  const struct {
    const char* text;
    double expected;
  } cases[] = {
      {"2019.1", 2019.1}, {"  6.5", 6.5}, {"12ab", 12.0}, {"-3.25", -3.25}, {"+4", 4.0},
      {"", 0.0},          {"abc", 0.0},   {"+-1", 0.0},   {"1e999", 0.0},  {"6,5", 6.0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(StrToDoubleOrZero(c.text), c.expected) << c.text;
}

}  // namespace
