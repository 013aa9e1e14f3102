#pragma once
// The check of a SIE file before it is sent. Whoever writes it (the desktop
// side's kit or program, the Vardo database), it reads the company's tables on
// its own, and a table that another program holds at that moment leaves its
// part out: a file without the company's name, or without accounts, would go
// out as the company's bookkeeping. The file must tell what the converter read:
// the company's name and organisation number, the booking year (and the one
// before, when the file names one), and as many accounts as the year's chart.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "app/reader_interfaces/report_row.h"

struct SieYearDates {
  std::string start;  // yyyymmdd
  std::string end;
};

// What the converter read of the company for one SIE file; what it could not
// read (nullopt) is not compared.
struct SieFileExpectation {
  std::optional<std::string> companyName;
  std::optional<std::string> orgNr;  // empty when the company has none: then the file names none either
  SieYearDates year;                 // the file's own year (#RAR 0)
  // The year before it, when one was read: a #RAR -1 in the file must name it
  // (when its dates could be read; a #RAR -1 must name days in any case).
  std::optional<SieYearDates> yearBefore;
  std::optional<std::size_t> accountCount;  // accounts of the year's chart (#KONTO lines)
};

// Why the SIE 4 file (code page 437) at `path` does not tell what the converter
// read; empty when it does.
std::string SieFileMismatch(const std::string& path, const SieFileExpectation& expected);

// Checks the file; when it does not match, adds the "Error" row of the SIE
// files that says why and returns false.
bool CheckSieFile(const std::string& path, const SieFileExpectation& expected, std::vector<ReportRow>& rows);
