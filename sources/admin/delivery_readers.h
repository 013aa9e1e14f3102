#pragma once
// The delivery terms (LEVVILLK.DBF) and delivery methods (LEVSAETT.DBF) of a
// DBF company: two code tables of the same shape, code and name. Every live
// record is uploaded as it stands; nothing is refused or reported.
#include <string>

#include "app/reader_interfaces/source_readers.h"
#include "sources/admin/company_db.h"

template <class Interface>
class CAdminCodeTableReader : public CAdminCompanyDb, public Interface {
 public:
  CAdminCodeTableReader(std::string folder, const char* fileName, const char* codeColumn)
      : CAdminCompanyDb(std::move(folder), fileName), colCode_(Column(codeColumn)), colName_(Column("TEXT")) {}

  bool IsAvailable() override { return true; }
  void Close() override { CloseTable(); }
  void AddWarnings(std::vector<ReportRow>& rows) override { AddDamageRows(rows); }
  bool MoveFirst() override { return MoveFirstRecord(); }
  bool MoveNext() override { return MoveNextRecord(); }
  std::string GetCode() override { return GetField(colCode_); }
  std::string GetName() override { return GetField(colName_); }

 private:
  int colCode_, colName_;
};

class CAdminDeliveryTermsDb : public CAdminCodeTableReader<I_QZ_DeliveryTerms> {
 public:
  static constexpr const char* kFileName = "LEVVILLK.DBF";
  explicit CAdminDeliveryTermsDb(std::string folder)
      : CAdminCodeTableReader(std::move(folder), kFileName, "LEVVILLK") {}
};

class CAdminDeliveryMethodsDb : public CAdminCodeTableReader<I_QZ_DeliveryMethods> {
 public:
  static constexpr const char* kFileName = "LEVSAETT.DBF";
  explicit CAdminDeliveryMethodsDb(std::string folder)
      : CAdminCodeTableReader(std::move(folder), kFileName, "LEVSAETT") {}
};
