#pragma once
// The source-reader interfaces: the upload engine sees each data kind of the
// source company only through one of these. Three back-ends implement them
// (DBF and SQL companies of the Administration line, Vardo companies).
//
// The declaration order is the slot order and binding for every back-end.
// Getters act on the current record (company settings and SIE: on the company),
// return a fresh value, and answer "", false or 0 where the source has nothing.
//
// Call contract, which a reader may rely on:
//  - IsAvailable may be asked at any time, also after Close; its answer does not
//    change within one conversion. An unavailable kind only gets Close.
//  - Registers and open invoices: MoveFirst; per record IsCurrentCounted (articles,
//    customers, suppliers), CheckCurrent with the kind's row vector, every getter
//    once when CheckCurrent answered true (then the key and name getters again when
//    the cloud refuses the record); MoveNext. Then AddWarnings with the same vector
//    and Close.
//  - Company settings: AddWarnings and Close in the check; the getters are read at
//    upload, after Close, so a company reader keeps its values when closed.
//  - SIE: CreateSieFiles in the check, no Close; the two paths are read later.
//  - Only CheckCurrent, AddWarnings and CreateSieFiles add rows; they append and never
//    remove or reorder what the vector already holds.
// A reader raises no error: a source that cannot be read reads as empty.
#include <string>
#include <vector>

#include "app/reader_interfaces/import_kind.h"
#include "app/reader_interfaces/report_row.h"

class I_QZ_Base {
 public:
  virtual ~I_QZ_Base() = default;
  virtual bool IsAvailable() = 0;
  virtual int GetRecordCount() { return 0; }  // the engine never asks; readers use it themselves
  virtual void Close() {}
  virtual void AddWarnings(std::vector<ReportRow>& rows) {}
  // False: the current record is not uploaded (the reader may append a row that says why).
  virtual bool CheckCurrent(std::vector<ReportRow>& rows) { return true; }
  // Whether the current record counts in the check's progress number.
  virtual bool IsCurrentCounted() { return true; }
  virtual bool MoveFirst() = 0;  // false when there is no record
  virtual bool MoveNext() = 0;   // false after the last record
};

class I_QZ_Company : public I_QZ_Base {
 public:
  virtual std::string GetCorporateIdentityNumber() = 0;
  virtual std::string GetName() = 0;
  virtual std::string GetAddress1() = 0;
  virtual std::string GetAddress2() = 0;
  virtual std::string GetPostalCode() = 0;
  virtual std::string GetCity() = 0;
  virtual std::string GetPhone() = 0;
  virtual std::string GetMobile() = 0;
  virtual std::string GetEmail() = 0;
  virtual std::string GetWeb() = 0;
  virtual std::string GetVatNumber() = 0;
  virtual std::string GetBankgiroNumber() = 0;
  virtual std::string GetPlusgiroNumber() = 0;
  virtual std::string GetResidence() = 0;
  virtual std::string GetEdiGlnNumber() = 0;
  virtual bool HasFTaxCard() = 0;
  virtual bool UsesReversedConstructionVat() = 0;
  virtual bool UsesMiddlemansSaleOfGoodsEc() = 0;
  virtual bool UsesRotReducedInvoicing() = 0;
  virtual bool UsesMoss() = 0;
  virtual int GetNextCustomerInvoiceNumber() = 0;
  virtual int GetNextCustomerOrderNumber() = 0;
  virtual int GetNextCustomerQuoteNumber() = 0;
  virtual int GetExportApplication() = 0;  // code of the desktop program the data comes from
  virtual int GetCompanyType() = 0;
  virtual std::string GetCompanyBankBic() = 0;
  virtual std::string GetCompanyBankAccountBban() = 0;
  virtual std::string GetCompanyBankAccountIban() = 0;
  virtual int GetVatPeriod() = 0;
};

