#include "platform/termination.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>


namespace platform {
namespace {

int g_cleanupPipe = -1;

void WriteCleanedUp() { (void)!write(g_cleanupPipe, "x", 1); }

TEST(TerminationSignals, RunTheCleanUpThenEndTheProcessAsTheSignalWould) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    int ready[2], cleaned[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(cleaned), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      g_cleanupPipe = cleaned[1];
      CleanUpOnTerminationSignals(WriteCleanedUp);
      // A thread started afterwards does not take the signal away from the waiting one.
      std::thread([] { pause(); }).detach();
      (void)!write(ready[1], "r", 1);
      for (;;) pause();
    }
    close(ready[1]);
    close(cleaned[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    kill(child, signal);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
    EXPECT_EQ(read(cleaned[0], &byte, 1), 1) << "the clean-up did not run for signal " << signal;
    close(ready[0]);
    close(cleaned[0]);
  }
}

}  // namespace
}  // namespace platform
