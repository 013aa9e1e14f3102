#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

extern char** environ;

namespace platform {
namespace {

double Seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

}  // namespace

std::optional<EndedProcess> RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                                       const std::string& outputFile) {
  std::vector<std::string> texts{program};
  texts.insert(texts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!outputFile.empty())
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return std::nullopt;

  int status = 0;
  rusage usage{};
  pid_t waited = 0;
  do {
    waited = ::wait4(child, &status, 0, &usage);
  } while (waited < 0 && errno == EINTR);
  if (waited != child) return std::nullopt;
  EndedProcess ended;
  ended.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ended.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  ended.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  ended.peakKilobytes = usage.ru_maxrss;  // Linux counts it in kilobytes
  return ended;
}

std::string OwnExecutable() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

}  // namespace platform
