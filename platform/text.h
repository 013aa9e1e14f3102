#pragma once
// Text conversions at the program's edges. Inside the program every narrow
// string is UTF-8; these turn single-byte code-page text into UTF-8 and back,
// count characters rather than bytes, and compare without regard to case
// knowing the Swedish letters.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class CodePage { Windows1252, Cp850, Cp437, Cp865 };

std::string DecodeToUtf8(std::string_view bytes, CodePage codePage);
// DecodeToUtf8 appending to `out`, for loops that reuse one string.
void AppendDecodedUtf8(std::string& out, std::string_view bytes, CodePage codePage);
// Characters the code page lacks become `replacement`.
std::string EncodeFromUtf8(std::string_view utf8, CodePage codePage, char replacement = '?');

bool IsValidUtf8(std::string_view text);
// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark dropped), Windows-1252 otherwise.
std::string Utf8OrWindows1252(std::string_view bytes);

std::size_t Utf8Length(std::string_view utf8);
// At most `maxChars` characters, never splitting one.
std::string Utf8Truncate(std::string_view utf8, std::size_t maxChars);

// One UTF-8 sequence at `pos`: its length, 0 for bytes that are not UTF-8
// (overlong forms and encoded surrogates included).
std::size_t DecodeUtf8(std::string_view utf8, std::size_t pos, char32_t& cp);
void AppendUtf8(std::string& out, char32_t cp);

std::u16string Utf8ToUtf16(std::string_view utf8);
// In one pass over the units; an unpaired surrogate becomes U+FFFD. The second
// form writes into `out` (its old text replaced), for loops that reuse one string.
std::string Utf16ToUtf8(std::u16string_view utf16);
void Utf16ToUtf8(std::u16string_view utf16, std::string& out);

// Case mapping of ASCII and the Latin-1 letters (å ä ö é ü and the rest).
std::string ToLower(std::string_view utf8);
std::string ToUpper(std::string_view utf8);
bool EqualsNoCase(std::string_view a, std::string_view b);

bool IsWhiteSpace(char c);  // blank, tab, LF, CR, VT, FF
std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);
std::string_view Trim(std::string_view text);

}  // namespace platform
