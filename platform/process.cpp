#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string_view>

extern char** environ;

namespace platform {
namespace {

double Seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

// Pointers to the texts, ended by nullptr, as exec takes them.
std::vector<char*> TextPointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Our environment with `overrides` ("NAME=value") put over it.
std::vector<std::string> Environment(const std::vector<std::string>& overrides) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry; ++entry) {
    const std::string_view text = *entry;
    const std::string_view name = text.substr(0, text.find('=') + 1);
    const bool overridden = std::any_of(overrides.begin(), overrides.end(),
                                        [&](const std::string& o) { return o.rfind(name, 0) == 0; });
    if (!overridden) entries.emplace_back(text);
  }
  entries.insert(entries.end(), overrides.begin(), overrides.end());
  return entries;
}

// `environment` is the program's whole environment.
std::optional<EndedProcess> SpawnAndWait(std::vector<std::string> commandLine, const std::string& outputFile,
                                         std::vector<std::string> environment) {
  const std::vector<char*> argv = TextPointers(commandLine);
  const std::vector<char*> envp = TextPointers(environment);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!outputFile.empty())
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
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

// The launcher's end of a stream socket: a request is the command line, the
// output file (one text) and the whole environment, each a count of texts and
// each text as its length and bytes; the answer is a flag and an EndedProcess.
bool SendAll(int fd, const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t sent = ::send(fd, bytes, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

bool ReceiveAll(int fd, void* data, std::size_t size) {
  char* bytes = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t got = ::recv(fd, bytes, size, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

bool SendTexts(int fd, const std::vector<std::string>& texts) {
  const auto count = static_cast<std::uint32_t>(texts.size());
  if (!SendAll(fd, &count, sizeof count)) return false;
  for (const std::string& text : texts) {
    const auto size = static_cast<std::uint32_t>(text.size());
    if (!SendAll(fd, &size, sizeof size) || !SendAll(fd, text.data(), text.size())) return false;
  }
  return true;
}

std::optional<std::vector<std::string>> ReceiveTexts(int fd) {
  std::uint32_t count = 0;
  if (!ReceiveAll(fd, &count, sizeof count)) return std::nullopt;
  std::vector<std::string> texts(count);
  for (std::string& text : texts) {
    std::uint32_t size = 0;
    if (!ReceiveAll(fd, &size, sizeof size)) return std::nullopt;
    text.resize(size);
    if (!ReceiveAll(fd, text.data(), size)) return std::nullopt;
  }
  return texts;
}

// Our end of the launcher's socket; -1 while there is no launcher.
int g_launcher = -1;
std::mutex g_launcherUse;

// The launcher: runs each request until our end is closed (this process ends).
[[noreturn]] void ServeRequests(int fd) {
  while (auto commandLine = ReceiveTexts(fd)) {
    const auto outputFile = ReceiveTexts(fd);
    auto environment = ReceiveTexts(fd);
    if (commandLine->empty() || !outputFile || outputFile->size() != 1 || !environment) break;
    const auto ended = SpawnAndWait(*commandLine, outputFile->front(), *environment);
    const char started = ended ? 1 : 0;
    const EndedProcess answer = ended.value_or(EndedProcess{});
    if (!SendAll(fd, &started, sizeof started) || !SendAll(fd, &answer, sizeof answer)) break;
  }
  ::_exit(0);
}

}  // namespace

std::optional<EndedProcess> RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                                       const ProcessOptions& options) {
  std::vector<std::string> commandLine{program};
  commandLine.insert(commandLine.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environment = Environment(options.environment);
  const std::lock_guard<std::mutex> use(g_launcherUse);
  if (g_launcher < 0) return SpawnAndWait(commandLine, options.outputFile, environment);
  char started = 0;
  EndedProcess ended;
  if (!SendTexts(g_launcher, commandLine) || !SendTexts(g_launcher, {options.outputFile}) ||
      !SendTexts(g_launcher, environment) || !ReceiveAll(g_launcher, &started, sizeof started) ||
      !ReceiveAll(g_launcher, &ended, sizeof ended) || !started)
    return std::nullopt;
  return ended;
}

void StartSmallLauncher() {
  const std::lock_guard<std::mutex> use(g_launcherUse);
  if (g_launcher >= 0) return;
  int ends[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
  const pid_t launcher = ::fork();
  if (launcher == 0) {
    ::close(ends[0]);
    ServeRequests(ends[1]);
  }
  ::close(ends[1]);
  if (launcher < 0) {
    ::close(ends[0]);
    return;
  }
  g_launcher = ends[0];
}

std::string OwnExecutable() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

}  // namespace platform
