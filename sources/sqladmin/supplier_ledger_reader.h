#pragma once
// The open supplier invoices of an SQL company: the invoices of LEVFKT with a
// remainder that are not cancelled, by running number, each with its supplier's
// country from LEV.
#include <array>
#include <string>

#include "app/reader_interfaces/source_readers.h"
#include "lumdb/query/join_path.h"
#include "sources/sqladmin/company_connection.h"
#include "sources/sqladmin/open_invoice_rules.h"

class CSqlAdminSupplierLedgerItems : public I_QZ_SupplierLedgerItems, public CAdmDbSql {
 public:
  explicit CSqlAdminSupplierLedgerItems(std::string companyFolder);

  bool IsAvailable() override;
  void Close() override { ReleaseStatement(); }
  void AddWarnings(std::vector<ReportRow>& rows) override {
    if (link_.KeepsInvoicesBack()) {
      link_.AddRow(rows);
    } else {
      AddUnreadRowsRow(rows);
    }
  }
  bool CheckCurrent(std::vector<ReportRow>& rows) override;
  bool IsCurrentCounted() override { return true; }
  bool MoveFirst() override { return !link_.KeepsInvoicesBack() && CAdmDbSql::MoveFirst(); }
  bool MoveNext() override { return CAdmDbSql::MoveNext(); }

  std::string GetInvoiceId() override { return Text(kRunningNumber); }
  bool IsCreditInvoice() override { return Text(kInvoiceType) == "K"; }
  std::string GetSupplierInvoiceNumber() override { return Text(kInvoiceNumber); }
  std::string GetSupplierNumber() override { return Text(kSupplier); }
  std::string GetSupplierName() override { return Text(kName); }
  std::string GetSupplierCountry() override { return GetColumnString(supplierCountry_, &supplierPath_); }
  std::string GetSupplierBankCountryCode() override { return GetSupplierCountry(); }
  std::string GetInvoiceDate() override { return Text(kInvoiceDate); }
  std::string GetDueDate() override { return Text(kDueDate); }
  std::string GetPaymentReferenceNumber() override;
  std::string GetPaymentMessage() override { return Text(kOcr); }
  bool IsUsingTotalVatAmount() override { return true; }
  std::string GetTotalVatAmount() override;
  std::string GetVatAmountHigh() override { return {}; }
  std::string GetVatAmountMiddle() override { return {}; }
  std::string GetVatAmountLow() override { return {}; }
  std::string GetCurrencyCode() override { return Text(kCurrency); }
  std::string GetCurrencyRate() override;
  int GetCurrencyRateUnit() override;
  int GetSupplierLedgerAccountNumber() override;
  std::string GetTotalAmountInvoiceCurrency() override;
  std::string GetRemainingAmountInvoiceCurrency() override { return Text(kRemaining); }

 private:
  // The columns of LEVFKT, in the order the query selects them.
  enum Column {
    kRunningNumber, kInvoiceType, kInvoiceNumber, kSupplier, kName, kOcr, kInvoiceDate, kDueDate, kVat, kCurrency,
    kRate, kRateUnit, kLedgerAccount, kTotal, kRemaining, kVoucher, kCancelled, kColumnCount
  };
  std::string Text(Column column) const { return GetColumnString(columns_[column]); }

  OpenInvoiceLink link_;
  std::array<const lumdb::field_desc_t*, kColumnCount> columns_{};
  const lumdb::field_desc_t* supplierNumber_ = nullptr;
  const lumdb::field_desc_t* supplierCountry_ = nullptr;
  lumdb::join_path_t supplierPath_;
};
