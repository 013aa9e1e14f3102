#pragma once
// The supplier register of a DBF company (LEV.DBF), with each supplier's
// contact person and payment term. A supplier paid abroad (UTLBETALN set) has
// its foreign bank details passed on; every other supplier its bankgiro
// number and bank country. BGIRO holds either kind of account.
#include <string>

#include "sources/admin/register_reader.h"

class CAdminSupplierDb : public CAdminRegisterReader<I_QZ_Suppliers> {
 public:
  static constexpr const char* kFileName = "LEV.DBF";
  explicit CAdminSupplierDb(std::string folder);

  bool IsAvailable() override { return true; }
  // The foreign-payment flag decides which bank details are sent: one that does
  // not read refuses the supplier. The autogiro and OCR flags that do not read
  // are left unset, with a warning.
  bool CheckCurrent(std::vector<ReportRow>& rows) override;

  std::string GetSupplierNumber() override { return NumberOfCurrent(); }
  std::string GetAddress1() override { return GetField(colAddress1_); }
  std::string GetAddress2() override { return GetField(colAddress2_); }
  bool GetAutomaticPaymentService() override { return IsLogicalSet(GetField(colAutogiro_)); }
  std::string GetSupplierBankAccountNumber() override { return {}; }
  std::string GetSupplierBankBban() override;
  std::string GetSupplierBankBic() override { return ForeignOnly(colSwift_); }
  std::string GetSupplierBankCode() override { return ForeignOnly(colBankCode_); }
  std::string GetSupplierBankCountryCode() override { return IsForeignPayment() ? std::string() : GetCountryCode(); }
  std::string GetSupplierBankgiroNumber() override;
  std::string GetSupplierBankIban() override;
  std::string GetSupplierBankName() override { return ForeignOnly(colBankName_); }
  std::string GetCity() override { return GetField(colCity_); }
  std::string GetCountryCode() override { return GetField(colCountry_); }
  std::string GetSupplierPlusgiroNumber() override { return GetFieldNoBlanks(colPlusgiro_); }
  std::string GetPostalCode() override { return GetFieldNoBlanks(colPostalCode_); }
  std::string GetWwwAddress() override { return GetField(colWww_); }
  std::string GetBankFeeCode() override;
  std::string GetForeignPaymentCode() override { return ForeignOnly(colCentralBankCode_); }
  bool UsesPaymentReferenceNumbers() override { return IsLogicalSet(GetField(colOcr_)); }

 private:
  bool IsForeignPayment() const { return IsLogicalSet(GetField(colForeignPayment_)); }
  std::string ForeignOnly(int column) const { return IsForeignPayment() ? GetField(column) : std::string(); }

  int colForeignPayment_ = Column("UTLBETALN"), colAddress1_ = Column("POSTADR"), colAddress2_ = Column("POSTADR2"),
      colCity_ = Column("ORT"), colCountry_ = Column("LANDSKOD"), colPostalCode_ = Column("POSTNR"),
      colAutogiro_ = Column("AUTOGIRO"), colAccount_ = Column("BGIRO"), colPlusgiro_ = Column("PGIRO"),
      colWww_ = Column("WWW"), colBankFee_ = Column("BG_AVGKOD"), colCentralBankCode_ = Column("RIKSBKOD"),
      colOcr_ = Column("OCRLEV"), colSwift_ = Column("SWIFTADR"), colBankCode_ = Column("BANKKOD"),
      colBankName_ = Column("MBANKNAMN");
};
