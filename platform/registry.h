#pragma once
// The registry stands in a text file in the Windows ".reg" export format:
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Tessal Kolm\Tessal Vardo]
//   "Database"="/srv/vardo/db"
//   "Timeout"=dword:0000001e
//   "Path"=hex(2):25,00,50,00,...,00,00      (over lines ending in '\' when long)
//
// Key and value names compare without regard to case; a section without
// values is a key that exists. Lines take effect in order, as when the file is
// imported: a value given twice has the later one, "Name"=- removes it.
// Strings, expandable strings (hex(1), hex(2)) and dwords are read; other
// types are skipped with a problem line. The process reads the file named by
// MOLNIX_REGISTRY, or registry.reg in the per-user configuration folder.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace platform {

enum class RegistryRoot { LocalMachine, CurrentUser };

class RegistryStore {
 public:
  // Lines that cannot be understood are skipped and described in `problems`.
  static RegistryStore Parse(std::string_view text, std::vector<std::string>* problems = nullptr);
  // A missing or unreadable file gives an empty store and a problem line.
  static RegistryStore Load(const std::filesystem::path& file, std::vector<std::string>* problems = nullptr);

  bool KeyExists(RegistryRoot root, std::string_view key) const;
  std::optional<std::string> ReadString(RegistryRoot root, std::string_view key, std::string_view name) const;
  std::optional<std::uint32_t> ReadDword(RegistryRoot root, std::string_view key, std::string_view name) const;
  // Names of the direct subkeys, in the order the file gives them.
  std::vector<std::string> SubKeyNames(RegistryRoot root, std::string_view key) const;

 private:
  using Value = std::variant<std::string, std::uint32_t>;
  struct Key {
    std::string name;                     // as written, without the root
    std::map<std::string, Value> values;  // lower-cased value name -> value
  };
  const Key* Find(RegistryRoot root, std::string_view key) const;
  std::vector<std::pair<std::string, Key>> keys_;  // "<root>\<lower-cased key>" -> key, file order
  std::unordered_map<std::string, std::size_t> index_;  // the same ids -> place in keys_
};

// Location of the process's registry file.
std::filesystem::path DefaultRegistryFile();

// The registry the program reads. Loaded from DefaultRegistryFile() on first use
// unless one was installed; problems met while loading go to LastRegistryProblems().
const RegistryStore& Registry();
void InstallRegistry(std::shared_ptr<const RegistryStore> store);
std::vector<std::string> LastRegistryProblems();

}  // namespace platform
