#pragma once
// The company settings of an SQL company: read at once from the company database
// and ftg.ini when the reader is made; the reader then holds no connection.
#include <string>
#include <vector>

#include "app/sources/source_readers.h"

class CSqlAdminCompanySettingsDb : public I_QZ_Company {
 public:
  explicit CSqlAdminCompanySettingsDb(std::string companyFolder);

  bool IsAvailable() override { return true; }
  // A database that could not be reached says so: its settings are then missing, not empty.
  void AddWarnings(std::vector<ReportRow>& rows) override;
  bool MoveFirst() override { return true; }
  bool MoveNext() override { return true; }

  std::string GetCorporateIdentityNumber() override { return orgNr_; }
  std::string GetName() override { return name_; }
  std::string GetAddress1() override { return postalAddress_; }
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
  std::string orgNr_, name_, postalAddress_, postalCode_, city_, phone_, email_, web_, vatNumber_, bankgiro_,
      plusgiro_, residence_, gln_;
  bool hasFTaxCard_ = false;
  bool reversedConstructionVat_ = false;
  bool rotReducedInvoicing_ = false;
  int nextInvoiceNumber_ = 0;
  int nextOrderNumber_ = 0;
  int nextQuoteNumber_ = 0;
  int exportApplication_ = -1;
  int companyType_ = 0;
  std::string bankBic_, bankBban_, bankIban_;
  int vatPeriod_ = -1;
  std::string programType_;
  bool unreachable_ = false;  // the company has a database that could not be opened
};

// 0 unknown, 1 limited company, 2 sole trader, 3 economic association, 5 trading
// partnership, 6 limited partnership: from the digits of the organisation number
// (the third and fourth are a month in a personal identity number) and the name.
int CompanyTypeOf(const std::string& orgNr, const std::string& name);
