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

  // No SIE file is made from booking years or a chart of accounts that cannot be
  // read whole (the kit would export what it could read of them, a shorter
  // file), nor for a company whose parameters cannot be read to tell its program
  // and version. An Error row names the table instead.
  std::vector<ReportRow> CreateSieFiles() override;

 private:
  const std::string& SieCompanyFolder() const override { return Folder(); }
  std::vector<SieBookingYear> ReadBookingYears() override;
  bool HasAccountOutsideRange(const SieBookingYears& years) override;
};
