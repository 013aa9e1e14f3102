#include "platform/process.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/fake/scoped_environment.h"
#include "platform/files.h"

namespace platform {
namespace {

// The figures are the program's own: a program that fills 64 MB and computes
// a while shows them, one that does nothing stays far below.
TEST(RunProcess, GivesTheProgramsEndAndWhatItAloneUsed) {
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
  EXPECT_LT(idle->peakKilobytes, 32 * 1024);
}

TEST(RunProcess, HandsEachArgumentWholeAndCanSendTheOutputToAFile) {
  fake::TempTree tree;
  const std::string output = (tree / "out.txt").string();
  const auto ended = RunProcess("printf", {"%s|", "a b", "'c'", "$HOME", ""}, output);
  ASSERT_TRUE(ended);
  EXPECT_TRUE(ended->Succeeded());
  EXPECT_EQ(ReadWholeFile(output), "a b|'c'|$HOME||");
}

TEST(RunProcess, SaysWhenTheProgramDidNotStartOrASignalEndedIt) {
  EXPECT_FALSE(RunProcess("/nonexistent/program", {}));
  EXPECT_FALSE(RunProcess("no-such-program-on-the-path", {}));
  const auto killed = RunProcess("sh", {"-c", "kill -KILL $$"});
  ASSERT_TRUE(killed);
  EXPECT_EQ(killed->exitCode, -1);
}

TEST(OwnExecutable, IsTheRunningTestProgram) {
  EXPECT_EQ(std::filesystem::path(OwnExecutable()).filename(), "platform_tests");
}

}  // namespace
}  // namespace platform
