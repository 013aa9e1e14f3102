#include "platform/registry.h"

#include <algorithm>
#include <charconv>
#include <mutex>
#include <unordered_set>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/text.h"

namespace platform {
namespace {

std::string_view TrimSlashes(std::string_view key) {
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  return key;
}

std::string NormalizeKey(std::string_view key) { return ToLower(TrimSlashes(key)); }

std::string RootPrefix(RegistryRoot root) { return root == RegistryRoot::LocalMachine ? "hklm\\" : "hkcu\\"; }

std::optional<RegistryRoot> ParseRoot(std::string_view name) {
  const std::string lower = ToLower(name);
  if (lower == "hkey_local_machine" || lower == "hklm") return RegistryRoot::LocalMachine;
  if (lower == "hkey_current_user" || lower == "hkcu") return RegistryRoot::CurrentUser;
  return std::nullopt;
}

// Reads a quoted .reg string starting at text[pos] == '"'; `pos` ends after the closing quote.
std::optional<std::string> ReadQuoted(std::string_view text, std::size_t& pos) {
  std::string out;
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '\\' && pos + 1 < text.size()) {
      out.push_back(text[++pos]);
    } else if (c == '"') {
      ++pos;
      return out;
    } else {
      out.push_back(c);
    }
  }
  return std::nullopt;
}

// "d6,00,2f,00,00,00": little-endian UTF-16 up to the first NUL, as UTF-8.
std::optional<std::string> Utf16HexString(std::string_view hex) {
  std::string bytes;
  while (!(hex = Trim(hex)).empty()) {
    const std::size_t comma = hex.find(',');
    const std::string_view digits = Trim(hex.substr(0, comma));
    hex = comma == std::string_view::npos ? std::string_view{} : hex.substr(comma + 1);
    unsigned byte = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), byte, 16);
    if (ec != std::errc{} || end != digits.data() + digits.size() || digits.empty() || byte > 0xFF) return std::nullopt;
    bytes.push_back(static_cast<char>(byte));
  }
  std::u16string wide;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (unit == 0) break;
    wide.push_back(unit);
  }
  return Utf16ToUtf8(wide);
}

std::string DecodeFileText(const std::string& raw) {
  if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF && static_cast<unsigned char>(raw[1]) == 0xFE) {
    std::u16string wide;
    for (std::size_t i = 2; i + 1 < raw.size(); i += 2) {
      wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(raw[i]) |
                                           (static_cast<unsigned char>(raw[i + 1]) << 8)));
    }
    return Utf16ToUtf8(wide);
  }
  return Utf8OrWindows1252(raw);
}

}  // namespace

RegistryStore RegistryStore::Parse(std::string_view text, std::vector<std::string>* problems) {
  RegistryStore store;
  Key* current = nullptr;
  std::size_t lineNo = 0;
  // A damaged or binary file has a problem on nearly every line: the first few
  // are described, the rest only counted.
  constexpr std::size_t kDescribed = 20;
  std::size_t complaints = 0;
  auto complain = [&](const std::string& what) {
    if (problems && ++complaints <= kDescribed) problems->push_back("line " + std::to_string(lineNo) + ": " + what);
  };
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    std::string_view line = Trim(text.substr(0, eol));
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    ++lineNo;
    if (line.empty() || line.front() == ';' || line.starts_with("Windows Registry Editor") || line == "REGEDIT4") {
      continue;
    }
    if (line.front() == '[') {
      current = nullptr;
      if (line.back() != ']') {
        complain("key line without ']'");
        continue;
      }
      std::string_view path = line.substr(1, line.size() - 2);
      if (path.starts_with("-")) continue;  // a deletion: nothing to hold
      const std::size_t slash = path.find('\\');
      const auto root = ParseRoot(path.substr(0, slash));
      if (!root) {
        complain("unknown root key");
        continue;
      }
      const std::string_view rest = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
      const std::string id = RootPrefix(*root) + NormalizeKey(rest);
      const auto [at, added] = store.index_.try_emplace(id, store.keys_.size());
      if (added) store.keys_.push_back({id, Key{std::string(TrimSlashes(rest)), {}}});
      current = &store.keys_[at->second].second;
      continue;
    }
    // A long hex value goes on over lines that end in '\'.
    std::string joined;
    if (line.back() == '\\') {
      const std::size_t first = lineNo;
      joined.assign(line.substr(0, line.size() - 1));
      while (!text.empty()) {
        const std::size_t next = text.find('\n');
        const std::string_view more = Trim(text.substr(0, next));
        text = next == std::string_view::npos ? std::string_view{} : text.substr(next + 1);
        ++lineNo;
        const bool goesOn = !more.empty() && more.back() == '\\';
        joined.append(goesOn ? more.substr(0, more.size() - 1) : more);
        if (!goesOn) break;
      }
      line = joined;
      lineNo = first;
    }
    if (!current) {
      complain("value outside a key");
      continue;
    }
    std::size_t pos = 0;
    std::string name;
    if (line.front() == '@') {
      pos = 1;
    } else if (line.front() == '"') {
      auto quoted = ReadQuoted(line, pos);
      if (!quoted) {
        complain("unterminated value name");
        continue;
      }
      name = *quoted;
    } else {
      complain("value line without a name");
      continue;
    }
    std::string_view rest = TrimLeft(line.substr(pos));
    if (rest.empty() || rest.front() != '=') {
      complain("value without '='");
      continue;
    }
    rest = TrimLeft(rest.substr(1));
    const std::string lowerName = ToLower(name);
    if (!rest.empty() && rest.front() == '"') {
      std::size_t p = 0;
      auto value = ReadQuoted(rest, p);
      if (!value) {
        complain("unterminated string value");
        continue;
      }
      // A Windows caller reads a string value up to its first NUL.
      value->resize(std::min(value->size(), value->find('\0')));
      current->values.insert_or_assign(lowerName, std::move(*value));
    } else if (rest.starts_with("dword:")) {
      const std::string_view digits = rest.substr(6);
      std::uint32_t number = 0;
      const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number, 16);
      if (ec != std::errc{} || end != digits.data() + digits.size() || digits.empty()) {
        complain("bad dword value");
        continue;
      }
      current->values.insert_or_assign(lowerName, number);
    } else if (rest.starts_with("hex(1):") || rest.starts_with("hex(2):")) {
      // A string, or one with %variables% left unexpanded, as UTF-16 bytes; read as
      // the plain string a Windows caller gets.
      auto value = Utf16HexString(rest.substr(7));
      if (!value) {
        complain("bad hex value");
        continue;
      }
      current->values.insert_or_assign(lowerName, std::move(*value));
    } else if (rest == "-") {
      current->values.erase(lowerName);
    } else {
      complain("value type not supported");
    }
  }
  if (problems && complaints > kDescribed) {
    problems->push_back(std::to_string(complaints - kDescribed) + " more lines not understood");
  }
  return store;
}

