#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/fake/scoped_environment.h"

namespace {

namespace fs = std::filesystem;

// The content is replaced whole, in a file only the user can read, with no
// temporary left beside it; a file that cannot be written leaves the old one.
TEST(ReplaceFile, ReplacesWholeOrLeavesTheOldStanding) {
  platform::fake::TempTree tree;
  const fs::path file = tree / "data/uncertain.json";
  ASSERT_TRUE(platform::ReplaceFile(file, "första"));  // the folder is made
  ASSERT_TRUE(platform::ReplaceFile(file, "andra"));
  EXPECT_EQ(platform::ReadWholeFile(file), "andra");
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);

  // A folder in its place cannot be renamed over: the error is said and the folder stands.
  const fs::path blocked = tree.MakeFolder("blocked");
  tree.Write("blocked/inside", "x");
  std::string error;
  EXPECT_FALSE(platform::ReplaceFile(blocked, "ny", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(fs::is_directory(blocked));
  EXPECT_EQ(std::distance(fs::directory_iterator(tree.root()), fs::directory_iterator()), 2);
}

}  // namespace
