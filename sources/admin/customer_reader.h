#pragma once
// The customer register of a DBF company (KUND.DBF), with each customer's
// contact person and payment term. Companies of the smallest edition keep no
// customer register.
#include <string>

#include "sources/admin/register_reader.h"

class CAdminCustomerDb : public CAdminRegisterReader<I_QZ_Customers> {
 public:
  static constexpr const char* kFileName = "KUND.DBF";
  explicit CAdminCustomerDb(std::string folder);

  // Identifies the company anew on every call.
  bool IsAvailable() override;
  // The construction-services flag only sets how the customer is invoiced: one
  // that does not read leaves it unset, with a warning.
  bool CheckCurrent(std::vector<ReportRow>& rows) override;

  std::string GetCustomerNumber() override { return NumberOfCurrent(); }
  std::string GetGLN() override { return GetField(colGln_); }
  std::string GetInvoiceAddress1() override { return GetField(colAddress1_); }
  std::string GetInvoiceAddress2() override { return GetField(colAddress2_); }
  std::string GetInvoiceCity() override { return GetField(colCity_); }
  std::string GetInvoiceCountryCode() override { return GetField(colCountry_); }
  std::string GetInvoicePostalCode() override { return GetFieldNoBlanks(colPostalCode_); }
  std::string GetDeliveryCustomerName() override { return GetField(colDeliveryName_); }
  std::string GetDeliveryAddress1() override { return GetField(colDeliveryAddress1_); }
  std::string GetDeliveryAddress2() override { return GetField(colDeliveryAddress2_); }
  std::string GetDeliveryCity() override { return GetField(colDeliveryCity_); }
  std::string GetDeliveryCountryCode() override { return GetField(colDeliveryCountry_); }
  std::string GetDeliveryPostalCode() override { return GetFieldNoBlanks(colDeliveryPostalCode_); }
  std::string GetDeliveryMethodCode() override { return GetField(colDeliveryMethod_); }
  std::string GetDeliveryTermCode() override { return GetField(colDeliveryTerm_); }
  // Reverse charge needs a VAT number to charge against.
  bool GetReverseChargeOnConstructionServices() override;
  std::string GetVatNumber() override { return GetFieldDigits(colVatNumber_); }
  std::string GetWwwAddress() override { return {}; }
  bool IsPrivatePerson() override;
  std::string GetElectronicReference() override { return GetField(colElectronicReference_); }

 private:
  int colGln_ = Column("EANLOC"), colAddress1_ = Column("POSTADR"), colAddress2_ = Column("POSTADR2"),
      colCity_ = Column("ORT"), colCountry_ = Column("LANDKOD"), colPostalCode_ = Column("POSTNR"),
      colDeliveryName_ = Column("LEVNAMN"), colDeliveryAddress1_ = Column("LEVADR"),
      colDeliveryAddress2_ = Column("LEVADR2"), colDeliveryCity_ = Column("LEVORT"),
      colDeliveryCountry_ = Column("LEVLANDKOD"), colDeliveryPostalCode_ = Column("LEVPOSTNR"),
      colDeliveryMethod_ = Column("LEVSAETT"), colDeliveryTerm_ = Column("LEVVILLK"),
      colConstruction_ = Column("BYGGTJANST"), colVatNumber_ = Column("MOMSREGNR"),
      colElectronicReference_ = Column("EREDIREF");
};
