#include "sources/admin/customer_ledger_reader.h"

#include "app/desktop/company_identification.h"
#include "sources/admin/ledger_values.h"
#include "sources/admin/logical_field.h"
#include "sources/admin/parameter_tables.h"

namespace {

constexpr int kSmallestEdition = 200;
constexpr int kInvoicingEdition = 400;

const char* const kNotPrinted = "Fakturan är inte utskriven.";
const char* const kNotBooked = "Fakturan är inte bokförd.";

}  // namespace

CAdminOof::CAdminOof(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {
  const CAdminPrm prm(Folder());
  usesOcr_ = IsLogicalSet(prm.GetAkiOcr());
  prm.AddSettingsTableRows(sideTableRows_, "OCR-nummer saknas");
  // Whether the company prints OCR numbers is not known: none are sent.
  if (prm.FirstUnreadValue({prm.AkiOcrColumn()})) {
    sideTableRows_.push_back({"", "", report::kWarning, report::kCaptionWarning,
                              prm.UnreadValueText(prm.AkiOcrColumn(), "OCR-nummer saknas")});
  }
}

bool CAdminCustomerLedgerItems::IsAvailable() {
  if (!available_) available_ = IdentifyCompany(Folder(), true).edition != kSmallestEdition && TakeCloudLink(Folder(), link_);
  return *available_;
}

void CAdminCustomerLedgerItems::AddWarnings(std::vector<ReportRow>& rows) {
  if (link_.KeepsInvoicesBack()) {
    link_.AddRow(rows);
  } else {
    AddDamageRows(rows);
  }
}

bool CAdminCustomerLedgerItems::MoveFirst() {
  edition_.reset();
  return !link_.KeepsInvoicesBack() && MoveFirstRecord();
}

int CAdminCustomerLedgerItems::Edition() {
  if (!edition_) edition_ = IdentifyCompany(Folder(), true).edition;
  return *edition_;
}

// A value that decides whether the invoice is open, or what it sends, and does
// not read refuses the invoice: it is never taken as paid, cancelled or as
// holding another value.
bool CAdminCustomerLedgerItems::CheckCurrent(std::vector<ReportRow>& rows) {
  using enum ValueForm;
  if (GetField(colDocType_) != "F") return false;  // an order or an offer
  const std::string type = GetField(colInvoiceType_);
  if (type == "N") return false;
  const std::string key = GetField(colDocNumber_);
  if (RefuseUnread(rows, key, "", {{"SALDO", colBalance_, Number}})) return false;
  if (*NumberValue(colBalance_) == 0.0) return false;  // paid
  if (RefuseUnread(rows, key, "", {{"MAKUL", colCancelled_, Logical}})) return false;
  if (*LogicalValue(colCancelled_)) return false;
  if (RefuseUnread(rows, key, "",
                   {{"DOKNR", colDocNumber_, Key},
                    {"DATUM1", colInvoiceDate_, Date},
                    {"DATUM2", colDueDate_, Date},
                    {"VALUTAKURS", colRate_, Number},
                    {"VALUTAENH", colRateUnit_, WholeNumber},
                    {"TOTALT", colTotal_, Number},
                    {"MOMSBEL1", colVatHigh_, Number},
                    {"MOMSBEL2", colVatMiddle_, Number},
                    {"MOMSBEL3", colVatLow_, Number},
                    {"KNTKUNDF", colLedgerAccount_, WholeNumber}}))
    return false;
  if (type == "f" || type == "k") return true;

  ReportRow row = report::RecordRow(key, "", report::kError, report::kCaptionError, "");
  if (Edition() == kInvoicingEdition) {
    if (RefuseUnread(rows, key, "", {{"UTSK", colPrinted_, Logical}})) return false;
    if (*LogicalValue(colPrinted_)) return true;
    row.text = kNotPrinted;
  } else {
    if (RefuseUnread(rows, key, "", {{"KOPPL_DOK3", colBooking_, WholeNumber}})) return false;
    if (*WholeNumberValue(colBooking_) != 0) return true;
    row.text = kNotBooked;
  }
  rows.push_back(std::move(row));
  return false;
}

bool CAdminCustomerLedgerItems::IsCreditInvoice() {
  const std::string type = GetField(colInvoiceType_);
  return type == "K" || type == "k";
}

// The values below were checked by CheckCurrent.
std::string CAdminCustomerLedgerItems::GetInvoiceDate() { return DateValue(colInvoiceDate_).value_or(""); }
std::string CAdminCustomerLedgerItems::GetDueDate() { return DateValue(colDueDate_).value_or(""); }
std::string CAdminCustomerLedgerItems::GetCurrencyRate() { return ledger::RateOrOne(*this, colRate_); }
int CAdminCustomerLedgerItems::GetCurrencyRateUnit() { return ledger::UnitOrOne(*this, colRateUnit_); }

std::string CAdminCustomerLedgerItems::SignedAmount(int column) {
  return ledger::Signed(GetField(column), IsCreditInvoice());
}
std::string CAdminCustomerLedgerItems::GetTotalAmountInvoiceCurrency() { return SignedAmount(colTotal_); }
std::string CAdminCustomerLedgerItems::GetVatAmountHigh() { return SignedAmount(colVatHigh_); }
std::string CAdminCustomerLedgerItems::GetVatAmountMiddle() { return SignedAmount(colVatMiddle_); }
std::string CAdminCustomerLedgerItems::GetVatAmountLow() { return SignedAmount(colVatLow_); }
