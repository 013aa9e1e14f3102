#include "platform/log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>

namespace platform {
namespace {

std::mutex g_logMutex;
bool g_logEnabled = false;
std::string g_logFolder;

// Makes `path` one folder level (mode 0700), or takes the folder already there
// when it is ours and no link; one of ours that others may enter is closed to them.
bool MakeOwnFolder(const std::filesystem::path& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  const bool own = ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() &&
                   ((st.st_mode & 077) == 0 || ::fchmod(fd, 0700) == 0);
  ::close(fd);
  return own;
}

}  // namespace

void ConfigureLog(bool enabled, std::string folder) {
  std::lock_guard lock(g_logMutex);
  g_logEnabled = enabled;
  g_logFolder = enabled ? std::move(folder) : std::string();
}

bool LogEnabled() {
  std::lock_guard lock(g_logMutex);
  return g_logEnabled;
}

std::string LogFolder() {
  std::lock_guard lock(g_logMutex);
  return g_logFolder;
}

std::string FormatLogLine(const LocalDateTime& t, std::string_view text) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  std::string line(stamp);
  line.append(text);
  return line;
}

std::optional<std::filesystem::path> PrepareLogFolder(const std::filesystem::path& tempFolder) {
  const auto shared = tempFolder / "MolnixConverter";
  if (MakeOwnFolder(shared)) return shared;
  const auto personal = tempFolder / ("MolnixConverter-" + std::to_string(::geteuid()));
  if (MakeOwnFolder(personal)) return personal;
  return std::nullopt;
}

void AppendLogLine(const std::string& folder, const char* fileName, std::string_view text) {
  if (folder.empty()) return;
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (dir < 0) return;
  const int fd = ::openat(dir, fileName, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
  ::close(dir);
  if (fd < 0) return;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return;
  }
  std::string line = FormatLogLine(CurrentClock().Now(), text);
  line.push_back('\n');
  const char* data = line.data();
  std::size_t left = line.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written <= 0) break;
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  ::close(fd);
}

}  // namespace platform

void WriteLog(std::string text) {
  std::string folder;
  {
    std::lock_guard lock(platform::g_logMutex);
    if (!platform::g_logEnabled) return;
    folder = platform::g_logFolder;
  }
  // Empty when logging is on but no folder could be had.
  platform::AppendLogLine(folder, platform::kLogFileName, text);
}

