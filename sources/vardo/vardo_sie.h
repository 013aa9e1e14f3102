#pragma once
// The SIE files of a Vardo company, written by the Vardo database API: "SIE.SE"
// for the current booking year and "SIEPREV.SE" for the one before, in the
// working folder of the export. Before that the installed Vardo program, the
// booking years and the chart of accounts are checked; what stops or limits
// the export becomes report rows.
#include <string>
#include <vector>

#include "app/reader_interfaces/source_readers.h"
#include "sources/vardo/vardo_company_db.h"

class CVardoSie : public Vardo::CBookingYearDb, public I_QZ_SIE {
 public:
  explicit CVardoSie(std::string companyFolder) : CBookingYearDb(std::move(companyFolder)) {}

  bool IsAvailable() override { return true; }
  bool MoveFirst() override { return CVardoCompanyDb::MoveFirst(); }
  bool MoveNext() override { return CVardoCompanyDb::MoveNext(); }

  std::string GetFilePath() override { return filePath_; }
  std::string GetFilePathPreviousYear() override { return filePathPreviousYear_; }
  std::vector<ReportRow> CreateSieFiles() override;

 private:
  struct VardoSieYear {
    int begin = 0;  // date values of the API
    int end = 0;
    int chart = 0;
    std::string chartType;
    const char* fileName = "";
  };

  void Export(std::vector<ReportRow>& rows);
  // The current year and, when there is one, the year before; false (with a row) when there is none.
  bool ReadYears(Vardo::CBookingYearDb& years, VardoSieYear& current, VardoSieYear& previous, bool& hasPrevious,
                 std::vector<ReportRow>& rows);
  // Whether the chart of accounts holds a number the cloud cannot take (with the rows that say so).
  bool HasRefusedAccount(Vardo::CKontoDb& accounts, int currentChart, int previousChart,
                         std::vector<ReportRow>& rows);

  std::string filePath_;
  std::string filePathPreviousYear_;
};
