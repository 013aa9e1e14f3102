#pragma once
// The suppliers of an SQL company: the active rows of LEV by supplier number,
// joined as the customers are, with their payment details split by the foreign
// payment flag into domestic giro numbers and foreign bank details.
#include <array>
#include <string>

#include "app/reader_interfaces/source_readers.h"
#include "sources/sqladmin/register_query.h"

class CSqlAdminSupplierDb : public I_QZ_Suppliers, public SqlRegisterDb {
 public:
  explicit CSqlAdminSupplierDb(std::string companyFolder);

  bool IsAvailable() override { return true; }
  int GetRecordCount() override { return CAdmDbSql::GetRecordCount(); }
  void Close() override { ReleaseStatement(); }
  void AddWarnings(std::vector<ReportRow>& rows) override { AddUnreadRowsRow(rows); }
  bool CheckCurrent(std::vector<ReportRow>& rows) override { return CheckValues(rows, Text(kNumber), Text(kName)); }
  bool IsCurrentCounted() override { return true; }
  bool MoveFirst() override { return walk_.MoveFirst(*this, Own(kNumber)); }
  bool MoveNext() override { return walk_.MoveNext(*this, Own(kNumber)); }

  std::string GetSupplierNumber() override { return Text(kNumber); }
  std::string GetAddress1() override { return Text(kAddress1); }
  std::string GetAddress2() override { return Text(kAddress2); }
  bool GetAutomaticPaymentService() override { return GetColumnBool(Own(kAutogiro)); }
  std::string GetSupplierBankAccountNumber() override { return {}; }
  std::string GetSupplierBankBban() override;
  std::string GetSupplierBankBic() override { return ForeignText(kBic); }
  std::string GetSupplierBankCode() override { return ForeignText(kBankCode); }
  std::string GetSupplierBankCountryCode() override { return IsForeign() ? std::string() : Text(kCountry); }
  std::string GetSupplierBankgiroNumber() override;
  std::string GetSupplierBankIban() override;
  std::string GetSupplierBankName() override { return ForeignText(kBankName); }
  std::string GetCity() override { return Text(kCity); }
  std::string GetContactPersonEmail() override { return ContactEmail(); }
  std::string GetContactPersonMobile() override { return ContactMobile(); }
  std::string GetContactPersonName() override { return Text(kReference); }
  std::string GetContactPersonPhone() override { return ContactPhone(); }
  std::string GetCorporateIdentityNumber() override { return GetColumnStringNoSpace(Own(kOrgNo)); }
  std::string GetCountryCode() override { return Text(kCountry); }
  std::string GetCurrencyCode() override { return Text(kCurrency); }
  std::string GetEmailAddress() override { return Text(kEmail); }
  std::string GetMobilePhone() override { return GetColumnStringNoSpace(Own(kMobile)); }
  std::string GetName() override { return Text(kName); }
  std::string GetNote() override { return Note(); }
  std::string GetSupplierPlusgiroNumber() override { return GetColumnStringNoSpace(Own(kPlusgiro)); }
  std::string GetPostalCode() override { return GetColumnStringNoSpace(Own(kPostalCode)); }
  std::string GetTelephone() override { return GetColumnStringNoSpace(Own(kPhone)); }
  std::string GetTermsOfPaymentCode() override { return connectionError() ? std::string() : TermsCode(); }
  std::string GetTermsOfPaymentName() override { return TermsName(); }
  std::string GetWwwAddress() override { return Text(kWww); }
  std::string GetBankFeeCode() override;
  std::string GetForeignPaymentCode() override { return ForeignText(kForeignPaymentCode); }
  bool UsesPaymentReferenceNumbers() override { return GetColumnBool(Own(kPaymentReference)); }

 private:
  // The columns of LEV, in the order the query selects them.
  enum Column {
    kNumber, kOrgNo, kReference, kNote1, kNote2, kNote3, kNote4, kReferenceSign, kForeign, kCurrency, kEmail,
    kAddress1, kAddress2, kCity, kCountry, kPostalCode, kName, kMobile, kPhone, kTerms, kAutogiro, kBankgiro,
    kPlusgiro, kWww, kBankFee, kForeignPaymentCode, kPaymentReference, kBic, kBankCode, kBankName, kColumnCount
  };
  const lumdb::field_desc_t* Own(Column column) const { return own_[column]; }
  std::string Text(Column column) const { return GetColumnString(own_[column]); }
  bool IsForeign() const { return GetColumnBool(Own(kForeign)); }
  std::string ForeignText(Column column) const { return IsForeign() ? Text(column) : std::string(); }

  std::array<const lumdb::field_desc_t*, kColumnCount> own_{};
  DistinctKeyWalk walk_;
};
