#pragma once
// One line of the prepare report: what a reader or an upload job says about a
// record (key and name set) or about a whole data kind (key empty).
#include <string>
#include <string_view>
#include <utility>

struct ReportRow {
  std::string key;      // article, customer or supplier number, term or method code, invoice number or id
  std::string name;     // the record's name; "SIE" in the rows of the SIE producers
  std::string kind;     // "Error", "Info", "Misc", "Warning", "AccountType": decides how the report counts it
  std::string caption;  // the label that leads the line, e.g. "Fel:", "Varning:"
  std::string text;

  friend bool operator==(const ReportRow&, const ReportRow&) = default;
};

// The kinds and captions in use; comparisons of kinds are exact and case-sensitive.
namespace report {
inline constexpr const char* kError = "Error";
inline constexpr const char* kInfo = "Info";
inline constexpr const char* kMisc = "Misc";
inline constexpr const char* kWarning = "Warning";
inline constexpr const char* kAccountType = "AccountType";

inline constexpr const char* kCaptionError = "Fel:";
inline constexpr const char* kCaptionInf = "Inf:";
inline constexpr const char* kCaptionWarning = "Varning:";
inline constexpr const char* kCaptionIndent = "    ";

// A row about the whole data kind rather than one record (a table that cannot be
// read whole, a reader that cannot be built): it names no record.
inline bool IsAboutWholeKind(const ReportRow& row) { return row.key.empty() && row.name.empty(); }

// The key of a row about a record that has neither key nor name, so that the row
// is never taken for one about the whole kind (and its record is counted).
inline constexpr const char* kMissingKey = "(saknas)";

// The text of the row about a table file that exists but cannot be read whole:
// what could not be read, then what that costs the kind the row stands in (such
// as "priser saknas"), when it costs something the file's own kind does not say.
inline std::string UnreadFileText(std::string_view file, std::string_view lost, std::string_view cost = {}) {
  std::string text = "Filen " + std::string(file) + " kan inte läsas helt: " + std::string(lost);
  if (!cost.empty()) text += "; " + std::string(cost) + ".";
  return text;
}

// The text of the row about a file of the company's settings, which holds them in
// one record, that holds none: every value of it would go out made up.
inline std::string FileWithoutRecordText(std::string_view file) {
  return "Filen " + std::string(file) + " kan inte läsas: filen har ingen post";
}

// A row about one record, named by its key and name.
inline ReportRow RecordRow(std::string key, std::string name, const char* kind, const char* caption,
                           std::string text) {
  if (key.empty() && name.empty()) key = kMissingKey;
  return {std::move(key), std::move(name), kind, caption, std::move(text)};
}
}  // namespace report
