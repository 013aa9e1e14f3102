#pragma once
// A logical DBF value: "T" or "Y" (and the Swedish "J") set, "F" or "N" not
// set, in either case; blank or "?" (never given) not set either. Any other
// text is no logical value: std::nullopt, so that a damaged flag is never
// taken as one the company set or cleared.
#include <optional>
#include <string_view>

inline std::optional<bool> ReadLogical(std::string_view text) {
  if (text.empty()) return false;
  if (text.size() > 1) return std::nullopt;
  switch (text.front()) {
    case 'T': case 't': case 'Y': case 'y': case 'J': case 'j': return true;
    case 'F': case 'f': case 'N': case 'n': case '?': case ' ': return false;
    default: return std::nullopt;
  }
}

// Whether a logical value is set; a text that is no logical value counts as
// not set (where that matters the reader checks it with ReadLogical first).
inline bool IsLogicalSet(std::string_view text) { return ReadLogical(text).value_or(false); }