RegistryStore RegistryStore::Load(const std::filesystem::path& file, std::vector<std::string>* problems) {
  std::string why;
  const auto raw = ReadWholeFile(file, &why);
  if (!raw) {
    if (problems) {
      problems->push_back("registry file " + file.string() + " cannot be read (" + why + "); it counts as empty");
    }
    return {};
  }
  std::vector<std::string> lineProblems;
  RegistryStore store = Parse(DecodeFileText(*raw), &lineProblems);
  if (problems) {
    for (auto& p : lineProblems) problems->push_back("registry file " + file.string() + ", " + p);
  }
  return store;
}

const RegistryStore::Key* RegistryStore::Find(RegistryRoot root, std::string_view key) const {
  const auto found = index_.find(RootPrefix(root) + NormalizeKey(key));
  return found == index_.end() ? nullptr : &keys_[found->second].second;
}

bool RegistryStore::KeyExists(RegistryRoot root, std::string_view key) const {
  if (Find(root, key)) return true;
  // A key also exists when only its subkeys are written out.
  const std::string prefix = RootPrefix(root) + NormalizeKey(key) + "\\";
  for (const auto& entry : keys_) {
    if (entry.first.starts_with(prefix)) return true;
  }
  return false;
}

std::optional<std::string> RegistryStore::ReadString(RegistryRoot root, std::string_view key,
                                                     std::string_view name) const {
  const Key* k = Find(root, key);
  if (!k) return std::nullopt;
  const auto it = k->values.find(ToLower(name));
  if (it == k->values.end()) return std::nullopt;
  if (const auto* s = std::get_if<std::string>(&it->second)) return *s;
  return std::nullopt;
}

std::optional<std::uint32_t> RegistryStore::ReadDword(RegistryRoot root, std::string_view key,
                                                      std::string_view name) const {
  const Key* k = Find(root, key);
  if (!k) return std::nullopt;
  const auto it = k->values.find(ToLower(name));
  if (it == k->values.end()) return std::nullopt;
  if (const auto* n = std::get_if<std::uint32_t>(&it->second)) return *n;
  return std::nullopt;
}

std::vector<std::string> RegistryStore::SubKeyNames(RegistryRoot root, std::string_view key) const {
  const std::string prefix = RootPrefix(root) + NormalizeKey(key) + "\\";
  std::vector<std::string> names;
  std::unordered_set<std::string_view> seen;
  for (const auto& [id, k] : keys_) {
    if (!id.starts_with(prefix)) continue;
    const std::string_view rest = std::string_view(id).substr(prefix.size());
    const std::string_view childLower = rest.substr(0, rest.find('\\'));
    if (childLower.empty() || !seen.insert(childLower).second) continue;
    // Take the spelling from the key's own name.
    const std::string_view full = k.name;
    const std::size_t start = full.size() - rest.size();
    names.emplace_back(full.substr(start, childLower.size()));
  }
  return names;
}

namespace {
std::mutex g_registryMutex;
std::shared_ptr<const RegistryStore> g_registry;
std::vector<std::string> g_registryProblems;
}  // namespace

std::filesystem::path DefaultRegistryFile() {
  if (auto named = GetEnvironment("MOLNIX_REGISTRY"); named && !named->empty()) return *named;
  return UserConfigFolder() / "registry.reg";
}

const RegistryStore& Registry() {
  std::lock_guard lock(g_registryMutex);
  if (!g_registry) {
    g_registryProblems.clear();
    g_registry = std::make_shared<const RegistryStore>(RegistryStore::Load(DefaultRegistryFile(), &g_registryProblems));
  }
  return *g_registry;
}

void InstallRegistry(std::shared_ptr<const RegistryStore> store) {
  std::lock_guard lock(g_registryMutex);
  g_registry = std::move(store);
  g_registryProblems.clear();
}

std::vector<std::string> LastRegistryProblems() {
  std::lock_guard lock(g_registryMutex);
  return g_registryProblems;
}

}  // namespace platform
