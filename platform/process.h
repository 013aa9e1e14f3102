#pragma once
// Starting another program and waiting for it to end, with what the kernel
// accounted to it.
#include <optional>
#include <string>
#include <vector>

namespace platform {

// A program that has ended.
struct EndedProcess {
  int exitCode = -1;          // -1 when a signal ended it
  double cpuSeconds = 0;      // user and system time of the program alone
  long peakKilobytes = 0;     // its largest resident set
  double wallSeconds = 0;     // from the start to the end
  bool Succeeded() const { return exitCode == 0; }
};

// Runs `program` (looked up in PATH when it holds no "/") with `arguments`,
// started directly (no shell), and waits for it to end. Its standard output
// goes to `outputFile` when one is named, else where ours goes. Nothing when
// it could not be started.
std::optional<EndedProcess> RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                                       const std::string& outputFile = {});

// The file this process was started from.
std::string OwnExecutable();

}  // namespace platform
