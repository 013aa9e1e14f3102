#pragma once
// The getters of each source-reader interface as lists, in slot order:
//   X(result type, getter, field of a record holding the value, upload setter it feeds)
// One list serves every place that must name all getters of a kind alike: the
// readers that answer "not available", the fake readers and their records, and
// the upload jobs that copy a record into the cloud upload. A list that misses or
// adds a getter does not compile against the interfaces of source_readers.h.
#include <string>

// I_QZ_Company
#define QZ_COMPANY_FIELDS(X) \
  X(std::string, GetCorporateIdentityNumber, corporateIdentityNumber, SetCorporateIdentityNumber) \
  X(std::string, GetName, name, SetName) \
  X(std::string, GetAddress1, address1, SetAddress1) \
  X(std::string, GetAddress2, address2, SetAddress2) \
  X(std::string, GetPostalCode, postalCode, SetPostalCode) \
  X(std::string, GetCity, city, SetCity) \
  X(std::string, GetPhone, phone, SetPhone) \
  X(std::string, GetMobile, mobile, SetMobile) \
  X(std::string, GetEmail, email, SetEmail) \
  X(std::string, GetWeb, web, SetWeb) \
  X(std::string, GetVatNumber, vatNumber, SetVatNumber) \
  X(std::string, GetBankgiroNumber, bankgiroNumber, SetBankgiroNumber) \
  X(std::string, GetPlusgiroNumber, plusgiroNumber, SetPlusgiroNumber) \
  X(std::string, GetResidence, residence, SetResidence) \
  X(std::string, GetEdiGlnNumber, ediGlnNumber, SetEdiGlnNumber) \
  X(bool, HasFTaxCard, hasFTaxCard, SetHasFTaxCard) \
  X(bool, UsesReversedConstructionVat, usesReversedConstructionVat, SetUsesReversedConstructionVat) \
  X(bool, UsesMiddlemansSaleOfGoodsEc, usesMiddlemansSaleOfGoodsEc, SetUsesMiddlemansSaleOfGoodsEc) \
  X(bool, UsesRotReducedInvoicing, usesRotReducedInvoicing, SetUsesRotReducedInvoicing) \
  X(bool, UsesMoss, usesMoss, SetUsesMoss) \
  X(int, GetNextCustomerInvoiceNumber, nextCustomerInvoiceNumber, SetNextCustomerInvoiceNumber) \
  X(int, GetNextCustomerOrderNumber, nextCustomerOrderNumber, SetNextCustomerOrderNumber) \
  X(int, GetNextCustomerQuoteNumber, nextCustomerQuoteNumber, SetNextCustomerQuoteNumber) \
  X(int, GetExportApplication, exportApplication, ExportApplication) \
  X(int, GetCompanyType, companyType, CompanyType) \
  X(std::string, GetCompanyBankBic, companyBankBic, CompanyBankBic) \
  X(std::string, GetCompanyBankAccountBban, companyBankAccountBban, CompanyBankAccountBban) \
  X(std::string, GetCompanyBankAccountIban, companyBankAccountIban, CompanyBankAccountIban) \
  X(int, GetVatPeriod, vatPeriod, VatPeriod)

// I_QZ_Articles
#define QZ_ARTICLES_FIELDS(X) \
  X(bool, IsActive, isActive, SetIsActive) \
  X(std::string, GetNumber, number, SetNumber) \
  X(std::string, GetName, name, SetName) \
  X(std::string, GetNameEnglish, nameEnglish, SetNameEnglish) \
  X(std::string, GetNetPrice, netPrice, SetNetPrice) \
  X(std::string, GetGrossPrice, grossPrice, SetGrossPrice) \
  X(std::string, GetUnitCode, unitCode, SetUnitCode) \
  X(std::string, GetUnitName, unitName, SetUnitName) \
  X(std::string, GetArticleAccountCode, articleAccountCode, SetArticleAccountCode) \
  X(std::string, GetArticleAccountName, articleAccountName, SetArticleAccountName) \
  X(bool, IsMolnixAccountCode, isMolnixAccountCode, SetIsMolnixAccountCode) \
  X(std::string, GetStockBalance, stockBalance, SetStockBalance) \
  X(int, GetRotRutType, rotRutType, SetRotRutType)

