#include "sources/vardo/vardo_sie.h"

#include <exception>
#include <filesystem>

#include "app/reader_interfaces/sie_file_check.h"
#include "platform/text.h"
#include "sources/vardo/vardo_companies.h"
#include "sources/vardo/vardo_environment.h"
#include "sources/vardo/vardo_reader_values.h"

namespace {

constexpr double kLowestSupportedVersion = 6.0;
constexpr int kFirstEuBas97Chart = 200;
constexpr const char* kCurrentYearFile = "SIE.SE";
constexpr const char* kPreviousYearFile = "SIEPREV.SE";

ReportRow Row(const char* kind, const char* caption, std::string text) {
  return {"", "SIE", kind, caption, std::move(text)};
}
ReportRow ErrorRow(std::string text) { return Row(report::kError, report::kCaptionError, std::move(text)); }
constexpr const char* kNotMade = "SIE-fil kunde inte skapas. ";

// A file from a table that cannot be read whole would lack accounts or years:
// the rows that say so stop the export. False for a table read whole.
bool AddTableDamage(const CVardoCompanyDb& table, std::vector<ReportRow>& rows) {
  std::vector<ReportRow> damage;
  table.AddDamageRows(damage);
  for (const ReportRow& row : damage) rows.push_back(ErrorRow(kNotMade + row.text));
  return !damage.empty();
}
// A value of a booking year or an account that does not read would give a
// file for another year or one short of accounts: the row that says so stops the export.
bool AddDamagedValues(CVardoCompanyDb& table, std::vector<ReportRow>& rows) {
  const std::vector<VardoDamagedValue>& damaged = table.DamagedValues();
  if (damaged.empty()) return false;
  rows.push_back(ErrorRow(kNotMade + VardoDamageText(table.TableId(), VardoDamagedValuesText(damaged))));
  return true;
}
// A finding in the chart of accounts: the row and the note that no voucher can follow.
void AddAccountRows(std::vector<ReportRow>& rows, const char* caption, std::string text) {
  rows.push_back(Row(report::kAccountType, caption, std::move(text)));
  rows.push_back(Row(report::kInfo, report::kCaptionIndent, "Inga verifikationer kommer att kunna importeras till Molnix."));
}

std::string ChartType(int chart) { return chart < kFirstEuBas97Chart ? "BAS96" : "EUBAS97"; }
bool IsOldChartType(const std::string& type) { return type == "BAS95" || type == "BAS96" || type == "NE2007"; }

bool IsWrittenFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) > 0 && !ec;
}

// Removes what an earlier export left; false when a file stays.
bool RemoveOldFile(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  return !std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

// A date value of the API as a SIE file writes it (yyyymmdd); empty for none.
std::string SieDate(int date) {
  std::string text = FormatVardoDate(date);
  std::erase(text, '-');
  return text;
}

// The accounts of a chart, as a file of its year lists them: a record without a number is none.
std::size_t CountChartAccounts(Vardo::CKontoDb& accounts, int chart) {
  constexpr int kTable = vardo_table::kAccount;
  std::size_t count = 0;
  for (bool more = accounts.MoveFirst(); more; more = accounts.MoveNext()) {
    if (accounts.GetLong(kTable, "ACCCHART") != chart) continue;
    if (!platform::Trim(accounts.GetString(kTable, "ACCNO")).empty()) ++count;
  }
  return count;
}

}  // namespace

