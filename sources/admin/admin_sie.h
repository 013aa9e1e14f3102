#pragma once
// The SIE files of a DBF company of the Administration line: the booking years
// (BOKFAAR.DBF) and the chart of accounts (KONTO.DBF) read from its folder.
#include <string>
#include <vector>

#include "sources/admin/desktop_sie.h"
#include "sources/admin/sie_tables.h"

class CAdminSie : public CBookingYearDb, public DesktopSieReader {
 public:
  // `prompter` tells the user before the desktop program is started.
  CAdminSie(std::string folder, platform::Prompter& prompter);

  // No export is tried for a company whose parameters (PRM.DBF) cannot be read
  // to tell its program and version: an Error row names the table instead.
  std::vector<ReportRow> CreateSieFiles() override;

 private:
  const std::string& SieCompanyFolder() const override { return Folder(); }
  // Booking years or a chart of accounts that cannot be read whole make no SIE
  // file (the kit would export what it could read of them, a shorter file): an
  // Error row names the table.
  std::vector<SieBookingYear> ReadBookingYears() override;
  bool HasAccountOutsideRange(const SieBookingYears& years) override;
  // The table's rows for the export, the missing table's too when every company has it.
  void KeepTableRows(const CAdminCompanyDb& table, bool required);
};
