#include "app/reader_interfaces/sie_file_check.h"

#include <filesystem>
#include <string_view>

#include "platform/files.h"
#include "platform/text.h"

namespace {

using Fields = std::vector<std::string>;

// The fields of one line: separated by blanks or tabs; a field in quotes may
// hold blanks, with \" and \\ for a quote and a backslash.
Fields SplitFields(std::string_view line) {
  Fields fields;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t') {
      ++i;
      continue;
    }
    std::string field;
    if (line[i] == '"') {
      for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        field.push_back(line[i]);
      }
      ++i;  // the closing quote
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') field.push_back(line[i++]);
    }
    fields.push_back(std::move(field));
  }
  return fields;
}

// The items of the file (lines that start with a label), in file order.
std::vector<Fields> ReadItems(std::string_view text) {
  std::vector<Fields> items;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    Fields fields = SplitFields(line);
    if (!fields.empty() && fields.front().starts_with('#')) items.push_back(std::move(fields));
  }
  return items;
}

std::string Trimmed(std::string_view text) { return std::string(platform::Trim(text)); }

// Organisation numbers are written with or without the dash and blanks.
std::string OrgNrDigits(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (!platform::IsWhiteSpace(c) && c != '-') out.push_back(c);
  }
  return out;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string YearText(const SieYearDates& year) { return year.start + " - " + year.end; }

// The dates of the first "#RAR <index>" item; nullopt when the file has none.
std::optional<SieYearDates> FileYear(const std::vector<Fields>& items, std::string_view index) {
  for (const Fields& item : items) {
    if (item[0] != "#RAR" || item.size() < 2 || item[1] != index) continue;
    return SieYearDates{item.size() > 2 ? item[2] : "", item.size() > 3 ? item[3] : ""};
  }
  return std::nullopt;
}

// yyyymmdd of a day that can be (the calendar's finer points aside).
bool IsDate(std::string_view text) {
  if (text.size() != 8 || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
  const int year = std::stoi(std::string(text.substr(0, 4)));
  const int month = std::stoi(std::string(text.substr(4, 2)));
  const int day = std::stoi(std::string(text.substr(6, 2)));
  return year > 0 && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}
bool HasDates(const SieYearDates& year) { return IsDate(year.start) && IsDate(year.end); }

void AddReason(std::string& reasons, const std::string& reason) {
  if (!reasons.empty()) reasons += "; ";
  reasons += reason;
}

}  // namespace

std::string SieFileMismatch(const std::string& path, const SieFileExpectation& expected) {
  const std::optional<std::string> bytes = platform::ReadWholeFile(path);
  if (!bytes) return "filen kan inte läsas";
  const std::vector<Fields> items = ReadItems(platform::DecodeToUtf8(*bytes, platform::CodePage::Cp437));
  if (items.empty()) return "filen är ingen SIE-fil";

  std::optional<std::string> name, orgNr;
  std::size_t accounts = 0;
  for (const Fields& item : items) {
    if (item[0] == "#FNAMN" && !name) name = item.size() > 1 ? item[1] : "";
    if (item[0] == "#ORGNR" && !orgNr) orgNr = item.size() > 1 ? item[1] : "";
    if (item[0] == "#KONTO") ++accounts;
  }

  std::string reasons;
  if (expected.companyName) {
    // The name as the file's code page can carry it: a letter it lacks is no mismatch.
    const std::string expectedName = Trimmed(platform::DecodeToUtf8(
        platform::EncodeFromUtf8(*expected.companyName, platform::CodePage::Cp437), platform::CodePage::Cp437));
    if (Trimmed(name.value_or("")) != expectedName) {
      AddReason(reasons, "företagsnamnet är " + Quoted(name.value_or("")) + " i filen men " + Quoted(expectedName) +
                             " i företaget");
    }
  }
  if (expected.orgNr && OrgNrDigits(orgNr.value_or("")) != OrgNrDigits(*expected.orgNr)) {
    AddReason(reasons, "organisationsnumret är " + Quoted(orgNr.value_or("")) + " i filen men " +
                           Quoted(*expected.orgNr) + " i företaget");
  }
  const std::optional<SieYearDates> year = FileYear(items, "0");
  if (!year) {
    AddReason(reasons, "filen saknar räkenskapsår, företagets är " + YearText(expected.year));
  } else if (year->start != expected.year.start || year->end != expected.year.end) {
    AddReason(reasons, "räkenskapsåret är " + YearText(*year) + " i filen men " + YearText(expected.year) +
                           " i företaget");
  }
  // The year before is compared only with one read with its dates; without one
  // the file's must at least be a year.
  const std::optional<SieYearDates> yearBefore = FileYear(items, "-1");
  if (yearBefore && expected.yearBefore && HasDates(*expected.yearBefore)) {
    if (yearBefore->start != expected.yearBefore->start || yearBefore->end != expected.yearBefore->end) {
      AddReason(reasons, "föregående räkenskapsår är " + YearText(*yearBefore) + " i filen men " +
                             YearText(*expected.yearBefore) + " i företaget");
    }
  } else if (yearBefore && !HasDates(*yearBefore)) {
    AddReason(reasons, "föregående räkenskapsår är " + YearText(*yearBefore) + " i filen, vilket inte är datum");
  }
  if (expected.accountCount && accounts != *expected.accountCount) {
    AddReason(reasons, "filen har " + std::to_string(accounts) + " konton men kontoplanen " +
                           std::to_string(*expected.accountCount));
  }
  return reasons;
}

bool CheckSieFile(const std::string& path, const SieFileExpectation& expected, std::vector<ReportRow>& rows) {
  const std::string mismatch = SieFileMismatch(path, expected);
  if (mismatch.empty()) return true;
  rows.push_back({"", "SIE", report::kError, report::kCaptionError,
                  "SIE-fil kunde inte skapas. Filen " + std::filesystem::path(path).filename().string() +
                      " stämmer inte med företagets tabeller: " + mismatch + "."});
  return false;
}