std::vector<ReportRow> CVardoSie::CreateSieFiles() {
  std::vector<ReportRow> rows;
  const SourceCompany company = IdentifyVardoCompany(CompanyFolder());
  const VardoEnvironment& vardo = ProcessVardoEnvironment();
  if (!vardo.installed) {
    rows.push_back(ErrorRow("För att kunna skapa SIE-filer krävs att Tessal Vardo är installerat på datorn."));
    return rows;
  }
  if (company.version < kLowestSupportedVersion || vardo.version < kLowestSupportedVersion) {
    rows.push_back(ErrorRow(
        "För att kunna skapa SIE-filer krävs att installerad version av Tessal Vardo stöder\r\n\t"
        "företagets databasversion."));
    return rows;
  }
  if (company.edition != vardo.installedEdition) {
    rows.push_back(ErrorRow(
        "SIE-fil kunde inte skapas. Företaget måste vara från samma programvariant av Tessal Vardo\r\n\t"
        "som finns installerad på datorn."));
    return rows;
  }
  try {
    Export(rows);
  } catch (const VardoDatabaseError& error) {
    // The database could not read a table whole: no file is made from it.
    filePath_.clear();
    filePathPreviousYear_.clear();
    rows.push_back(ErrorRow(kNotMade + VardoDamageText(error.Detail(), error.Text())));
  } catch (const std::exception&) {
    // The database API reported an error (it is in the log): whatever was written is not kept.
    filePath_.clear();
    filePathPreviousYear_.clear();
    rows.push_back(ErrorRow("SIE-fil kunde inte skapas. Ett fel uppstod i Tessal Vardos databas."));
  }
  CloseVardoDatabase();
  return rows;
}

void CVardoSie::Export(std::vector<ReportRow>& rows) {
  const std::string folder = CreateTempWorkFolder();
  if (folder.empty() || !std::filesystem::is_directory(folder)) {
    rows.push_back(ErrorRow("SIE-fil kunde inte skapas. Det gick inte att skapa en tillfällig mapp."));
    return;
  }
  // The working folder serves every export of the run: a file left by an earlier one must not be taken for this one's.
  for (const char* name : {kCurrentYearFile, kPreviousYearFile}) {
    const std::string path = FormatSieFilePath(folder, name);
    if (!RemoveOldFile(path)) {
      rows.push_back(ErrorRow("SIE-fil kunde inte skapas. Den gamla filen " + path + " kunde inte tas bort."));
      return;
    }
  }

  VardoDatabaseSetPath(CompanyFolder().c_str());
  const int opened = OpenVardoDatabase(GetLastPathComponent(CompanyFolder()).c_str());
  if (opened != kVardoOpenOk && opened != kVardoAlreadyOpen) {
    rows.push_back(ErrorRow("SIE-fil kunde inte skapas. Företagets databas kunde inte öppnas."));
    return;
  }

  // The tables stay open until the files are written: destroying one closes the database.
  // The files carry the company's name and number, from its record in CLIENT.DBF.
  CVardoPrm client(CompanyFolder());
  client.MoveFirst();
  std::vector<ReportRow> unreadClient;
  client.AddSettingsTableRows(unreadClient);
  for (const ReportRow& row : unreadClient) rows.push_back(ErrorRow(kNotMade + row.text));
  if (!unreadClient.empty()) return;
  Vardo::CBookingYearDb years(CompanyFolder());
  VardoSieYear current, previous;
  bool hasPrevious = false;
  if (!ReadYears(years, current, previous, hasPrevious, rows)) return;
  Vardo::CKontoDb accounts(CompanyFolder());
  if (HasRefusedAccount(accounts, current.chart, hasPrevious ? previous.chart : 0, rows)) return;

  const std::string companyName = client.GetString(vardo_table::kClient, "CLNAME");
  const std::string orgNr = client.GetString(vardo_table::kClient, "ORGNO");
  const std::size_t currentAccounts = CountChartAccounts(accounts, current.chart);
  const std::size_t previousAccounts = hasPrevious ? CountChartAccounts(accounts, previous.chart) : 0;
  for (const VardoSieYear* year : {&current, &previous}) {
    if (IsOldChartType(year->chartType)) {
      AddAccountRows(rows, report::kCaptionWarning, "Kontoplanen är av typen " + year->chartType + ".");
      return;
    }
    if (year == &previous && !hasPrevious) return;
    const std::string path = FormatSieFilePath(folder, year->fileName);
    if (ExportVardoSieFile(path.c_str(), year->begin) != 0 || !IsWrittenFile(path)) {
      // The current year's file goes without the previous year's; without the current year's nothing goes.
      const std::string text = std::string("SIE-filen ") + year->fileName + " kunde inte skapas.";
      rows.push_back(year == &current ? ErrorRow(text) : Row(report::kWarning, report::kCaptionWarning, text));
      return;
    }
    // The database reads the tables again to write the file: it must tell what was read here.
    SieFileExpectation expected{companyName, orgNr, {SieDate(year->begin), SieDate(year->end)}, std::nullopt,
                                year == &current ? currentAccounts : previousAccounts};
    if (year == &current && hasPrevious) {
      expected.yearBefore = SieYearDates{SieDate(previous.begin), SieDate(previous.end)};
    }
    if (!CheckSieFile(path, expected, rows)) {
      filePath_.clear();
      filePathPreviousYear_.clear();
      return;
    }
    (year == &current ? filePath_ : filePathPreviousYear_) = path;
  }
}

