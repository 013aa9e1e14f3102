#pragma once
// Starting another program and waiting for it to end, with what the kernel
// accounted to it.
#include <optional>
#include <string>
#include <vector>

namespace platform {

// A program that has ended.
struct EndedProcess {
  int exitCode = -1;       // -1 when a signal ended it
  double cpuSeconds = 0;   // user and system time of the program alone
  long peakKilobytes = 0;  // its largest resident set (see StartSmallLauncher)
  double wallSeconds = 0;  // from the start to the end
  bool Succeeded() const { return exitCode == 0; }
};

struct ProcessOptions {
  std::string outputFile;                // its standard output goes here when named, else where ours goes
  std::vector<std::string> environment;  // "NAME=value", set for it over our environment
};

// Runs `program` (looked up in PATH when it holds no "/") with `arguments`,
// started directly (no shell), and waits for it to end. Nothing when it could
// not be started.
std::optional<EndedProcess> RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                                       const ProcessOptions& options = {});

// The kernel counts a started program's peak memory from the memory of the
// process that started it, as that was when the program replaced it: started
// from a large process, a small program shows the large one's peak. Called
// while this process is still small (first thing in main), this forks a small
// process that starts every program RunProcess runs from then on, so that
// their peaks are their own.
void StartSmallLauncher();

// The file this process was started from.
std::string OwnExecutable();

}  // namespace platform