class I_QZ_Articles : public I_QZ_Base {
 public:
  virtual bool IsActive() = 0;
  virtual std::string GetNumber() = 0;  // key of the article's report rows
  virtual std::string GetName() = 0;    // name of the article's report rows
  virtual std::string GetNameEnglish() = 0;
  virtual std::string GetNetPrice() = 0;    // excluding VAT, or empty
  virtual std::string GetGrossPrice() = 0;  // including VAT, or empty
  virtual std::string GetUnitCode() = 0;
  virtual std::string GetUnitName() = 0;
  virtual std::string GetArticleAccountCode() = 0;
  virtual std::string GetArticleAccountName() = 0;
  virtual bool IsMolnixAccountCode() = 0;
  virtual std::string GetStockBalance() = 0;
  virtual int GetRotRutType() = 0;
};

class I_QZ_Customers : public I_QZ_Base {
 public:
  virtual std::string GetCustomerNumber() = 0;  // key of the customer's report rows
  virtual std::string GetCorporateIdentityNumber() = 0;
  virtual std::string GetContactPersonEmail() = 0;
  virtual std::string GetContactPersonMobile() = 0;
  virtual std::string GetContactPersonName() = 0;
  virtual std::string GetContactPersonPhone() = 0;
  virtual std::string GetCurrencyCode() = 0;
  virtual std::string GetGLN() = 0;
  virtual std::string GetEmailAddress() = 0;
  virtual std::string GetInvoiceAddress1() = 0;
  virtual std::string GetInvoiceAddress2() = 0;
  virtual std::string GetInvoiceCity() = 0;
  virtual std::string GetInvoiceCountryCode() = 0;
  virtual std::string GetInvoicePostalCode() = 0;
  virtual std::string GetDeliveryCustomerName() = 0;
  virtual std::string GetDeliveryAddress1() = 0;
  virtual std::string GetDeliveryAddress2() = 0;
  virtual std::string GetDeliveryCity() = 0;
  virtual std::string GetDeliveryCountryCode() = 0;
  virtual std::string GetDeliveryPostalCode() = 0;
  virtual std::string GetDeliveryMethodCode() = 0;
  virtual std::string GetDeliveryTermCode() = 0;
  virtual std::string GetName() = 0;  // name of the customer's report rows
  virtual std::string GetNote() = 0;
  virtual bool GetReverseChargeOnConstructionServices() = 0;
  virtual std::string GetMobilePhone() = 0;
  virtual std::string GetTelephone() = 0;
  virtual std::string GetTermsOfPaymentCode() = 0;
  virtual std::string GetTermsOfPaymentName() = 0;
  virtual std::string GetVatNumber() = 0;
  virtual std::string GetWwwAddress() = 0;
  virtual bool IsPrivatePerson() = 0;
  virtual std::string GetElectronicReference() = 0;
};

class I_QZ_Suppliers : public I_QZ_Base {
 public:
  virtual std::string GetSupplierNumber() = 0;  // key of the supplier's report rows
  virtual std::string GetAddress1() = 0;
  virtual std::string GetAddress2() = 0;
  virtual bool GetAutomaticPaymentService() = 0;
  virtual std::string GetSupplierBankAccountNumber() = 0;
  virtual std::string GetSupplierBankBban() = 0;
  virtual std::string GetSupplierBankBic() = 0;
  virtual std::string GetSupplierBankCode() = 0;
  virtual std::string GetSupplierBankCountryCode() = 0;
  virtual std::string GetSupplierBankgiroNumber() = 0;
  virtual std::string GetSupplierBankIban() = 0;
  virtual std::string GetSupplierBankName() = 0;
  virtual std::string GetCity() = 0;
  virtual std::string GetContactPersonEmail() = 0;
  virtual std::string GetContactPersonMobile() = 0;
  virtual std::string GetContactPersonName() = 0;
  virtual std::string GetContactPersonPhone() = 0;
  virtual std::string GetCorporateIdentityNumber() = 0;
  virtual std::string GetCountryCode() = 0;
  virtual std::string GetCurrencyCode() = 0;
  virtual std::string GetEmailAddress() = 0;
  virtual std::string GetMobilePhone() = 0;
  virtual std::string GetName() = 0;  // name of the supplier's report rows
  virtual std::string GetNote() = 0;
  virtual std::string GetSupplierPlusgiroNumber() = 0;
  virtual std::string GetPostalCode() = 0;
  virtual std::string GetTelephone() = 0;
  virtual std::string GetTermsOfPaymentCode() = 0;
  virtual std::string GetTermsOfPaymentName() = 0;
  virtual std::string GetWwwAddress() = 0;
  virtual std::string GetBankFeeCode() = 0;
  virtual std::string GetForeignPaymentCode() = 0;
  virtual bool UsesPaymentReferenceNumbers() = 0;
};

