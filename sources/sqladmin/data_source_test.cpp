#include "sources/sqladmin/data_source.h"

#include <gtest/gtest.h>

#include <limits>

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
