#pragma once
// The open customer invoices of an SQL company: invoice documents of OOF with a
// remainder, neither cancelled nor excluded, by invoice number.
#include <array>
#include <optional>
#include <string>

#include "app/reader_interfaces/source_readers.h"
#include "sources/sqladmin/company_connection.h"
#include "sources/sqladmin/open_invoice_rules.h"

class CSqlAdminCustomerLedgerItems : public I_QZ_CustomerLedgerItems, public CAdmDbSql {
 public:
  explicit CSqlAdminCustomerLedgerItems(std::string companyFolder);

  bool IsAvailable() override;
  void Close() override { ReleaseStatement(); }
  void AddWarnings(std::vector<ReportRow>& rows) override;
  bool CheckCurrent(std::vector<ReportRow>& rows) override;
  bool IsCurrentCounted() override { return true; }
  bool MoveFirst() override { return !link_.KeepsInvoicesBack() && CAdmDbSql::MoveFirst(); }
  bool MoveNext() override { return CAdmDbSql::MoveNext(); }

  bool IsCreditInvoice() override;
  int GetInvoiceNumber() override { return Number(kNumber); }
  std::string GetCustomerNumber() override { return Text(kCustomer); }
  std::string GetCustomerName() override { return Text(kName); }
  std::string GetCustomerAddress1() override { return Text(kAddress1); }
  std::string GetCustomerAddress2() override { return Text(kAddress2); }
  std::string GetCustomerCity() override { return Text(kCity); }
  std::string GetCustomerCountry() override { return Text(kCountry); }
  std::string GetCustomerPostalCode() override { return Text(kPostalCode); }
  std::string GetInvoiceDate() override { return Text(kInvoiceDate); }
  std::string GetDueDate() override { return Text(kDueDate); }
  std::string GetPaymentReferenceNumber() override { return usesOcr_ ? Text(kOcr) : std::string(); }
  std::string GetCurrencyCode() override { return Text(kCurrency); }
  std::string GetCurrencyRate() override;
  int GetCurrencyRateUnit() override;
  int GetCustomerLedgerAccountNumber() override { return Number(kLedgerAccount); }
  std::string GetTotalAmountInvoiceCurrency() override { return Signed(kTotal); }
  std::string GetRemainingAmountInvoiceCurrency() override { return Text(kRemaining); }
  std::string GetVatAmountHigh() override { return Signed(kVat1); }
  std::string GetVatAmountMiddle() override { return Signed(kVat2); }
  std::string GetVatAmountLow() override { return Signed(kVat3); }

 private:
  // The columns of OOF, in the order the query selects them.
  enum Column {
    kDocumentType, kNumber, kVoucher, kPrinted, kCancelled, kInvoiceDate, kDueDate, kInvoiceType, kCustomer, kName,
    kAddress1, kAddress2, kPostalCode, kCity, kCurrency, kRate, kRateUnit, kTotal, kRemaining, kVat1, kVat2, kVat3,
    kVat4, kLedgerAccount, kOcr, kCountry, kColumnCount
  };
  std::string Text(Column column) const { return GetColumnString(columns_[column]); }
  int Number(Column column) const;
  // A credit invoice's amounts are sent with the opposite sign.
  std::string Signed(Column column);

  OpenInvoiceLink link_;
  bool usesOcr_ = false;
  std::string ocrUnread_;  // why PRM could not be read for the flag; empty when it was
  // The edition decides the check (printed or booked); looked up once, not per invoice.
  std::optional<int> edition_;
  std::array<const lumdb::field_desc_t*, kColumnCount> columns_{};
};