// I_QZ_Customers
#define QZ_CUSTOMERS_FIELDS(X) \
  X(std::string, GetCustomerNumber, customerNumber, SetCustomerNumber) \
  X(std::string, GetCorporateIdentityNumber, corporateIdentityNumber, SetCorporateIdentityNumber) \
  X(std::string, GetContactPersonEmail, contactPersonEmail, SetContactPersonEmail) \
  X(std::string, GetContactPersonMobile, contactPersonMobile, SetContactPersonMobile) \
  X(std::string, GetContactPersonName, contactPersonName, SetContactPersonName) \
  X(std::string, GetContactPersonPhone, contactPersonPhone, SetContactPersonPhone) \
  X(std::string, GetCurrencyCode, currencyCode, SetCurrencyCode) \
  X(std::string, GetGLN, gln, SetGLN) \
  X(std::string, GetEmailAddress, emailAddress, SetEmailAddress) \
  X(std::string, GetInvoiceAddress1, invoiceAddress1, SetInvoiceAddress1) \
  X(std::string, GetInvoiceAddress2, invoiceAddress2, SetInvoiceAddress2) \
  X(std::string, GetInvoiceCity, invoiceCity, SetInvoiceCity) \
  X(std::string, GetInvoiceCountryCode, invoiceCountryCode, SetInvoiceCountryCode) \
  X(std::string, GetInvoicePostalCode, invoicePostalCode, SetInvoicePostalCode) \
  X(std::string, GetDeliveryCustomerName, deliveryCustomerName, SetDeliveryCustomerName) \
  X(std::string, GetDeliveryAddress1, deliveryAddress1, SetDeliveryAddress1) \
  X(std::string, GetDeliveryAddress2, deliveryAddress2, SetDeliveryAddress2) \
  X(std::string, GetDeliveryCity, deliveryCity, SetDeliveryCity) \
  X(std::string, GetDeliveryCountryCode, deliveryCountryCode, SetDeliveryCountryCode) \
  X(std::string, GetDeliveryPostalCode, deliveryPostalCode, SetDeliveryPostalCode) \
  X(std::string, GetDeliveryMethodCode, deliveryMethodCode, SetDeliveryMethodCode) \
  X(std::string, GetDeliveryTermCode, deliveryTermCode, SetDeliveryTermCode) \
  X(std::string, GetName, name, SetName) \
  X(std::string, GetNote, note, SetNote) \
  X(bool, GetReverseChargeOnConstructionServices, reverseChargeOnConstructionServices, SetReverseChargeOnConstructionServices) \
  X(std::string, GetMobilePhone, mobilePhone, SetMobilePhone) \
  X(std::string, GetTelephone, telephone, SetTelephone) \
  X(std::string, GetTermsOfPaymentCode, termsOfPaymentCode, SetTermsOfPaymentCode) \
  X(std::string, GetTermsOfPaymentName, termsOfPaymentName, SetTermsOfPaymentName) \
  X(std::string, GetVatNumber, vatNumber, SetVatNumber) \
  X(std::string, GetWwwAddress, wwwAddress, SetWwwAddress) \
  X(bool, IsPrivatePerson, isPrivatePerson, SetIsPrivatePerson) \
  X(std::string, GetElectronicReference, electronicReference, SetElectronicReference)

