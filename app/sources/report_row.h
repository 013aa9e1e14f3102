#pragma once
// One line of the prepare report: what a reader or an upload job says about a
// record (key and name set) or about a whole data kind (key empty).
#include <string>
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

// A row about one record, named by its key and name.
inline ReportRow RecordRow(std::string key, std::string name, const char* kind, const char* caption,
                           std::string text) {
  if (key.empty() && name.empty()) key = kMissingKey;
  return {std::move(key), std::move(name), kind, caption, std::move(text)};
}
}  // namespace report
