#include "app/sources/desktop_services.h"

#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "platform/fake/scoped_environment.h"

namespace {
namespace fs = std::filesystem;
using platform::fake::ScopedEnv;
using platform::fake::TempTree;

TEST(CreateExportTempFolder, MakesANewEmptyFolderEachCall) {
  TempTree tree;
  ScopedEnv tmp("TMPDIR", tree.root().string());
  std::set<std::string> made;
  for (int i = 0; i < 3; ++i) {
    const std::string folder = CreateExportTempFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(fs::path(folder).parent_path(), tree.root());
    EXPECT_EQ(fs::path(folder).filename().string().substr(0, 3), "mli");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_empty(folder));
    made.insert(folder);
  }
  EXPECT_EQ(made.size(), 3u);
}

TEST(CreateExportTempFolder, ReportsFailureWithTheEmptyText) {
  // /proc is a folder in which nobody, root included, can make one.
  ScopedEnv tmp("TMPDIR", "/proc");
  EXPECT_EQ(CreateExportTempFolder(), "");
}

TEST(GetHelpPagePath, OnePagePerEdition) {
  EXPECT_EQ(GetHelpPagePath(200),
            "/tessal-administration-200/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm");
  EXPECT_EQ(GetHelpPagePath(2000),
            "/tessal-administration-2000/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm");
  EXPECT_EQ(GetHelpPagePath(400), "/tessal-fakturering/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm");
  EXPECT_EQ(GetHelpPagePath(800), "/tessal-forening/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm");
  EXPECT_EQ(GetHelpPagePath(750), "");
  EXPECT_EQ(GetHelpPagePath(0), "");
}

}  // namespace