// The current year is the one that covers today; when no year does, the last
// one in the table (stepped back past a record without a chart). A year
// without a start date covers no day, today neither.
bool CVardoSie::ReadYears(Vardo::CBookingYearDb& years, VardoSieYear& current, VardoSieYear& previous,
                          bool& hasPrevious, std::vector<ReportRow>& rows) {
  constexpr int kTable = vardo_table::kAccountYear;
  const auto noYear = [&rows] {
    rows.push_back(ErrorRow("Företaget saknar bokföringsår och SIE kan inte skapas."));
    return false;
  };
  const int today = VardoGetYearNo(0);
  if (!years.MoveFirst()) {
    if (!AddTableDamage(years, rows)) noYear();
    return false;
  }
  int counted = 0;
  do {
    const int begin = years.GetDate(kTable, "BEGIN");
    if (AddDamagedValues(years, rows)) return false;
    const int number = begin == 0 ? kVardoPositionFailed : VardoGetYearNo(begin);
    if (number != kVardoPositionFailed) ++counted;
    if (today > 0 && number > 0 && today == number) break;
  } while (years.MoveNext());
  if (AddTableDamage(years, rows)) return false;
  if (counted == 0) return noYear();

  const auto fill = [&years](VardoSieYear& year, const char* fileName) {
    year.begin = years.GetDate(kTable, "BEGIN");
    year.end = years.GetDate(kTable, "END");
    year.chart = years.GetLong(kTable, "ACCCHART");
    year.chartType = ChartType(year.chart);
    year.fileName = fileName;
  };
  if (years.GetLong(kTable, "ACCCHART") == 0) {
    if (AddDamagedValues(years, rows)) return false;
    VardoRecordPrev(kTable);
  }
  fill(current, kCurrentYearFile);
  if (AddDamagedValues(years, rows)) return false;
  hasPrevious = counted > 1;
  if (hasPrevious) {
    VardoRecordPrev(kTable);
    fill(previous, kPreviousYearFile);
    if (AddDamagedValues(years, rows)) return false;
  }
  return true;
}

// Only a chart that both exported years share is checked.
bool CVardoSie::HasRefusedAccount(Vardo::CKontoDb& accounts, int currentChart, int previousChart,
                                  std::vector<ReportRow>& rows) {
  constexpr int kTable = vardo_table::kAccount;
  if (previousChart == 0 || previousChart != currentChart) return false;
  for (bool more = accounts.MoveFirst(); more; more = accounts.MoveNext()) {
    const int chart = accounts.GetLong(kTable, "ACCCHART");
    if (AddDamagedValues(accounts, rows)) return true;
    if (chart != currentChart) continue;
    const vardo_values::LeadingInteger account = vardo_values::ReadLeadingInteger(accounts.GetString(kTable, "ACCNO"));
    if (!account.found) {
      AddAccountRows(rows, report::kCaptionError, "Kontoplanen innehåller kontonummer med felaktiga tecken.");
      return true;
    }
    const int a = account.value;
    if (account.outOfRange || a > 9999) {
      AddAccountRows(rows, report::kCaptionError, "Kontoplanen innehåller 5-ställigt kontonummer.");
      return true;
    }
    if (a >= 1 && a <= 999) {
      AddAccountRows(rows, report::kCaptionError, "Kontoplanen innehåller kontonummer som börjar på 0.");
      return true;
    }
    if (a >= 9000) {
      AddAccountRows(rows, report::kCaptionError, "Kontoplanen innehåller kontonummer som börjar på 9.");
      return true;
    }
  }
  return AddTableDamage(accounts, rows);
}
