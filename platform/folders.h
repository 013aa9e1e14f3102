#pragma once
// Folders of the operating system: environment, temp, per-user data and
// configuration, and the stand-in for Windows' common application-data folder.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The value of an environment variable; nullopt when unset.
std::optional<std::string> GetEnvironment(std::string_view name);

// std::filesystem::temp_directory_path() (honours TMPDIR); "/tmp" when that fails.
std::filesystem::path TempFolder();

// The user's home: HOME, or the password database when HOME is empty; nullopt when neither knows.
std::optional<std::filesystem::path> HomeFolder();

// Per-user folders of this program (XDG rules), with MOLNIX_* overrides:
//   configuration: MOLNIX_CONFIG_HOME, else $XDG_CONFIG_HOME/tessal-molnix-converter, else ~/.config/...
//   data:          MOLNIX_DATA_HOME,   else $XDG_DATA_HOME/tessal-molnix-converter,   else ~/.local/share/...
// A relative XDG_* path is ignored, as the XDG rules say. Without any home they
// fall back to a folder under TempFolder() named after the user id.
std::filesystem::path UserConfigFolder();
std::filesystem::path UserDataFolder();

// Where Windows keeps application data for all users: MOLNIX_COMMON_APPDATA when set,
// otherwise the user's data home ($XDG_DATA_HOME or ~/.local/share); made when missing.
// nullopt when none can be named or made.
std::optional<std::filesystem::path> CommonAppDataFolder();

// A new, empty folder inside `parent`, made race-free (mkdtemp) with mode 0700.
// nullopt when it cannot be made.
std::optional<std::filesystem::path> MakeUniqueFolder(const std::filesystem::path& parent, std::string_view prefix);

}  // namespace platform
