#pragma once
// The SIE files of an SQL company: the booking years (BOKFAAR) and the chart of
// accounts (KONTO) read from the company database; the desktop side writes the files.
#include <string>
#include <vector>

#include "sources/admin/desktop_sie.h"
#include "sources/sqladmin/company_connection.h"

class CSqlAdminSie : public DesktopSieReader, public CAdmDbSql {
 public:
  // `prompter` tells the user before the desktop program is started.
  CSqlAdminSie(std::string companyFolder, platform::Prompter& prompter);

  // This reader has no records to walk.
  bool MoveFirst() override { return false; }
  bool MoveNext() override { return false; }
  // The files carry the company's name and organisation number (PRM): without
  // them readable no file is made, and the row says why.
  std::vector<ReportRow> CreateSieFiles() override;

 private:
  // Why the row of PRM with the company's name and number could not be read; empty when it could.
  std::string UnreadCompanyRow();
  const std::string& SieCompanyFolder() const override { return companyFolder(); }
  std::vector<SieBookingYear> ReadBookingYears() override;
  bool HasAccountOutsideRange(const SieBookingYears& years) override;
  // A chart that could not be checked: a warning row and a log line saying why.
  void NoteUncheckedChart(const std::string& reason);
  // A chart that could not be read: an error row, so no file is made without it.
  void NoteUnreadChart(const std::string& words);

  const lumdb::field_desc_t* yearId_ = nullptr;     // AAR_ID, the booking-year code
  const lumdb::field_desc_t* start_ = nullptr;      // BOERJAN, first day
  const lumdb::field_desc_t* end_ = nullptr;        // SLUT, last day
  const lumdb::field_desc_t* chartType_ = nullptr;  // KPTYP
};
