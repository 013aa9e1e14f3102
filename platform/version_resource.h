#pragma once
// The version resource of a Windows program file (PE format), read from the
// file itself, so a program folder copied from Windows reads as it would there.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The text of the entry `name` (for example "ProductVersion") in the string
// table of the language and code page that the first entry of the resource's
// translation table names (both 0 when that table is empty), as UTF-8.
// nullopt when the file cannot be read or is no PE file, when it has no version
// resource, no translation table or no fixed file information, and when the
// entry is missing or empty. Damaged files are read safely: nothing outside the
// file is touched and a bad offset gives nullopt.
std::optional<std::string> ReadVersionString(const std::filesystem::path& file, std::string_view name);

}  // namespace platform
