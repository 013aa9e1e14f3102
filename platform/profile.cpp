#include "platform/profile.h"

#include <climits>

#include "platform/files.h"
#include "platform/text.h"

namespace platform {

ProfileFile ProfileFile::Parse(std::string_view text) {
  ProfileFile file;
  // Entries go to the last section opened; a repeated section name is not
  // seen at all, as with the Windows reader, so its entries are dropped.
  Section* current = nullptr;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    const std::string_view line = Trim(text.substr(0, eol));
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      const std::string_view name = Trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
      current = nullptr;
      if (file.sectionIndex_.try_emplace(ToLower(name), file.sections_.size()).second) {
        file.sections_.push_back({std::string(name), {}});
        current = &file.sections_.back();
      }
      continue;
    }
    if (!current) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, eq));
    std::string_view value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    current->entries.emplace_back(std::string(key), std::string(value));
  }
  return file;
}

std::optional<ProfileFile> ProfileFile::Load(const std::filesystem::path& path) {
  const auto raw = ReadWholeFile(path);
  if (!raw) return std::nullopt;
  return Parse(Utf8OrWindows1252(*raw));
}

std::optional<std::string> ProfileFile::Find(std::string_view section, std::string_view key) const {
  const auto found = sectionIndex_.find(ToLower(section));
  if (found == sectionIndex_.end()) return std::nullopt;
  for (const auto& [k, v] : sections_[found->second].entries) {
    if (EqualsNoCase(k, key)) return v;
  }
  return std::nullopt;
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
  if (auto v = Find(section, key)) return *v;
  return std::string(TrimRight(defaultValue));
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
  // As with the Windows reader, a key whose value is empty counts as missing.
  if (auto v = Find(section, key); v && !v->empty()) return LeadingInt(*v);
  return defaultValue;
}

std::string GetProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                             std::string_view defaultValue) {
  if (auto profile = ProfileFile::Load(file)) return profile->GetString(section, key, defaultValue);
  return std::string(TrimRight(defaultValue));
}

int GetProfileInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
                  int defaultValue) {
  if (auto profile = ProfileFile::Load(file)) return profile->GetInt(section, key, defaultValue);
  return defaultValue;
}

int LeadingInt(std::string_view text) {
  text = TrimLeft(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace platform
