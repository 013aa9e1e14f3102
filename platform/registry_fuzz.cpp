// libFuzzer target: any bytes as a registry file (".reg", UTF-8, Windows-1252
// or UTF-16 with its byte-order mark). Loading and every lookup of the keys
// and value names the file itself mentions must neither crash nor hang.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fake/memory_files.h"
#include "platform/registry.h"

namespace {

// Key paths ("[ROOT\path]" without the root) and value names ("name"=) the file mentions, a few of each.
void Mentioned(std::string_view text, std::vector<std::string>& keys, std::vector<std::string>& names) {
  constexpr std::size_t kMost = 32;
  while (!text.empty() && (keys.size() < kMost || names.size() < kMost)) {
    const std::size_t eol = text.find('\n');
    const std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    if (line.starts_with("[") && keys.size() < kMost) {
      const std::size_t slash = line.find('\\');
      if (slash != std::string_view::npos) keys.emplace_back(line.substr(slash + 1, line.find(']') - slash - 1));
    } else if (line.starts_with("\"") && names.size() < kMost) {
      names.emplace_back(line.substr(1, line.find('"', 1) - 1));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  platform::fake::MemoryFileOpener files;
  files.Add("registry.reg", text);
  platform::ScopedFileOpener use(files);
  std::vector<std::string> problems;
  const auto store = platform::RegistryStore::Load("registry.reg", &problems);

  std::vector<std::string> keys{"", "SOFTWARE"};
  std::vector<std::string> names{"", "Path"};
  Mentioned(text, keys, names);
  for (const auto root : {platform::RegistryRoot::LocalMachine, platform::RegistryRoot::CurrentUser}) {
    for (const auto& key : keys) {
      (void)store.KeyExists(root, key);
      // A few subkeys: KeyExists of a key with only subkeys reads the whole store.
      const auto subkeys = store.SubKeyNames(root, key);
      for (std::size_t i = 0; i < subkeys.size() && i < 4; ++i) (void)store.KeyExists(root, key + "\\" + subkeys[i]);
      for (const auto& name : names) {
        (void)store.ReadString(root, key, name);
        (void)store.ReadDword(root, key, name);
      }
    }
  }
  return 0;
}
