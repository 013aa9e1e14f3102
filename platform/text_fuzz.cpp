// libFuzzer target: any bytes through the text conversions, checking what
// the rest of the program relies on: every result meant as UTF-8 is valid
// UTF-8, a code page's bytes come back unchanged from UTF-8, valid UTF-8 goes
// through UTF-16 and back unchanged, and truncating never splits a character.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace {
void Require(bool condition) {
  if (!condition) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace platform;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  for (const auto page : {CodePage::Windows1252, CodePage::Cp850, CodePage::Cp437, CodePage::Cp865}) {
    const std::string utf8 = DecodeToUtf8(bytes, page);
    Require(IsValidUtf8(utf8));
    Require(Utf8Length(utf8) == bytes.size());
    Require(EncodeFromUtf8(utf8, page) == bytes);
    std::string appended = "x";
    AppendDecodedUtf8(appended, bytes, page);
    Require(appended == "x" + utf8);
  }
  // Any bytes, valid or not, encode to one byte a character at most.
  Require(EncodeFromUtf8(bytes, CodePage::Windows1252).size() <= bytes.size());

  const std::string text = Utf8OrWindows1252(bytes);
  Require(IsValidUtf8(text));
  const bool valid = IsValidUtf8(bytes);
  if (valid) {
    Require(Utf16ToUtf8(Utf8ToUtf16(bytes)) == bytes);
    const std::size_t length = Utf8Length(bytes);
    const std::string half = Utf8Truncate(bytes, length / 2);
    Require(IsValidUtf8(half) && Utf8Length(half) == length / 2 && bytes.starts_with(half));
  }
  // Odd bytes as UTF-16 units: lone surrogates become U+FFFD, never invalid UTF-8.
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  Require(IsValidUtf8(Utf16ToUtf8(units)));
  (void)Utf8ToUtf16(bytes);

  // Case mapping keeps the length (keys are matched by position) and agrees with EqualsNoCase.
  const std::string lower = ToLower(bytes);
  const std::string upper = ToUpper(bytes);
  Require(lower.size() == bytes.size() && upper.size() == bytes.size());
  Require(EqualsNoCase(bytes, lower) && EqualsNoCase(upper, bytes));
  Require(Trim(bytes).size() <= bytes.size());
  return 0;
}
