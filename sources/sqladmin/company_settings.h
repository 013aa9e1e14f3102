#pragma once
// The company settings of an SQL company: read at once from the company database
// and ftg.ini when the reader is made; the reader then holds no connection.
#include <string>
#include <vector>

#include "app/sources/stored_company_settings.h"

class CSqlAdminCompanySettingsDb : public StoredCompanySettings {
 public:
  explicit CSqlAdminCompanySettingsDb(std::string companyFolder);

  bool IsAvailable() override { return true; }
  // A database that could not be reached says so: its settings are then missing, not empty.
  void AddWarnings(std::vector<ReportRow>& rows) override;
  bool MoveFirst() override { return true; }
  bool MoveNext() override { return true; }

 private:
  std::string programType_;
  bool unreachable_ = false;  // the company has a database that could not be opened
};

// 0 unknown, 1 limited company, 2 sole trader, 3 economic association, 5 trading
// partnership, 6 limited partnership: from the digits of the organisation number
// (the third and fourth are a month in a personal identity number) and the name.
int CompanyTypeOf(const std::string& orgNr, const std::string& name);
