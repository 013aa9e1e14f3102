#pragma once
// The customers of an SQL company: the active rows of KUND by customer number,
// each with its terms of payment, its contact person (the KONTAKT row of its
// number and reference signature) and, where the data model keeps notes apart,
// its note, read by one query with left joins.
#include <array>
#include <string>

#include "app/reader_interfaces/source_readers.h"
#include "sources/sqladmin/register_query.h"

class CSqlAdminCustomerDb : public I_QZ_Customers, public SqlRegisterDb {
 public:
  explicit CSqlAdminCustomerDb(std::string companyFolder);

  bool IsAvailable() override;
  int GetRecordCount() override { return CAdmDbSql::GetRecordCount(); }
  void Close() override { ReleaseStatement(); }
  void AddWarnings(std::vector<ReportRow>& rows) override { AddUnreadRowsRow(rows); }
  bool CheckCurrent(std::vector<ReportRow>& rows) override { return CheckValues(rows, Text(kNumber), Text(kName)); }
  bool IsCurrentCounted() override { return true; }
  bool MoveFirst() override { return walk_.MoveFirst(*this, Own(kNumber)); }
  bool MoveNext() override { return walk_.MoveNext(*this, Own(kNumber)); }

  std::string GetCustomerNumber() override { return Text(kNumber); }
  std::string GetCorporateIdentityNumber() override { return GetColumnStringNoSpace(Own(kOrgNo)); }
  std::string GetContactPersonEmail() override { return ContactEmail(); }
  std::string GetContactPersonMobile() override { return ContactMobile(); }
  std::string GetContactPersonName() override { return Text(kReference); }
  std::string GetContactPersonPhone() override { return ContactPhone(); }
  std::string GetCurrencyCode() override { return Text(kCurrency); }
  std::string GetGLN() override { return Text(kGln); }
  std::string GetEmailAddress() override { return Text(kEmail); }
  std::string GetInvoiceAddress1() override { return Text(kAddress1); }
  std::string GetInvoiceAddress2() override { return Text(kAddress2); }
  std::string GetInvoiceCity() override { return Text(kCity); }
  std::string GetInvoiceCountryCode() override { return Text(kCountry); }
  std::string GetInvoicePostalCode() override { return GetColumnStringNoSpace(Own(kPostalCode)); }
  std::string GetDeliveryCustomerName() override { return Text(kDeliveryName); }
  std::string GetDeliveryAddress1() override { return Text(kDeliveryAddress1); }
  std::string GetDeliveryAddress2() override { return Text(kDeliveryAddress2); }
  std::string GetDeliveryCity() override { return Text(kDeliveryCity); }
  std::string GetDeliveryCountryCode() override { return Text(kDeliveryCountry); }
  std::string GetDeliveryPostalCode() override { return GetColumnStringNoSpace(Own(kDeliveryPostalCode)); }
  std::string GetDeliveryMethodCode() override { return Text(kDeliveryMethod); }
  std::string GetDeliveryTermCode() override { return Text(kDeliveryTerms); }
  std::string GetName() override { return Text(kName); }
  std::string GetNote() override { return Note(); }
  bool GetReverseChargeOnConstructionServices() override;
  std::string GetMobilePhone() override { return GetColumnStringNoSpace(Own(kMobile)); }
  std::string GetTelephone() override { return GetColumnStringNoSpace(Own(kPhone)); }
  std::string GetTermsOfPaymentCode() override { return TermsCode(); }
  std::string GetTermsOfPaymentName() override { return TermsName(); }
  std::string GetVatNumber() override { return GetColumnStringNoDash(Own(kVatNumber)); }
  std::string GetWwwAddress() override { return {}; }
  bool IsPrivatePerson() override;
  std::string GetElectronicReference() override { return Text(kElectronicReference); }

 private:
  // The columns of KUND, in the order the query selects them.
  enum Column {
    kNumber, kOrgNo, kReference, kNote1, kNote2, kNote3, kNote4, kReferenceSign, kCurrency, kGln, kEmail,
    kAddress1, kAddress2, kCity, kCountry, kPostalCode, kDeliveryName, kDeliveryAddress1, kDeliveryAddress2,
    kDeliveryCity, kDeliveryCountry, kDeliveryPostalCode, kDeliveryMethod, kDeliveryTerms, kName,
    kConstructionServices, kMobile, kPhone, kTerms, kVatNumber, kElectronicReference, kColumnCount
  };
  const lumdb::field_desc_t* Own(Column column) const { return own_[column]; }
  std::string Text(Column column) const { return GetColumnString(own_[column]); }

  std::array<const lumdb::field_desc_t*, kColumnCount> own_{};
  DistinctKeyWalk walk_;
};
