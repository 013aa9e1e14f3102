#include "platform/process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/fake/scoped_environment.h"
#include "platform/files.h"

namespace platform {
namespace {

// Every case is run with programs started directly and through the small launcher.
class RunProcessTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) StartSmallLauncher();
  }
};
INSTANTIATE_TEST_SUITE_P(StartedBy, RunProcessTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Launcher" : "Us"; });

// The figures are the program's own: a program that fills 64 MB and computes
// a while shows them, one that does nothing stays far below.
TEST_P(RunProcessTest, GivesTheProgramsEndAndWhatItAloneUsed) {
  const auto busy = RunProcess(
      "python3", {"-c", "import sys\nb = b'x' * (64 << 20)\nsum(range(2_000_000))\nsys.exit(3)"});
  ASSERT_TRUE(busy);
  EXPECT_EQ(busy->exitCode, 3);
  EXPECT_FALSE(busy->Succeeded());
  EXPECT_GE(busy->peakKilobytes, 64 * 1024);
  EXPECT_GT(busy->cpuSeconds, 0);
  EXPECT_GE(busy->wallSeconds, busy->cpuSeconds / 2);

  const auto idle = RunProcess("true", {});
  ASSERT_TRUE(idle);
  EXPECT_TRUE(idle->Succeeded());
  EXPECT_LT(idle->peakKilobytes, 64 * 1024);
}

TEST_P(RunProcessTest, HandsEachArgumentWholeWithTheEnvironmentAndCanSendTheOutputToAFile) {
  fake::TempTree tree;
  const std::string output = (tree / "out.txt").string();
  const auto ended = RunProcess("printf", {"%s|", "a b", "'c'", "$HOME", ""}, {.outputFile = output});
  ASSERT_TRUE(ended);
  EXPECT_TRUE(ended->Succeeded());
  EXPECT_EQ(ReadWholeFile(output), "a b|'c'|$HOME||");

  fake::ScopedEnv kept("PROCESS_TEST_KEPT", "ours"), replaced("PROCESS_TEST_REPLACED", "ours");
  ASSERT_TRUE(RunProcess("sh", {"-c", "printf '%s|' \"$PROCESS_TEST_KEPT\" \"$PROCESS_TEST_REPLACED\" \"$PROCESS_TEST_ADDED\""},
                         {output, {"PROCESS_TEST_REPLACED=its", "PROCESS_TEST_ADDED=new"}}));
  EXPECT_EQ(ReadWholeFile(output), "ours|its|new|");
}

TEST_P(RunProcessTest, SaysWhenTheProgramDidNotStartOrASignalEndedIt) {
  EXPECT_FALSE(RunProcess("/nonexistent/program", {}));
  EXPECT_FALSE(RunProcess("no-such-program-on-the-path", {}));
  const auto killed = RunProcess("sh", {"-c", "kill -KILL $$"});
  ASSERT_TRUE(killed);
  EXPECT_EQ(killed->exitCode, -1);
}

// Started from the launcher, a program's peak is not this process's, however large it grew.
TEST(StartSmallLauncher, AProgramsPeakIsItsOwnThoughOursIsLarge) {
  StartSmallLauncher();
  std::vector<char> large(256 << 20, 'x');
  const auto idle = RunProcess("true", {});
  ASSERT_TRUE(idle);
  EXPECT_LT(idle->peakKilobytes, 128 * 1024);
  EXPECT_EQ(large.back(), 'x');
}

TEST(OwnExecutable, IsTheRunningTestProgram) {
  EXPECT_EQ(std::filesystem::path(OwnExecutable()).filename(), "platform_tests");
}

}  // namespace
}  // namespace platform
