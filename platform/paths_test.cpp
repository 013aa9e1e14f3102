#include "platform/paths.h"

#include <gtest/gtest.h>

#include "platform/fake/scoped_environment.h"

namespace platform {
namespace {

TEST(Paths, JoinPutsOneSeparator) {
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("C:\\A\\", "b"), "C:\\A\\b");
  EXPECT_EQ(JoinPath("", "b"), "b");
}

TEST(Paths, FindsNamesWithoutRegardToCase) {
  fake::TempTree tree;
  tree.Write("Företag/prm.dbf", "x");
  tree.Write("Företag/Kund.DBF", "x");
  const std::string folder = (tree / "FÖRETAG").string();
  EXPECT_EQ(FindEntryNoCase(tree / "Företag", "PRM.DBF"), tree / "Företag" / "prm.dbf");
  EXPECT_EQ(FindEntryNoCase(tree / "Företag", "none.dbf"), std::nullopt);
  EXPECT_EQ(ResolveNoCase(tree.root().string(), "företag/KUND.dbf"), (tree / "Företag" / "Kund.DBF").string());
  EXPECT_EQ(ResolveNoCase(tree.root().string() + "/", "företag/NONE.DBF"),
            (tree / "Företag" / "NONE.DBF").string());
  EXPECT_EQ(ListFolder(tree / "missing"), std::vector<std::string>{});
}

}  // namespace
}  // namespace platform
