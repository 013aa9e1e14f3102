#include "platform/version_resource.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"

namespace platform {
namespace {

constexpr std::uint32_t kResourceTypeVersion = 16;  // RT_VERSION
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000u;
constexpr std::size_t kMaxVersionBlock = 0x10000;  // a block's length is a 16-bit field
constexpr int kMaxDirectoryEntries = 4096;

std::uint16_t U16(const char* p) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8);
}
std::uint32_t U32(const char* p) { return U16(p) | static_cast<std::uint32_t>(U16(p + 2)) << 16; }

// Little-endian reads at file offsets; any read past the end fails.
class PeFile {
 public:
  explicit PeFile(std::unique_ptr<ReadableFile> file) : file_(std::move(file)) {}

  bool Read(std::uint64_t offset, std::span<char> out) const {
    return offset <= file_->Size() && out.size() <= file_->Size() - offset && file_->ReadAt(offset, out) == out.size();
  }
  std::optional<std::uint16_t> Word(std::uint64_t offset) const {
    std::array<char, 2> b;
    if (!Read(offset, b)) return std::nullopt;
    return U16(b.data());
  }
  std::optional<std::uint32_t> Dword(std::uint64_t offset) const {
    std::array<char, 4> b;
    if (!Read(offset, b)) return std::nullopt;
    return U32(b.data());
  }

 private:
  std::unique_ptr<ReadableFile> file_;
};

struct Section {
  std::uint32_t virtualAddress = 0;
  std::uint32_t virtualSize = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;
};

// The file offset of `size` bytes at a relative virtual address; nullopt when
// they do not lie within one section's data in the file.
std::optional<std::uint64_t> RvaToOffset(const std::vector<Section>& sections, std::uint32_t rva, std::uint32_t size) {
  for (const auto& s : sections) {
    if (rva < s.virtualAddress) continue;
    const std::uint64_t into = rva - s.virtualAddress;
    if (into + size <= s.rawSize) return s.rawOffset + into;
  }
  return std::nullopt;
}

// The bytes of the first RT_VERSION resource; nullopt when there is none.
std::optional<std::string> ReadVersionBlock(const PeFile& pe) {
  const auto mz = pe.Word(0);
  if (!mz || *mz != 0x5A4D) return std::nullopt;  // "MZ"
  const auto peAt = pe.Dword(0x3C);
  if (!peAt) return std::nullopt;
  const auto signature = pe.Dword(*peAt);
  if (!signature || *signature != 0x00004550) return std::nullopt;  // "PE\0\0"
  const std::uint64_t coff = *peAt + 4ull;
  const auto sectionCount = pe.Word(coff + 2);
  const auto optionalSize = pe.Word(coff + 16);
  const std::uint64_t optional = coff + 20;
  const auto magic = pe.Word(optional);
  if (!sectionCount || !optionalSize || !magic) return std::nullopt;
  std::uint64_t directories = 0;
  if (*magic == 0x10B) {
    directories = optional + 96;  // PE32
  } else if (*magic == 0x20B) {
    directories = optional + 112;  // PE32+
  } else {
    return std::nullopt;
  }
  const auto directoryCount = pe.Dword(directories - 4);
  if (!directoryCount || *directoryCount < 3 || directories + 24 > optional + *optionalSize) return std::nullopt;
  const auto resourceRva = pe.Dword(directories + 16);
  const auto resourceSize = pe.Dword(directories + 20);
  if (!resourceRva || !resourceSize || *resourceRva == 0) return std::nullopt;

  std::vector<Section> sections;
  const std::uint64_t table = optional + *optionalSize;
  for (std::uint16_t i = 0; i < *sectionCount; ++i) {
    std::array<char, 40> h;
    if (!pe.Read(table + 40ull * i, h)) return std::nullopt;
    sections.push_back({U32(&h[12]), U32(&h[8]), U32(&h[16]), U32(&h[20])});
  }
  const auto resourceAt = RvaToOffset(sections, *resourceRva, 16);
  if (!resourceAt) return std::nullopt;

  // Three directory levels (type, name, language): the version type, then the
  // first name and the first language, as Windows picks the block.
  std::uint64_t directory = *resourceAt;
  std::uint32_t entryData = 0;
  for (int level = 0; level < 3; ++level) {
    const auto named = pe.Word(directory + 12);
    const auto numbered = pe.Word(directory + 14);
    if (!named || !numbered) return std::nullopt;
    const int count = *named + *numbered;
    if (count == 0 || count > kMaxDirectoryEntries) return std::nullopt;
    std::optional<std::uint32_t> chosen;
    for (int i = 0; i < count && !chosen; ++i) {
      const auto id = pe.Dword(directory + 16 + 8ull * i);
      const auto data = pe.Dword(directory + 20 + 8ull * i);
      if (!id || !data) return std::nullopt;
      if (level > 0 || *id == kResourceTypeVersion) chosen = *data;
    }
    if (!chosen) return std::nullopt;
    const bool subdirectory = (*chosen & kSubdirectoryFlag) != 0;
    if (subdirectory != (level < 2)) return std::nullopt;
    const std::uint32_t offset = *chosen & ~kSubdirectoryFlag;
    if (offset >= *resourceSize) return std::nullopt;
    if (level < 2) {
      directory = *resourceAt + offset;
    } else {
      entryData = offset;
    }
  }
  const auto dataRva = pe.Dword(*resourceAt + entryData);
  const auto dataSize = pe.Dword(*resourceAt + entryData + 4);
  if (!dataRva || !dataSize) return std::nullopt;
  const std::uint32_t size = std::min<std::uint32_t>(*dataSize, kMaxVersionBlock);
  const auto dataAt = RvaToOffset(sections, *dataRva, size);
  if (!dataAt) return std::nullopt;
  std::string block(size, '\0');
  if (!pe.Read(*dataAt, block)) return std::nullopt;
  return block;
}

