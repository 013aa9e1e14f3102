#pragma once
// The program-wide locale: the classic locale (numbers always with "." and no
// grouping) with the user's character classification and collation, and a
// UTF-8 conversion between narrow and wide text, since narrow text is UTF-8
// inside the program whatever LANG says. Installed as the global locale.
#include <locale>

namespace lumdb {

// Sets the locale up once; a second call returns at once. Never throws: a
// missing or odd LANG falls back to the classic locale.
void init_program_locale();

// Null before init_program_locale; valid for the life of the process after it.
const std::locale* program_locale();

}  // namespace lumdb
