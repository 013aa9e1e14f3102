#include "platform/text.h"

#include <array>
#include <cstdint>

namespace platform {
namespace {

// Upper halves (0x80..0xFF) of the single-byte code pages as Unicode code points.
// Windows-1252 leaves five bytes undefined; they map to themselves as C1 controls.
constexpr std::array<char16_t, 128> kWindows1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF};

constexpr std::array<char16_t, 128> kCp850 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8, 0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0};

constexpr std::array<char16_t, 128> kCp437 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

// Nordic MS-DOS: code page 437 with ø, Ø and ¤ in place of ¢, ¥ and ».
constexpr std::array<char16_t, 128> kCp865 = [] {
  auto table = kCp437;
  table[0x9B - 0x80] = 0x00F8;
  table[0x9D - 0x80] = 0x00D8;
  table[0xAF - 0x80] = 0x00A4;
  return table;
}();

const std::array<char16_t, 128>& TableOf(CodePage codePage) {
  switch (codePage) {
    case CodePage::Cp850: return kCp850;
    case CodePage::Cp437: return kCp437;
    case CodePage::Cp865: return kCp865;
    case CodePage::Windows1252: break;
  }
  return kWindows1252;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::size_t DecodeUtf8(std::string_view s, std::size_t pos, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t len;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (pos + len > s.size()) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + i]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

namespace {

char32_t LowerOf(char32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 32;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
  return cp;
}

char32_t UpperOf(char32_t cp) {
  if (cp >= 'a' && cp <= 'z') return cp - 32;
  if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 32;
  return cp;
}

template <typename Map>
std::string MapCase(std::string_view s, Map map) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) {
    char32_t cp;
    const std::size_t len = DecodeUtf8(s, pos, cp);
    if (len == 0) {  // not UTF-8: keep the byte as it is
      out.push_back(s[pos++]);
      continue;
    }
    AppendUtf8(out, map(cp));
    pos += len;
  }
  return out;
}

}  // namespace

std::string DecodeToUtf8(std::string_view bytes, CodePage codePage) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  AppendDecodedUtf8(out, bytes, codePage);
  return out;
}

void AppendDecodedUtf8(std::string& out, std::string_view bytes, CodePage codePage) {
  // The UTF-8 form of each upper-half byte, made once per code page: decoding
  // is on the path of every DBF field read.
  struct Sequence {
    char bytes[3];
    unsigned char size;
  };
  using HighHalf = std::array<Sequence, 128>;
  static const auto build = [](CodePage page) {
    HighHalf half{};
    const auto& table = TableOf(page);
    for (std::size_t i = 0; i < half.size(); ++i) {
      std::string utf8;
      AppendUtf8(utf8, table[i]);
      utf8.copy(half[i].bytes, utf8.size());
      half[i].size = static_cast<unsigned char>(utf8.size());
    }
    return half;
  };
  static const std::array<HighHalf, 4> halves = {build(CodePage::Windows1252), build(CodePage::Cp850),
                                                 build(CodePage::Cp437), build(CodePage::Cp865)};
  const HighHalf& half = halves[static_cast<std::size_t>(codePage)];
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p < end) {
    const char* ascii = p;
    while (p < end && static_cast<unsigned char>(*p) < 0x80) ++p;
    out.append(ascii, static_cast<std::size_t>(p - ascii));
    if (p == end) break;
    const Sequence& s = half[static_cast<unsigned char>(*p) - 0x80];
    out.append(s.bytes, s.size);
    ++p;
  }
}

std::string EncodeFromUtf8(std::string_view utf8, CodePage codePage, char replacement) {
  const auto& table = TableOf(codePage);
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t cp;
    std::size_t len = DecodeUtf8(utf8, pos, cp);
    if (len == 0) {
      out.push_back(replacement);
      ++pos;
      continue;
    }
    pos += len;
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    char mapped = replacement;
    for (std::size_t i = 0; i < table.size(); ++i) {
      if (table[i] == cp) {
        mapped = static_cast<char>(0x80 + i);
        break;
      }
    }
    out.push_back(mapped);
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
      continue;
    }
    char32_t cp;
    const std::size_t len = DecodeUtf8(text, pos, cp);
    if (len == 0) return false;
    pos += len;
  }
  return true;
}

std::string Utf8OrWindows1252(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return DecodeToUtf8(bytes, CodePage::Windows1252);
}

std::size_t Utf8Length(std::string_view utf8) {
  std::size_t count = 0;
  for (char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::string Utf8Truncate(std::string_view utf8, std::size_t maxChars) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < utf8.size(); ++pos) {
    if ((static_cast<unsigned char>(utf8[pos]) & 0xC0) != 0x80) {
      if (count == maxChars) return std::string(utf8.substr(0, pos));
      ++count;
    }
  }
  return std::string(utf8);
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t cp;
    std::size_t len = DecodeUtf8(utf8, pos, cp);
    if (len == 0) {
      cp = 0xFFFD;
      len = 1;
    }
    pos += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

void Utf16ToUtf8(std::u16string_view utf16, std::string& out) {
  // A unit makes three bytes at most (a pair of two makes four): the text is
  // sized once, written through a pointer and cut to what was written.
  out.resize(utf16.size() * 3);
  char* p = out.data();
  const auto put = [&p](char32_t byte) { *p++ = static_cast<char>(byte); };
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp < 0x80) {
      put(cp);
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDFFF) {
      const bool paired = cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF;
      cp = paired ? 0x10000 + ((cp - 0xD800) << 10) + (utf16[++i] - 0xDC00) : 0xFFFD;
    }
    if (cp < 0x800) {
      put(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
      put(0xE0 | (cp >> 12));
      put(0x80 | ((cp >> 6) & 0x3F));
    } else {
      put(0xF0 | (cp >> 18));
      put(0x80 | ((cp >> 12) & 0x3F));
      put(0x80 | ((cp >> 6) & 0x3F));
    }
    put(0x80 | (cp & 0x3F));
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  Utf16ToUtf8(utf16, out);
  return out;
}

std::string ToLower(std::string_view utf8) { return MapCase(utf8, LowerOf); }
std::string ToUpper(std::string_view utf8) { return MapCase(utf8, UpperOf); }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    char32_t ca, cb;
    std::size_t la = DecodeUtf8(a, i, ca), lb = DecodeUtf8(b, j, cb);
    if (la == 0) ca = 0x110000 + static_cast<unsigned char>(a[i]), la = 1;
    if (lb == 0) cb = 0x110000 + static_cast<unsigned char>(b[j]), lb = 1;
    if (LowerOf(ca) != LowerOf(cb)) return false;
    i += la;
    j += lb;
  }
  return i == a.size() && j == b.size();
}

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
  return text;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

}  // namespace platform
