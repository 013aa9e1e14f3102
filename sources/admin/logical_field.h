#pragma once
// A logical DBF column counts as set when its text begins with "T" or "t";
// "F", blank, "?" and anything else count as not set.
#include <string_view>

inline bool IsLogicalSet(std::string_view text) { return !text.empty() && (text.front() == 'T' || text.front() == 't'); }