// One node of the version block: a 16-bit length, value length and type, a
// NUL-terminated UTF-16 key, the value and the children, each 32-bit aligned.
struct Node {
  std::u16string key;
  std::string_view value;  // bytes
  bool text = false;
  std::vector<std::size_t> children;  // offsets in the block
};

std::size_t Align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

std::optional<Node> ParseNode(std::string_view block, std::size_t at) {
  if (at + 6 > block.size()) return std::nullopt;
  const std::size_t length = U16(block.data() + at);
  const std::size_t valueLength = U16(block.data() + at + 2);
  const std::uint16_t type = U16(block.data() + at + 4);
  if (length < 6 || at + length > block.size()) return std::nullopt;
  const std::size_t end = at + length;
  Node node;
  node.text = type == 1;
  std::size_t p = at + 6;
  for (;; p += 2) {
    if (p + 2 > end) return std::nullopt;
    const char16_t c = U16(block.data() + p);
    if (c == 0) break;
    node.key.push_back(c);
  }
  p = Align4(p + 2);
  // A text value's length counts UTF-16 characters; some writers count bytes,
  // so the value is cut at the node's end either way.
  const std::size_t valueBytes = node.text ? valueLength * 2 : valueLength;
  const std::size_t valueEnd = std::min(end, p + valueBytes);
  if (p < valueEnd) node.value = block.substr(p, valueEnd - p);
  for (p = Align4(std::max(p, valueEnd)); p + 6 <= end;) {
    const std::size_t childLength = U16(block.data() + p);
    if (childLength < 6) break;
    node.children.push_back(p);
    p = Align4(p + childLength);
  }
  return node;
}

bool KeyIs(const std::u16string& key, std::string_view name) {
  return EqualsNoCase(Utf16ToUtf8(key), name);
}

std::optional<Node> FindChild(std::string_view block, const Node& parent, std::string_view name) {
  for (std::size_t at : parent.children) {
    auto child = ParseNode(block, at);
    if (child && KeyIs(child->key, name)) return child;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadVersionString(const std::filesystem::path& file, std::string_view name) {
  auto opened = OpenForReading(file);
  if (!opened) return std::nullopt;
  const PeFile pe(std::move(opened));
  const auto block = ReadVersionBlock(pe);
  if (!block) return std::nullopt;
  const auto root = ParseNode(*block, 0);
  if (!root || root->value.empty()) return std::nullopt;  // no fixed file information

  const auto varInfo = FindChild(*block, *root, "VarFileInfo");
  const auto translation = varInfo ? FindChild(*block, *varInfo, "Translation") : std::nullopt;
  if (!translation) return std::nullopt;
  std::uint16_t language = 0;
  std::uint16_t codePage = 0;
  if (translation->value.size() >= 4) {
    language = U16(translation->value.data());
    codePage = U16(translation->value.data() + 2);
  }
  char tableName[9];
  std::snprintf(tableName, sizeof tableName, "%04X%04X", language, codePage);

  const auto stringInfo = FindChild(*block, *root, "StringFileInfo");
  const auto table = stringInfo ? FindChild(*block, *stringInfo, tableName) : std::nullopt;
  const auto entry = table ? FindChild(*block, *table, name) : std::nullopt;
  if (!entry) return std::nullopt;
  std::u16string text;
  for (std::size_t i = 0; i + 1 < entry->value.size(); i += 2) {
    const char16_t c = U16(entry->value.data() + i);
    if (c == 0) break;
    text.push_back(c);
  }
  if (text.empty()) return std::nullopt;
  return Utf16ToUtf8(text);
}

}  // namespace platform
