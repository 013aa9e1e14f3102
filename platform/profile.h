#pragma once
// Profile (".ini") files read with the Windows rules: section and key names
// without regard to case, values trimmed, one pair of enclosing quotes removed,
// the first of duplicate sections and keys wins, the default when missing, and
// the leading integer for numbers (the default when the value is empty). A file
// is read as UTF-8 when it is valid UTF-8, as Windows-1252 otherwise.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

class ProfileFile {
 public:
  static ProfileFile Parse(std::string_view text);
  // nullopt when the file cannot be read.
  static std::optional<ProfileFile> Load(const std::filesystem::path& file);

  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;  // key as written, value
  };
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> sectionIndex_;  // lower-cased name -> its place in sections_
};

// One-call forms, opening the file each time as the Windows calls do.
std::string GetProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                             std::string_view defaultValue);
int GetProfileInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
                  int defaultValue);

// The leading integer of a text ("12abc" -> 12, "-5" -> -5, "x" -> 0), clamped to int.
int LeadingInt(std::string_view text);

}  // namespace platform
