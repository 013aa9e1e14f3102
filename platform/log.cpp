#include "platform/log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>

namespace platform {
namespace {

std::mutex g_logMutex;
bool g_logEnabled = false;
std::string g_logFolder;

bool IsOwnPrivateFolder(const std::filesystem::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

bool MakeOwnFolder(const std::filesystem::path& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  return IsOwnPrivateFolder(path);
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

}  // namespace platform

void WriteLog(std::string text) {
  std::string folder;
  {
    std::lock_guard lock(platform::g_logMutex);
    if (!platform::g_logEnabled) return;
    folder = platform::g_logFolder;
  }
  const std::string path = (std::filesystem::path(folder) / platform::kLogFileName).string();
  // Never follow a link planted at the file's name.
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return;
  std::string line = platform::FormatLogLine(platform::CurrentClock().Now(), text);
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
