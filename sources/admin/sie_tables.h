#pragma once
// The tables the SIE production reads: the booking years (BOKFAAR.DBF) and the
// chart of accounts (KONTO.DBF), one chart per booking year.
#include <string>

#include "sources/admin/company_db.h"

class CBookingYearDb : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "BOKFAAR.DBF";
  explicit CBookingYearDb(std::string folder);

  std::string GetYearId() const { return GetField(yearId_); }
  std::string GetStart() const { return GetField(start_); }  // first day, yyyymmdd
  std::string GetEnd() const { return GetField(end_); }      // last day, yyyymmdd
  std::string GetChartType() const { return GetField(chartType_); }

 private:
  int yearId_ = Column("AAR_ID");
  int start_ = Column("BOERJAN");
  int end_ = Column("SLUT");
  int chartType_ = Column("KPTYP");
};

class CKontoDb : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "KONTO.DBF";
  explicit CKontoDb(std::string folder);

  std::string GetYearId() const { return GetField(yearId_); }
  std::string GetAccount() const { return GetField(account_); }

 private:
  int yearId_ = Column("AAR_ID");
  int account_ = Column("KONTO");
};
