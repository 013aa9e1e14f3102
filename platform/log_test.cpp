#include "platform/log.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/fake/fixed_clock.h"
#include "platform/fake/scoped_environment.h"
#include "platform/files.h"

namespace platform {
namespace {

TEST(Log, LineFormat) {
  EXPECT_EQ(FormatLogLine({2024, 3, 2, 9, 5, 3}, "Hej"), "2024-03-02 09:05:03 Hej");
  EXPECT_EQ(FormatLogLine({2024, 12, 31, 23, 59, 59}, ""), "2024-12-31 23:59:59 ");
}

TEST(Log, AppendsOnlyWhenOn) {
  fake::TempTree tree;
  fake::FixedClock clock({2024, 3, 2, 9, 5, 3});
  ScopedClock useClock(clock);
  const auto folder = PrepareLogFolder(tree.root());
  ASSERT_TRUE(folder);
  ConfigureLog(false, folder->string());
  WriteLog("not written");
  ConfigureLog(true, folder->string());
  WriteLog("första");
  WriteLog("two\nlines");
  ConfigureLog(false, "");
  EXPECT_EQ(ReadWholeFile(*folder / kLogFileName), "2024-03-02 09:05:03 första\n2024-03-02 09:05:03 two\nlines\n");
}

TEST(Log, OwnFolderOpenToOthersIsMadePrivate) {
  fake::TempTree tree;
  const auto shared = tree.MakeFolder("MolnixConverter");
  std::filesystem::permissions(shared, std::filesystem::perms::all);
  ASSERT_EQ(PrepareLogFolder(tree.root()), shared);
  EXPECT_EQ(std::filesystem::status(shared).permissions(), std::filesystem::perms::owner_all);
}

TEST(Log, PlantedLinkIsNotFollowed) {
  fake::TempTree tree;
  const auto target = tree.MakeFolder("elsewhere");
  std::filesystem::create_directory_symlink(target, tree / "MolnixConverter");
  const auto folder = PrepareLogFolder(tree.root());
  ASSERT_TRUE(folder);
  EXPECT_NE(*folder, tree / "MolnixConverter");
  // A link planted at the file's own name is refused too.
  const auto victim = tree.Write("victim.txt", "keep");
  std::filesystem::create_symlink(victim, *folder / kLogFileName);
  ConfigureLog(true, folder->string());
  WriteLog("attack");
  ConfigureLog(false, "");
  EXPECT_EQ(ReadWholeFile(victim), "keep");
}

}  // namespace
}  // namespace platform
