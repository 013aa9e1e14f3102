#pragma once
// The company settings of a Vardo company: its record in CLIENT.DBF and the
// number series of SERIES.DBF, read once when the reader is made.
#include <string>

#include "app/reader_interfaces/stored_company_settings.h"
#include "sources/vardo/vardo_company_db.h"

// The company type the cloud knows (0 unknown, 1 limited company, 2 sole
// trader, 3 economic association, 5 trading partnership, 6 limited
// partnership), told from the organisation number and the name.
int VardoCompanyType(const std::string& orgNo, const std::string& name);

class CVardoCompanySettings : public CVardoPrm, public StoredCompanySettings {
 public:
  explicit CVardoCompanySettings(std::string companyFolder);

  bool IsAvailable() override { return true; }
  // An Error row for CLIENT.DBF or SERIES.DBF not read whole, or a CLIENT.DBF
  // without the company's record: then no setting is sent.
  void AddWarnings(std::vector<ReportRow>& rows) override { AddSettingsTableRows(rows); }
  bool MoveFirst() override { return CVardoCompanyDb::MoveFirst(); }
  bool MoveNext() override { return CVardoCompanyDb::MoveNext(); }

 private:
  void ReadNumberSeries();
};
