// libFuzzer target: any bytes as a settings (".ini") file, read with the
// Windows rules. Reading it and looking up the sections and keys it mentions
// must neither crash nor hang.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fake/memory_files.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  platform::fake::MemoryFileOpener files;
  files.Add("settings.ini", text);
  platform::ScopedFileOpener use(files);
  const auto profile = platform::ProfileFile::Load("settings.ini");
  if (!profile) __builtin_trap();  // an in-memory file is always readable

  // The section names ("[name]") and keys ("key=") the file mentions, a few of each.
  constexpr std::size_t kMost = 32;
  std::vector<std::string> sections{""};
  std::vector<std::string> keys{""};
  for (std::string_view rest = text; !rest.empty() && (sections.size() < kMost || keys.size() < kMost);) {
    const std::size_t eol = rest.find('\n');
    const std::string_view line = rest.substr(0, eol);
    rest = eol == std::string_view::npos ? std::string_view{} : rest.substr(eol + 1);
    if (line.starts_with("[")) {
      if (sections.size() < kMost) sections.emplace_back(line.substr(1, line.find(']') - 1));
    } else if (const std::size_t eq = line.find('='); eq != std::string_view::npos && keys.size() < kMost) {
      keys.emplace_back(line.substr(0, eq));
    }
  }
  for (const auto& section : sections) {
    for (const auto& key : keys) {
      (void)profile->GetString(section, key, " default ");
      (void)profile->GetInt(section, key, -7);
    }
  }
  (void)platform::LeadingInt(text);
  return 0;
}