// I_QZ_Suppliers
#define QZ_SUPPLIERS_FIELDS(X) \
  X(std::string, GetSupplierNumber, supplierNumber, SetSupplierNumber) \
  X(std::string, GetAddress1, address1, SetAddress1) \
  X(std::string, GetAddress2, address2, SetAddress2) \
  X(bool, GetAutomaticPaymentService, automaticPaymentService, SetAutomaticPaymentService) \
  X(std::string, GetSupplierBankAccountNumber, supplierBankAccountNumber, SetSupplierBankAccountNumber) \
  X(std::string, GetSupplierBankBban, supplierBankBban, SetSupplierBankBban) \
  X(std::string, GetSupplierBankBic, supplierBankBic, SetSupplierBankBic) \
  X(std::string, GetSupplierBankCode, supplierBankCode, SetSupplierBankCode) \
  X(std::string, GetSupplierBankCountryCode, supplierBankCountryCode, SetSupplierBankCountryCode) \
  X(std::string, GetSupplierBankgiroNumber, supplierBankgiroNumber, SetSupplierBankgiroNumber) \
  X(std::string, GetSupplierBankIban, supplierBankIban, SetSupplierBankIban) \
  X(std::string, GetSupplierBankName, supplierBankName, SetSupplierBankName) \
  X(std::string, GetCity, city, SetCity) \
  X(std::string, GetContactPersonEmail, contactPersonEmail, SetContactPersonEmail) \
  X(std::string, GetContactPersonMobile, contactPersonMobile, SetContactPersonMobile) \
  X(std::string, GetContactPersonName, contactPersonName, SetContactPersonName) \
  X(std::string, GetContactPersonPhone, contactPersonPhone, SetContactPersonPhone) \
  X(std::string, GetCorporateIdentityNumber, corporateIdentityNumber, SetCorporateIdentityNumber) \
  X(std::string, GetCountryCode, countryCode, SetCountryCode) \
  X(std::string, GetCurrencyCode, currencyCode, SetCurrencyCode) \
  X(std::string, GetEmailAddress, emailAddress, SetEmailAddress) \
  X(std::string, GetMobilePhone, mobilePhone, SetMobilePhone) \
  X(std::string, GetName, name, SetName) \
  X(std::string, GetNote, note, SetNote) \
  X(std::string, GetSupplierPlusgiroNumber, supplierPlusgiroNumber, SetSupplierPlusgiroNumber) \
  X(std::string, GetPostalCode, postalCode, SetPostalCode) \
  X(std::string, GetTelephone, telephone, SetTelephone) \
  X(std::string, GetTermsOfPaymentCode, termsOfPaymentCode, SetTermsOfPaymentCode) \
  X(std::string, GetTermsOfPaymentName, termsOfPaymentName, SetTermsOfPaymentName) \
  X(std::string, GetWwwAddress, wwwAddress, SetWwwAddress) \
  X(std::string, GetBankFeeCode, bankFeeCode, SetBankFeeCode) \
  X(std::string, GetForeignPaymentCode, foreignPaymentCode, SetForeignPaymentCode) \
  X(bool, UsesPaymentReferenceNumbers, usesPaymentReferenceNumbers, SetUsesPaymentReferenceNumbers)

// I_QZ_DeliveryTerms
#define QZ_DELIVERY_TERMS_FIELDS(X) \
  X(std::string, GetCode, code, SetCode) \
  X(std::string, GetName, name, SetName)

// I_QZ_DeliveryMethods
#define QZ_DELIVERY_METHODS_FIELDS(X) \
  X(std::string, GetCode, code, SetCode) \
  X(std::string, GetName, name, SetName)

// I_QZ_CustomerLedgerItems
#define QZ_CUSTOMER_LEDGER_ITEMS_FIELDS(X) \
  X(bool, IsCreditInvoice, isCreditInvoice, SetIsCreditInvoice) \
  X(int, GetInvoiceNumber, invoiceNumber, SetInvoiceNumber) \
  X(std::string, GetCustomerNumber, customerNumber, SetCustomerNumber) \
  X(std::string, GetCustomerName, customerName, SetCustomerName) \
  X(std::string, GetCustomerAddress1, customerAddress1, SetCustomerAddress1) \
  X(std::string, GetCustomerAddress2, customerAddress2, SetCustomerAddress2) \
  X(std::string, GetCustomerCity, customerCity, SetCustomerCity) \
  X(std::string, GetCustomerCountry, customerCountry, SetCustomerCountry) \
  X(std::string, GetCustomerPostalCode, customerPostalCode, SetCustomerPostalCode) \
  X(std::string, GetInvoiceDate, invoiceDate, SetInvoiceDate) \
  X(std::string, GetDueDate, dueDate, SetDueDate) \
  X(std::string, GetPaymentReferenceNumber, paymentReferenceNumber, SetPaymentReferenceNumber) \
  X(std::string, GetCurrencyCode, currencyCode, SetCurrencyCode) \
  X(std::string, GetCurrencyRate, currencyRate, SetCurrencyRate) \
  X(int, GetCurrencyRateUnit, currencyRateUnit, SetCurrencyRateUnit) \
  X(int, GetCustomerLedgerAccountNumber, customerLedgerAccountNumber, SetCustomerLedgerAccountNumber) \
  X(std::string, GetTotalAmountInvoiceCurrency, totalAmountInvoiceCurrency, SetTotalAmountInvoiceCurrency) \
  X(std::string, GetRemainingAmountInvoiceCurrency, remainingAmountInvoiceCurrency, SetRemainingAmountInvoiceCurrency) \
  X(std::string, GetVatAmountHigh, vatAmountHigh, SetVatAmountHigh) \
  X(std::string, GetVatAmountMiddle, vatAmountMiddle, SetVatAmountMiddle) \
  X(std::string, GetVatAmountLow, vatAmountLow, SetVatAmountLow)

