#pragma once
// The company settings of a Vardo company: its record in CLIENT.DBF and the
// number series of SERIES.DBF, read once when the reader is made.
#include <string>

#include "app/sources/source_readers.h"
#include "sources/vardo/vardo_company_db.h"

// The company type the cloud knows (0 unknown, 1 limited company, 2 sole
// trader, 3 economic association, 5 trading partnership, 6 limited
// partnership), told from the organisation number and the name.
int VardoCompanyType(const std::string& orgNo, const std::string& name);

class CVardoCompanySettings : public CVardoPrm, public I_QZ_Company {
 public:
  explicit CVardoCompanySettings(std::string companyFolder);

  bool IsAvailable() override { return true; }
  bool MoveFirst() override { return CVardoCompanyDb::MoveFirst(); }
  bool MoveNext() override { return CVardoCompanyDb::MoveNext(); }

  std::string GetCorporateIdentityNumber() override { return orgNo_; }
  std::string GetName() override { return name_; }
  std::string GetAddress1() override { return address1_; }
  std::string GetAddress2() override { return address2_; }
  std::string GetPostalCode() override { return postalCode_; }
  std::string GetCity() override { return city_; }
  std::string GetPhone() override { return phone_; }
  std::string GetMobile() override { return mobile_; }
  std::string GetEmail() override { return email_; }
  std::string GetWeb() override { return web_; }
  std::string GetVatNumber() override { return vatNumber_; }
  std::string GetBankgiroNumber() override { return bankgiro_; }
  std::string GetPlusgiroNumber() override { return plusgiro_; }
  std::string GetResidence() override { return residence_; }
  std::string GetEdiGlnNumber() override { return gln_; }
  bool HasFTaxCard() override { return !vatNumber_.empty(); }
  bool UsesReversedConstructionVat() override { return false; }
  bool UsesMiddlemansSaleOfGoodsEc() override { return false; }
  bool UsesRotReducedInvoicing() override { return false; }
  bool UsesMoss() override { return false; }
  int GetNextCustomerInvoiceNumber() override { return nextInvoiceNumber_; }
  int GetNextCustomerOrderNumber() override { return nextOrderNumber_; }
  int GetNextCustomerQuoteNumber() override { return nextQuoteNumber_; }
  int GetExportApplication() override { return exportApplication_; }
  int GetCompanyType() override { return companyType_; }
  std::string GetCompanyBankBic() override { return bankBic_; }
  std::string GetCompanyBankAccountBban() override { return bankBic_.empty() ? iban_ : std::string(); }
  std::string GetCompanyBankAccountIban() override { return bankBic_.empty() ? std::string() : iban_; }
  int GetVatPeriod() override { return vatPeriod_; }

 private:
  void ReadNumberSeries();

  std::string orgNo_, name_, address1_, address2_, postalCode_, city_, phone_, mobile_, email_, web_, vatNumber_,
      bankgiro_, plusgiro_, residence_, gln_, bankBic_, iban_;
  int nextInvoiceNumber_ = 1, nextOrderNumber_ = 1, nextQuoteNumber_ = 1;
  int exportApplication_ = -1;
  int companyType_ = 0;
  int vatPeriod_ = 1;
};
