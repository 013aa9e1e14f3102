#pragma once
// Checks of Swedish identity numbers: the modulus-10 (Luhn) check digit and
// personal or organisation numbers (YYMMDDNNNC or YYYYMMDDNNNC).
#include <string_view>

// Modulus-10 check from the right: every second digit doubled (less 9 above 9),
// the total divisible by 10. False at the first character that is not a digit;
// the empty text passes.
bool CheckLuhn(std::string_view digits);

// A personal or organisation number, with or without "-", " " or "+" between
// the parts. Coordination numbers (day raised by 60) pass. A ten-digit number
// is placed in the latest century that does not put it in the future, one
// century earlier when it carries a "+" (the mark of a person over 100).
bool IsValidIdentityNumber(std::string_view text);
