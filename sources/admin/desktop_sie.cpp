#include "sources/admin/desktop_sie.h"

#include <filesystem>
#include <stdexcept>

#include "app/application.h"
#include "app/desktop/company_identification.h"
#include "app/desktop/desktop_programs.h"
#include "app/desktop/desktop_services.h"
#include "app/reader_interfaces/sie_file_check.h"
#include "platform/clock.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/prompter.h"
#include "sources/admin/bix_kit.h"
#include "sources/admin/dde_export.h"
#include "sources/admin/sie_versions.h"

namespace {

constexpr const char* kCurrentYearFile = "SIE.SE";
constexpr const char* kPreviousYearFile = "SIEPREV.SE";
constexpr int kSieType = 4;
// Companies of the smallest edition have no kit licence: their SIE comes from the program.
constexpr int kLargestEditionWithoutKit = 200;

ReportRow Row(const char* kind, const char* caption, std::string text) {
  return {"", "SIE", kind, caption, std::move(text)};
}
ReportRow ErrorRow(std::string text) { return Row(report::kError, report::kCaptionError, std::move(text)); }
ReportRow NoVouchersRow() {
  return Row(report::kInfo, report::kCaptionIndent, "Inga verifikationer kommer att kunna importeras till Molnix.");
}

// Charts of accounts the cloud cannot take vouchers in (exact, case-sensitive).
bool IsOldChartType(const std::string& type) { return type == "BAS95" || type == "BAS96" || type == "NE2007"; }

// yyyymmdd as yyyy-mm-dd; empty when the text is too short to be a date.
std::string FirstDayText(const std::string& start) {
  if (start.size() < 8) return {};
  return start.substr(0, 4) + "-" + start.substr(4, 2) + "-" + start.substr(6);
}

bool IsNonEmptyFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) > 0 && !ec;
}

template <class Session>
void ExportWithSession(const std::string& companyFolder, bool withDesktopLogin, const SieBookingYears& years,
                       const std::string& folder, std::string& filePath, std::string& filePathPreviousYear) {
  Session session(companyFolder, withDesktopLogin);
  // A remark code (false) counts as written; whether a file came is checked afterwards.
  session.BixGetSie.CallLocked(kSieType, years.current.id, kCurrentYearFile, folder);
  filePath = platform::JoinPath(folder, kCurrentYearFile);
  if (!years.previous.id.empty()) {
    session.BixGetSie.CallLocked(kSieType, years.previous.id, kPreviousYearFile, folder);
    filePathPreviousYear = platform::JoinPath(folder, kPreviousYearFile);
  }
}

}  // namespace

SieBookingYears ChooseSieBookingYears(std::vector<SieBookingYear> years, int today) {
  SieBookingYears chosen;
  for (SieBookingYear& year : years) {
    if (year.start > today) continue;
    if (year.start > chosen.current.start) {
      chosen.previous = std::move(chosen.current);
      chosen.current = std::move(year);
    } else if (year.start > chosen.previous.start) {
      chosen.previous = std::move(year);
    }
  }
  return chosen;
}

int SieToday() {
  const platform::LocalDateTime now = platform::CurrentClock().Now();
  return now.year * 10000 + now.month * 100 + now.day;
}

DesktopSieReader::DesktopSieReader(platform::Prompter& prompter, bool kitWithDesktopLogin)
    : prompter_(prompter), kitWithDesktopLogin_(kitWithDesktopLogin) {}

bool DesktopSieReader::IsAvailable() {
  return IdentifyCompany(SieCompanyFolder(), false).product != kProductInvoicing;
}