// I_QZ_SupplierLedgerItems, in slot order; an upload reads the currency before
// the VAT amounts, and readers may rely on that.
#define QZ_SUPPLIER_LEDGER_ITEMS_HEAD(X) \
  X(std::string, GetInvoiceId, invoiceId, SetInvoiceId) \
  X(bool, IsCreditInvoice, isCreditInvoice, SetIsCreditInvoice) \
  X(std::string, GetSupplierInvoiceNumber, supplierInvoiceNumber, SetSupplierInvoiceNumber) \
  X(std::string, GetSupplierNumber, supplierNumber, SetSupplierNumber) \
  X(std::string, GetSupplierName, supplierName, SetSupplierName) \
  X(std::string, GetSupplierCountry, supplierCountry, SetSupplierCountry) \
  X(std::string, GetSupplierBankCountryCode, supplierBankCountryCode, SetSupplierBankCountryCode) \
  X(std::string, GetInvoiceDate, invoiceDate, SetInvoiceDate) \
  X(std::string, GetDueDate, dueDate, SetDueDate) \
  X(std::string, GetPaymentReferenceNumber, paymentReferenceNumber, SetPaymentReferenceNumber) \
  X(std::string, GetPaymentMessage, paymentMessage, SetPaymentMessage)
#define QZ_SUPPLIER_LEDGER_ITEMS_VAT(X) \
  X(bool, IsUsingTotalVatAmount, isUsingTotalVatAmount, SetIsUsingTotalVatAmount) \
  X(std::string, GetTotalVatAmount, totalVatAmount, SetTotalVatAmount) \
  X(std::string, GetVatAmountHigh, vatAmountHigh, SetVatAmountHigh) \
  X(std::string, GetVatAmountMiddle, vatAmountMiddle, SetVatAmountMiddle) \
  X(std::string, GetVatAmountLow, vatAmountLow, SetVatAmountLow)
#define QZ_SUPPLIER_LEDGER_ITEMS_CURRENCY(X) \
  X(std::string, GetCurrencyCode, currencyCode, SetCurrencyCode) \
  X(std::string, GetCurrencyRate, currencyRate, SetCurrencyRate) \
  X(int, GetCurrencyRateUnit, currencyRateUnit, SetCurrencyRateUnit)
#define QZ_SUPPLIER_LEDGER_ITEMS_TAIL(X) \
  X(int, GetSupplierLedgerAccountNumber, supplierLedgerAccountNumber, SetSupplierLedgerAccountNumber) \
  X(std::string, GetTotalAmountInvoiceCurrency, totalAmountInvoiceCurrency, SetTotalAmountInvoiceCurrency) \
  X(std::string, GetRemainingAmountInvoiceCurrency, remainingAmountInvoiceCurrency, SetRemainingAmountInvoiceCurrency)
#define QZ_SUPPLIER_LEDGER_ITEMS_FIELDS(X) \
  QZ_SUPPLIER_LEDGER_ITEMS_HEAD(X) QZ_SUPPLIER_LEDGER_ITEMS_VAT(X) QZ_SUPPLIER_LEDGER_ITEMS_CURRENCY(X) \
  QZ_SUPPLIER_LEDGER_ITEMS_TAIL(X)
#define QZ_SUPPLIER_LEDGER_ITEMS_READ_ORDER(X) \
  QZ_SUPPLIER_LEDGER_ITEMS_HEAD(X) QZ_SUPPLIER_LEDGER_ITEMS_CURRENCY(X) QZ_SUPPLIER_LEDGER_ITEMS_VAT(X) \
  QZ_SUPPLIER_LEDGER_ITEMS_TAIL(X)

// I_QZ_SIE
#define QZ_SIE_PATHS(X) \
  X(std::string, GetFilePath, filePath, SetFilePath) \
  X(std::string, GetFilePathPreviousYear, filePathPreviousYear, SetFilePathPreviousYear)
