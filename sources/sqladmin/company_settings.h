#pragma once
// The company settings of an SQL company: read at once from the company database
// and ftg.ini when the reader is made; the reader then holds no connection.
#include <memory>
#include <string>
#include <vector>

#include "app/reader_interfaces/stored_company_settings.h"
#include "sources/sqladmin/company_connection.h"

class CSqlAdminCompanySettingsDb : public StoredCompanySettings {
 public:
  explicit CSqlAdminCompanySettingsDb(std::string companyFolder);

  bool IsAvailable() override { return true; }
  // One error row for each table (PRM, PRM2, NEWNUM) that could not be read, with
  // the driver's words, or that holds a value that does not read as its column's
  // type or a number series without its next number; and for a database or data
  // model that could not be opened: the settings are then missing, never sent made up.
  void AddWarnings(std::vector<ReportRow>& rows) override;
  bool MoveFirst() override { return true; }
  bool MoveNext() override { return true; }

 private:
  void ReadDatabase(DataSourceInfo& info);
  // Runs `step` on the table of the company's data model; a table that the model
  // lacks, that is locked or whose statement fails gets its row instead.
  template <class Step>
  void ReadTable(CompanySession& session, const char* name, Step step);
  void NotRead(std::string text);

  std::string programType_;
  std::vector<ReportRow> notRead_;
  // The readers made after this one do not wait on a lock it met.
  std::shared_ptr<const DatabaseLock> lockMemory_;
};

// 0 unknown, 1 limited company, 2 sole trader, 3 economic association, 5 trading
// partnership, 6 limited partnership: from the digits of the organisation number
// (the third and fourth are a month in a personal identity number) and the name.
int CompanyTypeOf(const std::string& orgNr, const std::string& name);
