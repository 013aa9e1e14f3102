#include "sources/admin/admin_sie.h"

#include "platform/text.h"
#include "sources/admin/parameter_tables.h"

// The kit opens a DBF company without the desktop program's user.
CAdminSie::CAdminSie(std::string folder, platform::Prompter& prompter)
    : CBookingYearDb(std::move(folder)), DesktopSieReader(prompter, false) {}

std::vector<ReportRow> CAdminSie::CreateSieFiles() {
  std::vector<ReportRow> rows;
  CAdminPrm(Folder()).AddRequiredTableRows(rows);  // which program and version the company is of
  AddDamageRows(rows);  // without BOKFAAR.DBF the company has no booking year, which the export says
  // A company with booking years has a chart of accounts; without it the files would hold no account.
  if (Exists()) CKontoDb(Folder()).AddRequiredTableRows(rows);
  if (!rows.empty()) return rows;
  return DesktopSieReader::CreateSieFiles();
}

std::vector<SieBookingYear> CAdminSie::ReadBookingYears() {
  std::vector<SieBookingYear> years;
  for (bool more = MoveFirstRecord(); more; more = MoveNextRecord()) {
    SieBookingYear& year = years.emplace_back();
    year.id = platform::Utf8Truncate(GetYearId(), 1);
    year.startText = GetStart();
    year.start = ToInt(year.startText);
    year.endText = GetEnd();
    year.chartType = GetChartType();
  }
  CloseTable();
  return years;
}

bool CAdminSie::HasAccountOutsideRange(const SieBookingYears& years) {
  CKontoDb accounts(Folder());
  for (bool more = accounts.MoveFirstRecord(); more; more = accounts.MoveNextRecord()) {
    const std::string yearId = accounts.GetYearId();
    const bool ofExportedYear = yearId.starts_with(years.current.id) ||
                                (!years.previous.id.empty() && yearId.starts_with(years.previous.id));
    if (!ofExportedYear) continue;
    const int account = ToInt(accounts.GetAccount());
    if (account < 1000 || account > 8999) return true;
  }
  return false;
}
