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

bool CAdminCustomerLedgerItems::CheckCurrent(std::vector<ReportRow>& rows) {
  if (GetField(colDocType_) != "F") return false;  // an order or an offer
  const std::string type = GetField(colInvoiceType_);
  if (type == "N") return false;
  if (ToDouble(GetField(colBalance_)) == 0.0) return false;  // paid
  if (IsLogicalSet(GetField(colCancelled_))) return false;
  if (type == "f" || type == "k") return true;

  ReportRow row = report::RecordRow(GetField(colDocNumber_), "", report::kError, report::kCaptionError, "");
  if (Edition() == kInvoicingEdition) {
    if (IsLogicalSet(GetField(colPrinted_))) return true;
    row.text = kNotPrinted;
  } else {
    if (ToInt(GetField(colBooking_)) != 0) return true;
    row.text = kNotBooked;
  }
  rows.push_back(std::move(row));
  return false;
}

bool CAdminCustomerLedgerItems::IsCreditInvoice() {
  const std::string type = GetField(colInvoiceType_);
  return type == "K" || type == "k";
}

std::string CAdminCustomerLedgerItems::GetInvoiceDate() { return ledger::DateText(GetField(colInvoiceDate_)); }
std::string CAdminCustomerLedgerItems::GetDueDate() { return ledger::DateText(GetField(colDueDate_)); }
std::string CAdminCustomerLedgerItems::GetCurrencyRate() { return ledger::RateOrOne(GetField(colRate_)); }
int CAdminCustomerLedgerItems::GetCurrencyRateUnit() { return ledger::UnitOrOne(GetField(colRateUnit_)); }

std::string CAdminCustomerLedgerItems::SignedAmount(int column) {
  return ledger::Signed(GetField(column), IsCreditInvoice());
}
std::string CAdminCustomerLedgerItems::GetTotalAmountInvoiceCurrency() { return SignedAmount(colTotal_); }
std::string CAdminCustomerLedgerItems::GetVatAmountHigh() { return SignedAmount(colVatHigh_); }
std::string CAdminCustomerLedgerItems::GetVatAmountMiddle() { return SignedAmount(colVatMiddle_); }
std::string CAdminCustomerLedgerItems::GetVatAmountLow() { return SignedAmount(colVatLow_); }
