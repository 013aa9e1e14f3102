#pragma once
// The delivery terms and delivery methods of an SQL company: code and text of
// every row of their table, by code.
#include <string>

#include "app/reader_interfaces/source_readers.h"
#include "sources/sqladmin/company_connection.h"

// One design over two tables: the table and its code column share a name.
template <typename Interface>
class CodeAndTextReader : public Interface, public CAdmDbSql {
 public:
  CodeAndTextReader(std::string companyFolder, const char* table);

  bool IsAvailable() override { return true; }
  void Close() override { ReleaseStatement(); }
  void AddWarnings(std::vector<ReportRow>& rows) override { AddUnreadRowsRow(rows); }
  bool MoveFirst() override { return CAdmDbSql::MoveFirst(); }
  bool MoveNext() override { return CAdmDbSql::MoveNext(); }
  std::string GetCode() override { return GetColumnString(code_); }
  std::string GetName() override { return GetColumnString(text_); }

 private:
  const lumdb::field_desc_t* code_ = nullptr;
  const lumdb::field_desc_t* text_ = nullptr;
};

extern template class CodeAndTextReader<I_QZ_DeliveryTerms>;
extern template class CodeAndTextReader<I_QZ_DeliveryMethods>;

class CSqlAdminDeliveryTermsDb : public CodeAndTextReader<I_QZ_DeliveryTerms> {
 public:
  explicit CSqlAdminDeliveryTermsDb(std::string companyFolder)
      : CodeAndTextReader(std::move(companyFolder), "LEVVILLK") {}
};

class CSqlAdminDeliveryMethodsDb : public CodeAndTextReader<I_QZ_DeliveryMethods> {
 public:
  explicit CSqlAdminDeliveryMethodsDb(std::string companyFolder)
      : CodeAndTextReader(std::move(companyFolder), "LEVSAETT") {}
};
