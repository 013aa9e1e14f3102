#pragma once
// The company settings of a DBF company: read once at construction from
// PRM.DBF, PRM2.DBF, NEWNUM.DBF and ftg.ini, and kept in the form the cloud
// service takes. The getters only hand out copies, so they still answer after
// Close (the settings are uploaded after the check has closed the reader).
#include <string>

#include "app/sources/source_readers.h"
#include "sources/admin/parameter_tables.h"

class CAdminCompanySettings : public CAdminPrm, public I_QZ_Company {
 public:
  explicit CAdminCompanySettings(std::string folder);

  bool IsAvailable() override { return true; }
  void Close() override { CloseTable(); }
  bool MoveFirst() override { return MoveFirstRecord(); }
  bool MoveNext() override { return MoveNextRecord(); }

  std::string GetCorporateIdentityNumber() override { return orgNo_; }
  std::string GetName() override { return name_; }
  std::string GetAddress1() override { return address_; }
  std::string GetAddress2() override { return {}; }
  std::string GetPostalCode() override { return postalCode_; }
  std::string GetCity() override { return city_; }
  std::string GetPhone() override { return phone_; }
  std::string GetMobile() override { return {}; }
  std::string GetEmail() override { return email_; }
  std::string GetWeb() override { return web_; }
  std::string GetVatNumber() override { return vatNumber_; }
  std::string GetBankgiroNumber() override { return bankgiro_; }
  std::string GetPlusgiroNumber() override { return plusgiro_; }
  std::string GetResidence() override { return residence_; }
  std::string GetEdiGlnNumber() override { return gln_; }
  bool HasFTaxCard() override { return hasFTaxCard_; }
  bool UsesReversedConstructionVat() override { return reversedConstructionVat_; }
  bool UsesMiddlemansSaleOfGoodsEc() override { return false; }
  bool UsesRotReducedInvoicing() override { return rotReducedInvoicing_; }
  bool UsesMoss() override { return false; }
  int GetNextCustomerInvoiceNumber() override { return nextInvoiceNumber_; }
  int GetNextCustomerOrderNumber() override { return nextOrderNumber_; }
  int GetNextCustomerQuoteNumber() override { return nextQuoteNumber_; }
  int GetExportApplication() override { return exportApplication_; }
  int GetCompanyType() override { return companyType_; }
  std::string GetCompanyBankBic() override { return bankBic_; }
  std::string GetCompanyBankAccountBban() override { return bankBban_; }
  std::string GetCompanyBankAccountIban() override { return bankIban_; }
  int GetVatPeriod() override { return vatPeriod_; }

 private:
  void ReadNextNumbers();

  // Looked up only when PRM.DBF has records (-1 otherwise), after the base's own columns.
  int colPostAdr_ = Column("POSTADR"), colPostNr_ = Column("POSTNR"), colOrt_ = Column("ORT"),
      colTel_ = Column("TEL"), colEpost_ = Column("EPOST"), colWww_ = Column("WWW"),
      colMomsRegNr_ = Column("MOMSREGNR"), colBgiro_ = Column("BGIRO"), colPgiro_ = Column("PGIRO"),
      colSate_ = Column("SATE"), colEanLoc_ = Column("EANLOC"), colEjFSkatt_ = Column("EJ_FSKATT"),
      colHSkvHus_ = Column("H_SKVHUS"), colIbanNr_ = Column("IBAN_NR"), colSwiftAdr_ = Column("SWIFT_ADR");

  std::string orgNo_, name_, address_, postalCode_, city_, phone_, email_, web_, vatNumber_, bankgiro_,
      plusgiro_, residence_, gln_;
  bool hasFTaxCard_ = true;
  bool reversedConstructionVat_ = false;
  bool rotReducedInvoicing_ = false;
  int nextInvoiceNumber_ = 0, nextOrderNumber_ = 0, nextQuoteNumber_ = 0;
  int exportApplication_ = -1;
  int companyType_ = 0;
  std::string bankBic_, bankBban_, bankIban_;
  int vatPeriod_ = 1;
};

