#pragma once
// The open supplier invoices of a DBF company, from LEVFKT.DBF. Every live
// invoice with a balance that is not cancelled is uploaded once it is booked;
// an open invoice not yet booked is named in a report row, as is one with a
// number, date or flag that does not read as its field's type. Each invoice
// carries its supplier's country from the supplier register (LEV.DBF), read
// once at construction.
#include <map>
#include <optional>
#include <string>

#include "app/reader_interfaces/open_invoice_link.h"
#include "app/reader_interfaces/source_readers.h"
#include "sources/admin/company_db.h"

class CAdminLevfkt : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "LEVFKT.DBF";
  explicit CAdminLevfkt(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}

  std::string GetOcr() const { return GetField(colOcr_); }
  std::string GetTotal() const { return GetField(colTotal_); }
  std::string GetBalance() const { return GetField(colBalance_); }

 protected:
  int colId_ = Column("LOEPNR"), colInvoiceType_ = Column("FKT_TYP"), colInvoiceNumber_ = Column("FKT_NR"),
      colSupplierNumber_ = Column("LEVNR"), colName_ = Column("NAMN"), colOcr_ = Column("OCR"),
      colInvoiceDate_ = Column("FDATUM"), colDueDate_ = Column("FFDATUM"), colVat_ = Column("MOMSBEL"),
      colCurrency_ = Column("VALUTAKOD"), colRate_ = Column("VKURS"), colRateUnit_ = Column("VENHET"),
      colLedgerAccount_ = Column("KNTLEVF"), colTotal_ = Column("TOTAL"), colBalance_ = Column("SALDO"),
      colJournal_ = Column("JOURN_NR"), colCancelled_ = Column("MAKUL");
};

class CAdminSupplierLedgerItems : public CAdminLevfkt, public I_QZ_SupplierLedgerItems {
 public:
  explicit CAdminSupplierLedgerItems(std::string folder);

  // Not for the invoicing program, nor for a company already linked to the cloud;
  // a link that cannot be read keeps the invoices back (OpenInvoiceLink). Read
  // once: the desktop program may link the company while the user reads the
  // report, and the invoices the report promised must still go with the send.
  bool IsAvailable() override;
  void Close() override { CloseTable(); }
  void AddWarnings(std::vector<ReportRow>& rows) override;
  bool CheckCurrent(std::vector<ReportRow>& rows) override;
  bool MoveFirst() override { return !link_.KeepsInvoicesBack() && MoveFirstRecord(); }
  bool MoveNext() override { return MoveNextRecord(); }

  std::string GetInvoiceId() override { return GetField(colId_); }
  bool IsCreditInvoice() override { return GetField(colInvoiceType_) == "K"; }
  std::string GetSupplierInvoiceNumber() override { return GetField(colInvoiceNumber_); }
  std::string GetSupplierNumber() override { return GetField(colSupplierNumber_); }
  std::string GetSupplierName() override { return GetField(colName_); }
  std::string GetSupplierCountry() override;
  std::string GetSupplierBankCountryCode() override { return GetSupplierCountry(); }
  std::string GetInvoiceDate() override;
  std::string GetDueDate() override;
  std::string GetPaymentReferenceNumber() override;
  // The supplier's OCR text in any case, so a free-text message is not lost.
  std::string GetPaymentMessage() override { return GetOcr(); }
  bool IsUsingTotalVatAmount() override { return true; }
  std::string GetTotalVatAmount() override;
  std::string GetVatAmountHigh() override { return {}; }
  std::string GetVatAmountMiddle() override { return {}; }
  std::string GetVatAmountLow() override { return {}; }
  std::string GetCurrencyCode() override { return GetField(colCurrency_); }
  std::string GetCurrencyRate() override;
  int GetCurrencyRateUnit() override;
  int GetSupplierLedgerAccountNumber() override { return WholeNumberValue(colLedgerAccount_).value_or(0); }
  std::string GetTotalAmountInvoiceCurrency() override;
  std::string GetRemainingAmountInvoiceCurrency() override { return GetBalance(); }

 private:
  // Supplier number to country code, of the live suppliers; the first record of a number wins.
  std::map<std::string, std::string, std::less<>> supplierCountries_;
  std::optional<bool> available_;
  OpenInvoiceLink link_;
};
