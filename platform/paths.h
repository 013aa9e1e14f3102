#pragma once
// Paths. Folder names that came from Windows may end in '\', so both
// separators end a folder; names inside company and program folders are found
// without regard to case, since a folder copied from Windows may hold
// "prm.dbf" where "PRM.DBF" is asked for.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

bool IsPathSeparator(char c);  // '/' or '\'
bool EndsWithSeparator(std::string_view path);

// folder + name with one separator between them (none added when the folder
// already ends with one; the name alone when the folder is empty).
std::string JoinPath(std::string_view folder, std::string_view name);

// The entry `name` inside `folder`: the exact name when it exists, else the
// first entry whose name equals it without regard to case; nullopt when none.
std::optional<std::filesystem::path> FindEntryNoCase(const std::filesystem::path& folder, std::string_view name);

// FindEntryNoCase for each part of a relative name ("Data/PRM.DBF"); when an
// entry is missing, the path as it would be spelled (JoinPath of the parts).
std::string ResolveNoCase(std::string_view folder, std::string_view relativeName);

bool PathExists(const std::filesystem::path& path);  // anything at the path; never throws
bool IsFolder(const std::filesystem::path& path);    // never throws

// Creates one folder level; true when it exists afterwards.
bool CreateFolder(const std::filesystem::path& path);

// The entries of a folder (names only); empty when it cannot be read. Never throws.
std::vector<std::string> ListFolder(const std::filesystem::path& folder);

}  // namespace platform
