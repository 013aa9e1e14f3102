#pragma once
// UTF-8 inside the program, UTF-16 (16-bit SQLWCHAR) towards the driver.
#include <string>
#include <string_view>

#include <sqltypes.h>

namespace lumdb {

using sqlwstring = std::basic_string<SQLWCHAR>;

sqlwstring to_sqlwchar(std::string_view utf8);
std::string from_sqlwchar(const SQLWCHAR* text, std::size_t units);
std::u16string u16_from_sqlwchar(const SQLWCHAR* text, std::size_t units);

}  // namespace lumdb
