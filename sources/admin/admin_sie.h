#pragma once
// The SIE files of a DBF company of the Administration line. The desktop
// program writes them, not we: the development kit when it can, otherwise the
// running program over DDE. Before that the company is checked: a program that
// can export its database version, a booking year, a chart of accounts the
// cloud can take.
#include <string>
#include <vector>

#include "app/sources/source_readers.h"
#include "sources/admin/sie_tables.h"

namespace platform {
class Prompter;
}

class CAdminSie : public CBookingYearDb, public I_QZ_SIE {
 public:
  // `prompter` tells the user before the desktop program is started.
  CAdminSie(std::string folder, platform::Prompter& prompter);

  bool IsAvailable() override;
  bool MoveFirst() override { return false; }
  bool MoveNext() override { return false; }

  std::string GetFilePath() override { return filePath_; }
  std::string GetFilePathPreviousYear() override { return filePathPreviousYear_; }
  std::vector<ReportRow> CreateSieFiles() override;

 private:
  struct BookingYear {
    std::string id;  // the first character of AAR_ID (UTF-8); empty for none
    int start = 0;
    std::string startText;
    std::string endText;
    std::string chartType;
  };
  struct Years {
    BookingYear current;
    BookingYear previous;  // id empty when there is none to export
  };

  Years ReadBookingYears();
  bool HasAccountOutsideRange(const Years& years) const;
  // Through the kit; false (paths emptied) when the kit failed.
  bool ExportThroughKit(int product, const Years& years, const std::string& folder);
  void ExportThroughProgram(int product, const Years& years, const std::string& folder,
                            std::vector<ReportRow>& rows);
  // Keeps a path only for a file that was written; a row for each one that was not.
  void KeepWrittenFiles(std::vector<ReportRow>& rows);

  platform::Prompter& prompter_;
  std::string filePath_;
  std::string filePathPreviousYear_;
};
