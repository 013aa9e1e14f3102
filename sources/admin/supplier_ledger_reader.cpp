#include "sources/admin/supplier_ledger_reader.h"

#include "app/desktop/company_identification.h"
#include "app/desktop/identity_number.h"
#include "sources/admin/ledger_values.h"
#include "sources/admin/logical_field.h"
#include "sources/admin/parameter_tables.h"

namespace {

constexpr int kInvoicingEdition = 400;

const char* const kNotBooked = "Fakturan är inte bokförd.";

// The two columns of the supplier register that the invoices need.
class SupplierCountryTable : public CAdminCompanyDb {
 public:
  explicit SupplierCountryTable(std::string folder) : CAdminCompanyDb(std::move(folder), "LEV.DBF") {}
  std::string GetNumber() const { return GetField(colNumber_); }
  std::string GetCountry() const { return GetField(colCountry_); }

 private:
  int colNumber_ = Column("LEVNR"), colCountry_ = Column("LANDSKOD");
};

}  // namespace

// Inactive suppliers count too: their old invoices may still be open.
CAdminSupplierLedgerItems::CAdminSupplierLedgerItems(std::string folder) : CAdminLevfkt(std::move(folder)) {
  SupplierCountryTable suppliers(Folder());
  for (bool live = suppliers.MoveFirstRecord(); live; live = suppliers.MoveNextRecord())
    supplierCountries_.try_emplace(suppliers.GetNumber(), suppliers.GetCountry());
  suppliers.AddDamageRows(sideTableRows_, "leverantörernas land saknas");
}

bool CAdminSupplierLedgerItems::IsAvailable() {
  if (!available_) available_ = IdentifyCompany(Folder(), true).edition != kInvoicingEdition && TakeCloudLink(Folder(), link_);
  return *available_;
}

void CAdminSupplierLedgerItems::AddWarnings(std::vector<ReportRow>& rows) {
  if (link_.KeepsInvoicesBack()) {
    link_.AddRow(rows);
  } else {
    AddDamageRows(rows);
  }
}

// A value that decides whether the invoice is open, or what it sends, and does
// not read refuses the invoice: it is never taken as paid, cancelled or as
// holding another value.
bool CAdminSupplierLedgerItems::CheckCurrent(std::vector<ReportRow>& rows) {
  using enum ValueForm;
  const std::string key = GetInvoiceId();
  if (RefuseUnread(rows, key, "", {{"SALDO", colBalance_, Number}})) return false;
  if (*NumberValue(colBalance_) == 0.0) return false;  // paid
  if (RefuseUnread(rows, key, "", {{"MAKUL", colCancelled_, Logical}})) return false;
  if (*LogicalValue(colCancelled_)) return false;
  if (RefuseUnread(rows, key, "",
                   {{"LOEPNR", colId_, Key},
                    {"FDATUM", colInvoiceDate_, Date},
                    {"FFDATUM", colDueDate_, Date},
                    {"VKURS", colRate_, Number},
                    {"VENHET", colRateUnit_, WholeNumber},
                    {"TOTAL", colTotal_, Number},
                    {"MOMSBEL", colVat_, Number},
                    {"KNTLEVF", colLedgerAccount_, WholeNumber},
                    {"JOURN_NR", colJournal_, WholeNumber}}))
    return false;
  if (*WholeNumberValue(colJournal_) != 0) return true;
  rows.push_back(report::RecordRow(key, "", report::kError, report::kCaptionError, kNotBooked));
  return false;
}

std::string CAdminSupplierLedgerItems::GetSupplierCountry() {
  const auto it = supplierCountries_.find(GetSupplierNumber());
  return it == supplierCountries_.end() ? std::string() : it->second;
}

// The values below were checked by CheckCurrent.
std::string CAdminSupplierLedgerItems::GetInvoiceDate() { return DateValue(colInvoiceDate_).value_or(""); }
std::string CAdminSupplierLedgerItems::GetDueDate() { return DateValue(colDueDate_).value_or(""); }

// Only a whole valid mod-10 number is a payment reference.
std::string CAdminSupplierLedgerItems::GetPaymentReferenceNumber() {
  std::string ocr = GetOcr();
  return !ocr.empty() && CheckLuhn(ocr) ? ocr : std::string();
}

std::string CAdminSupplierLedgerItems::GetTotalVatAmount() {
  return ledger::Signed(GetField(colVat_), IsCreditInvoice());
}
std::string CAdminSupplierLedgerItems::GetCurrencyRate() { return ledger::RateOrOne(*this, colRate_); }
int CAdminSupplierLedgerItems::GetCurrencyRateUnit() { return ledger::UnitOrOne(*this, colRateUnit_); }
std::string CAdminSupplierLedgerItems::GetTotalAmountInvoiceCurrency() {
  return ledger::Signed(GetTotal(), IsCreditInvoice());
}