std::vector<ReportRow> DesktopSieReader::CreateSieFiles() {
  std::vector<ReportRow> rows;
  // The paths name only files that this call writes.
  filePath_.clear();
  filePathPreviousYear_.clear();
  const SourceCompany company = IdentifyCompany(SieCompanyFolder(), false);
  if (company.product == kProductInvoicing) {
    rows.push_back(ErrorRow("Fakturering stöder inte SIE-överföring."));
    return rows;
  }
  // An association company is exported by the association program, any other by the administration program.
  const bool associationCompany = company.product == kProductAssociation;
  const DesktopProgramInfo& program =
      DesktopProgram(associationCompany ? kProductAssociation : kProductAdministration);
  const std::string programName = associationCompany ? "Tessal Vadorado" : "Tessal Administration";
  if (!program.installed) {
    rows.push_back(ErrorRow("För att kunna skapa SIE-filer krävs att " + programName + " är installerat på datorn."));
    return rows;
  }
  if (!IsSieVersionAccepted(program.version, company.version)) {
    rows.push_back(ErrorRow("För att kunna skapa SIE-filer krävs att installerad version av " + programName +
                            " stöder\r\n\tföretagets databasversion."));
    return rows;
  }
  if (!associationCompany && company.edition != program.installedEdition) {
    rows.push_back(ErrorRow(
        "SIE-fil kunde inte skapas. Företaget måste vara från samma programvariant av Tessal Administration\r\n\t"
        "som finns installerad på datorn."));
    return rows;
  }

  tableRows_.clear();
  currentYearAccounts_.reset();  // until the chart is counted
  previousYearAccounts_.reset();
  std::vector<SieBookingYear> bookingYears = ReadBookingYears();
  if (TakeTableRows(rows)) return rows;
  SieBookingYears years = ChooseSieBookingYears(std::move(bookingYears), SieToday());
  if (years.current.id.empty()) {
    rows.push_back(ErrorRow("Företaget saknar bokföringsår och SIE kan inte skapas."));
    return rows;
  }
  if (IsOldChartType(years.current.chartType)) {
    rows.push_back(Row(report::kAccountType, report::kCaptionError,
                       "Kontoplanen är av typen " + years.current.chartType + "."));
    rows.push_back(NoVouchersRow());
    return rows;
  }
  const bool accountOutsideRange = HasAccountOutsideRange(years);
  if (TakeTableRows(rows)) return rows;
  if (accountOutsideRange) {
    rows.push_back(Row(report::kAccountType, report::kCaptionError,
                       "Kontoplanen innehåller kontonummer som börjar på 0 eller 9."));
    rows.push_back(NoVouchersRow());
    return rows;
  }
  if (!years.previous.id.empty() && IsOldChartType(years.previous.chartType)) {
    rows.push_back(Row(report::kWarning, report::kCaptionWarning,
                       "Kontoplanen är av typen " + years.previous.chartType + "."));
    rows.push_back(Row(report::kInfo, report::kCaptionIndent,
                       "Inga verifikationer för året " + years.previous.startText + " - " +
                           years.previous.endText + " kommer att kunna importeras till Molnix."));
    years.previous = {};  // left out of the export
  }

  const std::string folder = CreateExportTempFolder();
  if (folder.empty()) {
    rows.push_back(ErrorRow("SIE-fil kunde inte skapas. Det gick inte att skapa en tillfällig mapp."));
    return rows;
  }

  const bool kitAllowed = company.product == kProductAssociation || company.edition > kLargestEditionWithoutKit;
  if (!kitAllowed || !ExportThroughKit(company.product, years, folder)) {
    ExportThroughProgram(company.product, years, folder, rows);
  }
  KeepWrittenFiles(rows);
  KeepMatchingFiles(years, rows);
  return rows;
}

bool DesktopSieReader::ExportThroughKit(int product, const SieBookingYears& years, const std::string& folder) {
  try {
    if (product == kProductAssociation) {
      ExportWithSession<BixFor::CBixSession>(SieCompanyFolder(), kitWithDesktopLogin_, years, folder, filePath_,
                                             filePathPreviousYear_);
    } else {
      ExportWithSession<BixAdm::CBixSession>(SieCompanyFolder(), kitWithDesktopLogin_, years, folder, filePath_,
                                             filePathPreviousYear_);
    }
    return true;
  } catch (const std::runtime_error&) {
    // The kit has logged why; the desktop program makes both files instead.
    filePath_.clear();
    filePathPreviousYear_.clear();
    return false;
  }
}

