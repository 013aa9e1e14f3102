#include "lumdb/record/odbc_text.h"

#include "platform/text.h"

namespace lumdb {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager's wide characters are UTF-16");

sqlwstring to_sqlwchar(std::string_view utf8) {
  const std::u16string utf16 = platform::Utf8ToUtf16(utf8);
  return sqlwstring(utf16.begin(), utf16.end());
}

std::u16string u16_from_sqlwchar(const SQLWCHAR* text, std::size_t units) {
  return std::u16string(text, text + units);
}

std::string from_sqlwchar(const SQLWCHAR* text, std::size_t units) {
  return platform::Utf16ToUtf8(u16_from_sqlwchar(text, units));
}

}  // namespace lumdb
