#include "platform/folders.h"

#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <vector>

namespace platform {
namespace fs = std::filesystem;

namespace {
constexpr const char* kProgramFolder = "tessal-molnix-converter";

std::optional<fs::path> NonEmptyEnv(const char* name) {
  auto value = GetEnvironment(name);
  if (!value || value->empty()) return std::nullopt;
  return fs::path(*value);
}

// The XDG rules ignore a relative path in their variables.
std::optional<fs::path> XdgEnv(const char* name) {
  auto value = NonEmptyEnv(name);
  if (!value || !value->is_absolute()) return std::nullopt;
  return value;
}

fs::path XdgFolder(const char* override, const char* xdg, const char* homeRelative) {
  if (auto o = NonEmptyEnv(override)) return *o;
  if (auto x = XdgEnv(xdg)) return *x / kProgramFolder;
  if (auto home = HomeFolder()) return *home / homeRelative / kProgramFolder;
  return TempFolder() / (std::string(kProgramFolder) + "-" + std::to_string(::getuid()));
}
}  // namespace

std::optional<std::string> GetEnvironment(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

fs::path TempFolder() {
  std::error_code ec;
  fs::path temp = fs::temp_directory_path(ec);
  if (ec || temp.empty()) return "/tmp";
  return temp;
}

std::optional<fs::path> HomeFolder() {
  if (auto home = NonEmptyEnv("HOME")) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* result = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result && result->pw_dir &&
      result->pw_dir[0] != '\0') {
    return fs::path(result->pw_dir);
  }
  return std::nullopt;
}

fs::path UserConfigFolder() { return XdgFolder("MOLNIX_CONFIG_HOME", "XDG_CONFIG_HOME", ".config"); }
fs::path UserDataFolder() { return XdgFolder("MOLNIX_DATA_HOME", "XDG_DATA_HOME", ".local/share"); }

std::optional<fs::path> CommonAppDataFolder() {
  std::optional<fs::path> folder = NonEmptyEnv("MOLNIX_COMMON_APPDATA");
  if (!folder) folder = XdgEnv("XDG_DATA_HOME");
  if (!folder) {
    if (auto home = HomeFolder()) folder = *home / ".local/share";
  }
  if (!folder) return std::nullopt;
  // Windows always has this folder; a fresh Linux account may not have it yet.
  std::error_code ec;
  fs::create_directories(*folder, ec);
  if (!fs::is_directory(*folder, ec)) return std::nullopt;
  return folder;
}

std::optional<fs::path> MakeUniqueFolder(const fs::path& parent, std::string_view prefix) {
  std::string pattern = (parent / (std::string(prefix) + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) return std::nullopt;
  return fs::path(pattern);
}

}  // namespace platform