void DesktopSieReader::ExportThroughProgram(int product, const SieBookingYears& years, const std::string& folder,
                                     std::vector<ReportRow>& rows) {
  const bool association = product == kProductAssociation;
  const DesktopProgramInfo& program = DesktopProgram(association ? kProductAssociation : kProductAdministration);
  const std::string programFile = platform::JoinPath(program.path, association ? "KolmFor.exe" : "KolmAdm.exe");
  const char* productWord = association ? "Vadorado" : "Administration";

  const std::string firstDay = FirstDayText(years.current.startText);
  const bool previousYear = !years.previous.id.empty();
  const std::string previousFirstDay = previousYear ? FirstDayText(years.previous.startText) : std::string();
  const ReportRow failed =
      ErrorRow(std::string("SIE-fil kunde inte skapas. Det gick inte öppna företaget i Tessal ") + productWord + ".");
  filePath_.clear();
  filePathPreviousYear_.clear();
  // The program selects a year by its first day; without one it cannot export it.
  if (firstDay.empty() || (previousYear && previousFirstDay.empty())) {
    rows.push_back(failed);
    return;
  }

  if (!dde::CurrentDesktopControl().CanStartPrograms()) {
    WriteLog(std::string("SIE: Tessal ") + productWord + " kan inte startas på den här datorn.");
    rows.push_back(failed);
    return;
  }
  prompter_.Tell(std::string("Tessal ") + productWord +
                     " kommer nu att starta för att kunna skapa SIE-filer. För att slutföra SIE-exporten kan du "
                     "behöva gå igenom vissa dialoger i programmet.",
                 GetAppCaption(), platform::PromptIcon::Information);

  const std::string sieFile = platform::JoinPath(folder, kCurrentYearFile);
  const std::string previousSieFile = previousYear ? platform::JoinPath(folder, kPreviousYearFile) : std::string();
  if (!dde::ExportSieThroughDde(programFile, SieCompanyFolder(), sieFile, firstDay, product == kProductAdministration,
                                previousSieFile, previousFirstDay)) {
    rows.push_back(failed);
    return;
  }
  filePath_ = sieFile;
  filePathPreviousYear_ = previousSieFile;
}

void DesktopSieReader::KeepCompanyRead(std::optional<std::string> name, std::optional<std::string> orgNr) {
  companyName_ = std::move(name);
  orgNr_ = std::move(orgNr);
}

void DesktopSieReader::KeepAccountCounts(std::size_t currentYear, std::size_t previousYear) {
  currentYearAccounts_ = currentYear;
  previousYearAccounts_ = previousYear;
}

void DesktopSieReader::KeepMatchingFiles(const SieBookingYears& years, std::vector<ReportRow>& rows) {
  const auto expected = [this](const SieBookingYear& year, std::optional<std::size_t> accounts) {
    return SieFileExpectation{companyName_, orgNr_, {year.startText, year.endText}, std::nullopt, accounts};
  };
  bool matching = true;
  if (!filePath_.empty()) {
    SieFileExpectation current = expected(years.current, currentYearAccounts_);
    if (!years.previous.id.empty()) current.yearBefore = SieYearDates{years.previous.startText, years.previous.endText};
    matching = CheckSieFile(filePath_, current, rows);
  }
  if (!filePathPreviousYear_.empty()) {
    matching = CheckSieFile(filePathPreviousYear_, expected(years.previous, previousYearAccounts_), rows) && matching;
  }
  if (matching) return;
  filePath_.clear();
  filePathPreviousYear_.clear();
}

void DesktopSieReader::AddTableRow(const char* kind, const char* caption, std::string text) {
  tableRows_.push_back(Row(kind, caption, std::move(text)));
}

bool DesktopSieReader::TakeTableRows(std::vector<ReportRow>& rows) {
  bool stops = false;
  for (ReportRow& row : tableRows_) {
    stops = stops || row.kind == report::kError;
    rows.push_back(std::move(row));
  }
  tableRows_.clear();
  return stops;
}

void DesktopSieReader::KeepWrittenFiles(std::vector<ReportRow>& rows) {
  const auto missingText = [](const std::string& path) {
    return "SIE-filen " + std::filesystem::path(path).filename().string() + " kunde inte skapas.";
  };
  // Without the current year's file nothing is sent, the previous year's neither.
  if (!filePath_.empty() && !IsNonEmptyFile(filePath_)) {
    rows.push_back(ErrorRow(missingText(filePath_)));
    filePath_.clear();
    filePathPreviousYear_.clear();
    return;
  }
  // The current year's file goes without the previous year's.
  if (!filePathPreviousYear_.empty() && !IsNonEmptyFile(filePathPreviousYear_)) {
    rows.push_back(Row(report::kWarning, report::kCaptionWarning, missingText(filePathPreviousYear_)));
    filePathPreviousYear_.clear();
  }
}
