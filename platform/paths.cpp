#include "platform/paths.h"

#include <system_error>

#include "platform/text.h"

namespace platform {
namespace fs = std::filesystem;

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

bool EndsWithSeparator(std::string_view path) { return !path.empty() && IsPathSeparator(path.back()); }

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string out(folder);
  if (!EndsWithSeparator(folder)) out.push_back('/');
  out.append(name);
  return out;
}

std::optional<fs::path> FindEntryNoCase(const fs::path& folder, std::string_view name) {
  std::error_code ec;
  const fs::path exact = folder / std::string(name);
  if (fs::symlink_status(exact, ec).type() != fs::file_type::not_found && !ec) return exact;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (EqualsNoCase(entry, name)) return it->path();
  }
  return std::nullopt;
}

std::string ResolveNoCase(std::string_view folder, std::string_view relativeName) {
  std::string current(folder);
  bool found = true;
  while (!relativeName.empty()) {
    std::size_t cut = 0;
    while (cut < relativeName.size() && !IsPathSeparator(relativeName[cut])) ++cut;
    const std::string_view part = relativeName.substr(0, cut);
    relativeName = cut < relativeName.size() ? relativeName.substr(cut + 1) : std::string_view{};
    if (part.empty()) continue;
    std::optional<fs::path> entry;
    if (found) entry = FindEntryNoCase(current.empty() ? fs::path(".") : fs::path(current), part);
    if (entry) {
      current = JoinPath(current, entry->filename().string());
    } else {
      found = false;
      current = JoinPath(current, part);
    }
  }
  return current;
}

bool PathExists(const fs::path& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

bool IsFolder(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

bool CreateFolder(const fs::path& path) {
  std::error_code ec;
  fs::create_directory(path, ec);
  return IsFolder(path);
}

std::vector<std::string> ListFolder(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  return names;
}

}  // namespace platform
