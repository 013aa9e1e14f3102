#include "sources/admin/admin_sie.h"

#include "platform/text.h"
#include "sources/admin/parameter_tables.h"

// The kit opens a DBF company without the desktop program's user.
CAdminSie::CAdminSie(std::string folder, platform::Prompter& prompter)
    : CBookingYearDb(std::move(folder)), DesktopSieReader(prompter, false) {}

std::vector<ReportRow> CAdminSie::CreateSieFiles() {
  std::vector<ReportRow> rows;
  {
    const CAdminPrm prm(Folder());
    prm.AddSettingsTableRows(rows);  // the files carry the company's name and number
    KeepCompanyRead(prm.GetName(), prm.GetOrgNr());
  }
  for (ReportRow& row : rows) row.name = "SIE";  // as every row of the SIE files
  if (!rows.empty()) return rows;
  return DesktopSieReader::CreateSieFiles();
}

void CAdminSie::KeepTableRows(const CAdminCompanyDb& table, bool required) {
  std::vector<ReportRow> rows;
  if (required) {
    table.AddRequiredTableRows(rows);
  } else {
    table.AddDamageRows(rows);
  }
  for (ReportRow& row : rows) AddTableRow(report::kError, report::kCaptionError, std::move(row.text));
}

// Without BOKFAAR.DBF the company has no booking year, which the export says.
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
  KeepTableRows(*this, false);
  CloseTable();
  return years;
}

// A company with booking years has a chart of accounts: without it the files would hold no account.
bool CAdminSie::HasAccountOutsideRange(const SieBookingYears& years) {
  CKontoDb accounts(Folder());
  bool outside = false;
  std::size_t currentYearAccounts = 0, previousYearAccounts = 0;
  for (bool more = accounts.MoveFirstRecord(); more; more = accounts.MoveNextRecord()) {
    const std::string yearId = accounts.GetYearId();
    const bool ofCurrentYear = yearId.starts_with(years.current.id);
    const bool ofPreviousYear = !years.previous.id.empty() && yearId.starts_with(years.previous.id);
    if (!ofCurrentYear && !ofPreviousYear) continue;
    (ofCurrentYear ? currentYearAccounts : previousYearAccounts) += 1;
    const int account = ToInt(accounts.GetAccount());
    outside = outside || account < 1000 || account > 8999;
  }
  // After the walk to the end, which finds every damaged record.
  KeepTableRows(accounts, true);
  KeepAccountCounts(currentYearAccounts, previousYearAccounts);
  return outside;
}
