#pragma once
// The SIE files of a company of the Administration line, made by the desktop
// side, never by us: the development kit when it can, otherwise the running
// program over DDE. Before that the company is checked: a program that can
// export its database version, a booking year, a chart of accounts the cloud
// can take. The checks and the producers are the same whether the company lies
// in DBF tables or in SQL Server; a reader of either kind only reads the
// booking years and looks for accounts outside the cloud's range.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "app/reader_interfaces/source_readers.h"

namespace platform {
class Prompter;
}

struct SieBookingYear {
  std::string id;         // the first character of AAR_ID (UTF-8); empty for none
  int start = 0;          // first day as the number yyyymmdd
  std::string startText;  // first day, yyyymmdd
  std::string endText;    // last day, yyyymmdd
  std::string chartType;
};

struct SieBookingYears {
  SieBookingYear current;
  SieBookingYear previous;  // id empty when there is none to export
};

// The year with the latest start on or before `today` (yyyymmdd) is the current
// one, the year with the next latest the previous one; a year starting after
// today counts for neither. Walked in the order given: a year whose start equals
// the current year's competes only for the previous year.
SieBookingYears ChooseSieBookingYears(std::vector<SieBookingYear> years, int today);

// Today's date as the number yyyymmdd, from the program's clock.
int SieToday();

class DesktopSieReader : public I_QZ_SIE {
 public:
  bool IsAvailable() override;
  bool MoveFirst() override { return false; }
  bool MoveNext() override { return false; }

  std::string GetFilePath() override { return filePath_; }
  std::string GetFilePathPreviousYear() override { return filePathPreviousYear_; }
  std::vector<ReportRow> CreateSieFiles() override;

 protected:
  // `prompter` tells the user before the desktop program is started; the kit is
  // opened with the desktop program's user when `kitWithDesktopLogin`.
  DesktopSieReader(platform::Prompter& prompter, bool kitWithDesktopLogin);

  virtual const std::string& SieCompanyFolder() const = 0;
  // Every booking year of the company in the table's order; none when they cannot be read.
  virtual std::vector<SieBookingYear> ReadBookingYears() = 0;
  // True when the chart of the current or the previous year holds an account
  // number below 1000 or above 8999, which the cloud cannot book on.
  virtual bool HasAccountOutsideRange(const SieBookingYears& years) = 0;
  // What the reader read of the company, which the files written must tell:
  // its name and organisation number (nullopt for what it could not read), and
  // how many accounts the chart of the current and of the previous year holds
  // (not compared when the chart could not be counted).
  void KeepCompanyRead(std::optional<std::string> name, std::optional<std::string> orgNr);
  void KeepAccountCounts(std::size_t currentYear, std::size_t previousYear);
  // A reader's row about the tables the files are made from, taken into the
  // rows once the booking years are read and again after the chart check: a
  // "Warning" row (a check that could not be made) goes along with the export;
  // an "Error" row (a table that could not be read whole) stops it there, so no
  // file is made short.
  void AddTableRow(const char* kind, const char* caption, std::string text);

 private:
  // Through the kit; false (paths emptied) when the kit failed.
  bool ExportThroughKit(int product, const SieBookingYears& years, const std::string& folder);
  void ExportThroughProgram(int product, const SieBookingYears& years, const std::string& folder,
                            std::vector<ReportRow>& rows);
  // Keeps a path only for a file that was written; a row for each one that was not.
  void KeepWrittenFiles(std::vector<ReportRow>& rows);
  // Keeps the paths only when every file written tells what the reader read;
  // otherwise an Error row says why and nothing is sent.
  void KeepMatchingFiles(const SieBookingYears& years, std::vector<ReportRow>& rows);
  // Moves the table rows into `rows`; true when one of them stops the export.
  bool TakeTableRows(std::vector<ReportRow>& rows);

  platform::Prompter& prompter_;
  const bool kitWithDesktopLogin_;
  std::string filePath_;
  std::string filePathPreviousYear_;
  std::vector<ReportRow> tableRows_;
  std::optional<std::string> companyName_;
  std::optional<std::string> orgNr_;
  std::optional<std::size_t> currentYearAccounts_;
  std::optional<std::size_t> previousYearAccounts_;
};