class I_QZ_DeliveryTerms : public I_QZ_Base {
 public:
  virtual std::string GetCode() = 0;  // key of the report rows
  virtual std::string GetName() = 0;
};

class I_QZ_DeliveryMethods : public I_QZ_Base {
 public:
  virtual std::string GetCode() = 0;  // key of the report rows
  virtual std::string GetName() = 0;
};

class I_QZ_CustomerLedgerItems : public I_QZ_Base {
 public:
  virtual bool IsCreditInvoice() = 0;
  virtual int GetInvoiceNumber() = 0;  // its decimal text is the key of the report rows
  virtual std::string GetCustomerNumber() = 0;
  virtual std::string GetCustomerName() = 0;
  virtual std::string GetCustomerAddress1() = 0;
  virtual std::string GetCustomerAddress2() = 0;
  virtual std::string GetCustomerCity() = 0;
  virtual std::string GetCustomerCountry() = 0;
  virtual std::string GetCustomerPostalCode() = 0;
  virtual std::string GetInvoiceDate() = 0;
  virtual std::string GetDueDate() = 0;
  virtual std::string GetPaymentReferenceNumber() = 0;
  virtual std::string GetCurrencyCode() = 0;
  virtual std::string GetCurrencyRate() = 0;
  virtual int GetCurrencyRateUnit() = 0;
  virtual int GetCustomerLedgerAccountNumber() = 0;
  virtual std::string GetTotalAmountInvoiceCurrency() = 0;
  virtual std::string GetRemainingAmountInvoiceCurrency() = 0;
  virtual std::string GetVatAmountHigh() = 0;
  virtual std::string GetVatAmountMiddle() = 0;
  virtual std::string GetVatAmountLow() = 0;
};

class I_QZ_SupplierLedgerItems : public I_QZ_Base {
 public:
  virtual std::string GetInvoiceId() = 0;  // key of the report rows
  virtual bool IsCreditInvoice() = 0;
  virtual std::string GetSupplierInvoiceNumber() = 0;
  virtual std::string GetSupplierNumber() = 0;
  virtual std::string GetSupplierName() = 0;
  virtual std::string GetSupplierCountry() = 0;
  virtual std::string GetSupplierBankCountryCode() = 0;
  virtual std::string GetInvoiceDate() = 0;
  virtual std::string GetDueDate() = 0;
  virtual std::string GetPaymentReferenceNumber() = 0;
  virtual std::string GetPaymentMessage() = 0;
  virtual bool IsUsingTotalVatAmount() = 0;
  virtual std::string GetTotalVatAmount() = 0;
  virtual std::string GetVatAmountHigh() = 0;
  virtual std::string GetVatAmountMiddle() = 0;
  virtual std::string GetVatAmountLow() = 0;
  virtual std::string GetCurrencyCode() = 0;
  virtual std::string GetCurrencyRate() = 0;
  virtual int GetCurrencyRateUnit() = 0;
  virtual int GetSupplierLedgerAccountNumber() = 0;
  virtual std::string GetTotalAmountInvoiceCurrency() = 0;
  virtual std::string GetRemainingAmountInvoiceCurrency() = 0;
};

class I_QZ_SIE : public I_QZ_Base {
 public:
  virtual std::string GetFilePath() = 0;              // current booking year; empty when none was written
  virtual std::string GetFilePathPreviousYear() = 0;  // previous booking year; empty when none
  // Writes the SIE files into a temporary folder and returns the rows about them; a path is
  // given only for a file this call wrote.
  virtual std::vector<ReportRow> CreateSieFiles() = 0;
};
