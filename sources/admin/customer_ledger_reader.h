#pragma once
// The open customer invoices of a DBF company, from its document table
// OOF.DBF (orders, offers and invoices alike). Only invoices with a balance
// that are neither cancelled nor held back are uploaded; an open invoice held
// back because it is not printed (invoicing program) or not booked (the other
// programs) is named in a report row, as is one with a number, date or flag
// that does not read as its field's type (refused, never taken as paid).
#include <optional>
#include <string>

#include "app/reader_interfaces/open_invoice_link.h"
#include "app/reader_interfaces/source_readers.h"
#include "sources/admin/company_db.h"

class CAdminOof : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "OOF.DBF";
  explicit CAdminOof(std::string folder);

 protected:
  // The company prints payment references (OCR numbers) on its invoices (PRM.AKI_OCR).
  bool usesOcr_ = false;
  int colDocType_ = Column("DOKTYP"), colDocNumber_ = Column("DOKNR"), colBooking_ = Column("KOPPL_DOK3"),
      colPrinted_ = Column("UTSK"), colCancelled_ = Column("MAKUL"), colInvoiceDate_ = Column("DATUM1"),
      colDueDate_ = Column("DATUM2"), colInvoiceType_ = Column("FKTTYP"), colCustomerNumber_ = Column("KUNDNR"),
      colName_ = Column("NAMN"), colAddress1_ = Column("POSTADR"), colAddress2_ = Column("POSTADR2"),
      colPostalCode_ = Column("POSTNR"), colCity_ = Column("ORT"), colCurrency_ = Column("VALUTAKOD"),
      colRate_ = Column("VALUTAKURS"), colRateUnit_ = Column("VALUTAENH"), colTotal_ = Column("TOTALT"),
      colBalance_ = Column("SALDO"), colVatHigh_ = Column("MOMSBEL1"), colVatMiddle_ = Column("MOMSBEL2"),
      colVatLow_ = Column("MOMSBEL3"), colLedgerAccount_ = Column("KNTKUNDF"), colOcr_ = Column("OCRNR"),
      colCountry_ = Column("LANDKOD");
};

class CAdminCustomerLedgerItems : public CAdminOof, public I_QZ_CustomerLedgerItems {
 public:
  explicit CAdminCustomerLedgerItems(std::string folder) : CAdminOof(std::move(folder)) {}

  // Not for the smallest edition, nor for a company already linked to the cloud;
  // a link that cannot be read keeps the invoices back (OpenInvoiceLink). Read
  // once: the desktop program may link the company while the user reads the
  // report, and the invoices the report promised must still go with the send.
  bool IsAvailable() override;
  void Close() override { CloseTable(); }
  void AddWarnings(std::vector<ReportRow>& rows) override;
  bool CheckCurrent(std::vector<ReportRow>& rows) override;
  bool MoveFirst() override;
  bool MoveNext() override { return MoveNextRecord(); }

  bool IsCreditInvoice() override;
  int GetInvoiceNumber() override { return WholeNumberValue(colDocNumber_).value_or(0); }
  std::string GetCustomerNumber() override { return GetField(colCustomerNumber_); }
  std::string GetCustomerName() override { return GetField(colName_); }
  std::string GetCustomerAddress1() override { return GetField(colAddress1_); }
  std::string GetCustomerAddress2() override { return GetField(colAddress2_); }
  std::string GetCustomerCity() override { return GetField(colCity_); }
  std::string GetCustomerCountry() override { return GetField(colCountry_); }
  std::string GetCustomerPostalCode() override { return GetField(colPostalCode_); }
  std::string GetInvoiceDate() override;
  std::string GetDueDate() override;
  std::string GetPaymentReferenceNumber() override { return usesOcr_ ? GetField(colOcr_) : std::string(); }
  std::string GetCurrencyCode() override { return GetField(colCurrency_); }
  std::string GetCurrencyRate() override;
  int GetCurrencyRateUnit() override;
  int GetCustomerLedgerAccountNumber() override { return WholeNumberValue(colLedgerAccount_).value_or(0); }
  std::string GetTotalAmountInvoiceCurrency() override;
  std::string GetRemainingAmountInvoiceCurrency() override { return GetField(colBalance_); }
  std::string GetVatAmountHigh() override;
  std::string GetVatAmountMiddle() override;
  std::string GetVatAmountLow() override;

 private:
  std::string SignedAmount(int column);
  int Edition();

  // The company's edition, identified once per walk when the first invoice needs it.
  std::optional<int> edition_;
  std::optional<bool> available_;
  OpenInvoiceLink link_;
};
