#include "app/import_jobs.h"

#include <algorithm>
#include <cstdio>

#include "app/reader_interfaces/reader_fields.h"

using namespace KLCR_MolnixMigration;

namespace {

constexpr int kProgressStep = 250;  // records between two progress texts

std::string FieldErrorText(int code) { return KLCRReturnsErrorInfo::GetFieldErrorText(code, klcr::kSwedish); }

// The record a refusal is about. Callers pass it braced, so the key is read before
// the name (the arguments of a call would be read in no fixed order).
struct RefusedRecord {
  std::string key;
  std::string name;
};

ReportRow RefusalRow(RefusedRecord record, int code) {
  return report::RecordRow(std::move(record.key), std::move(record.name), report::kError, report::kCaptionError,
                           FieldErrorText(code));
}

}  // namespace

#define QZ_COPY_TO_UPLOAD(type, getter, field, setter) upload_.setter(reader_->getter());

// ---------------------------------------------------------------------------
// The walk of the registers and the open invoices

template <class Reader, class UploadObject>
bool CMlxImportRecords<Reader, UploadObject>::IsAboveMaximum() const {
  return this->upload_.GetCount() > static_cast<unsigned>(this->GetMaxCount());
}

template <class Reader, class UploadObject>
void CMlxImportRecords<Reader, UploadObject>::ShowCount(ProgressSink* progress, int counted) const {
  char text[128];
  std::snprintf(text, sizeof text, ProgressFormat(), counted);
  progress->ShowProgress(text);
}

template <class Reader, class UploadObject>
std::vector<ReportRow> CMlxImportRecords<Reader, UploadObject>::Check(ProgressSink* progress) {
  std::vector<ReportRow> rows;
  Reader* reader = this->reader_;
  int counted = 0;
  if (reader->MoveFirst()) {
    do {
      // The walk stops once the object holds one record more than the maximum: the
      // register is then too large to send, and the report says so.
      if (HasMaximum()) {
        if (IsAboveMaximum()) break;
        if (reader->IsCurrentCounted()) ++counted;
      }
      if (reader->CheckCurrent(rows)) {
        CopyRecord();
        if (const int code = AddRecord(); code != klcr::kFieldOk) {
          ResetRecord();
          AddRefusalRows(code, rows);
        }
      }
      if (HasMaximum() && progress && counted % kProgressStep == 0) ShowCount(progress, counted);
    } while (reader->MoveNext());
  }
  if (HasMaximum() && progress) ShowCount(progress, counted);
  reader->AddWarnings(rows);
  reader->Close();
  return rows;
}

template <class Reader, class UploadObject>
int CMlxImportRecords<Reader, UploadObject>::Upload() {
  if (this->upload_.GetCount() == 0 || (HasMaximum() && IsAboveMaximum())) return 0;
  return this->Send();
}

template class CMlxImportRecords<I_QZ_Articles, CUploadArticles>;
template class CMlxImportRecords<I_QZ_Customers, CUploadCustomers>;
template class CMlxImportRecords<I_QZ_Suppliers, CUploadSuppliers>;
template class CMlxImportRecords<I_QZ_DeliveryTerms, CUploadDeliveryTerms>;
template class CMlxImportRecords<I_QZ_DeliveryMethods, CUploadDeliveryMethods>;
template class CMlxImportRecords<I_QZ_CustomerLedgerItems, CUploadCustomerLedgerItems>;
template class CMlxImportRecords<I_QZ_SupplierLedgerItems, CUploadSupplierLedgerItems>;

// ---------------------------------------------------------------------------
// Company settings

std::vector<ReportRow> CMlxImportCompany::Check(ProgressSink*) {
  std::vector<ReportRow> rows;
  reader_->AddWarnings(rows);
  reader_->Close();
  readWhole_ = std::none_of(rows.begin(), rows.end(), [](const ReportRow& row) { return row.kind == report::kError; });
  return rows;
}

int CMlxImportCompany::Upload() {
  if (!readWhole_) return 0;
  QZ_COMPANY_FIELDS(QZ_COPY_TO_UPLOAD)
  return Send();
}

// ---------------------------------------------------------------------------
// Registers

void CMlxImportArticles::CopyRecord() { QZ_ARTICLES_FIELDS(QZ_COPY_TO_UPLOAD) }

void CMlxImportArticles::AddRefusalRows(int code, std::vector<ReportRow>& rows) {
  rows.push_back(RefusalRow({reader_->GetNumber(), reader_->GetName()}, code));
  if (code == klcr::kFieldRequiredMissing && reader_->GetArticleAccountCode().empty()) {
    std::string number = rows.back().key;
    rows.push_back({std::move(number), "", report::kInfo, "", FieldErrorText(klcr::kFieldAccountCodeMissing)});
  }
}

void CMlxImportCustomers::CopyRecord() { QZ_CUSTOMERS_FIELDS(QZ_COPY_TO_UPLOAD) }

void CMlxImportCustomers::AddRefusalRows(int code, std::vector<ReportRow>& rows) {
  rows.push_back(RefusalRow({reader_->GetCustomerNumber(), reader_->GetName()}, code));
}

void CMlxImportSuppliers::CopyRecord() { QZ_SUPPLIERS_FIELDS(QZ_COPY_TO_UPLOAD) }

void CMlxImportSuppliers::AddRefusalRows(int code, std::vector<ReportRow>& rows) {
  rows.push_back(RefusalRow({reader_->GetSupplierNumber(), reader_->GetName()}, code));
}

void CMlxImportDeliveryTerms::CopyRecord() { QZ_DELIVERY_TERMS_FIELDS(QZ_COPY_TO_UPLOAD) }

void CMlxImportDeliveryTerms::AddRefusalRows(int code, std::vector<ReportRow>& rows) {
  rows.push_back(RefusalRow({reader_->GetCode(), reader_->GetName()}, code));
}

void CMlxImportDeliveryMethods::CopyRecord() { QZ_DELIVERY_METHODS_FIELDS(QZ_COPY_TO_UPLOAD) }

void CMlxImportDeliveryMethods::AddRefusalRows(int code, std::vector<ReportRow>& rows) {
  rows.push_back(RefusalRow({reader_->GetCode(), reader_->GetName()}, code));
}

// ---------------------------------------------------------------------------
// Open invoices

void CMlxImportCustomerLedgerItems::CopyRecord() { QZ_CUSTOMER_LEDGER_ITEMS_FIELDS(QZ_COPY_TO_UPLOAD) }

void CMlxImportCustomerLedgerItems::AddRefusalRows(int code, std::vector<ReportRow>& rows) {
  rows.push_back(RefusalRow({std::to_string(reader_->GetInvoiceNumber()), ""}, code));
}

void CMlxImportSupplierLedgerItems::CopyRecord() { QZ_SUPPLIER_LEDGER_ITEMS_READ_ORDER(QZ_COPY_TO_UPLOAD) }

void CMlxImportSupplierLedgerItems::AddRefusalRows(int code, std::vector<ReportRow>& rows) {
  rows.push_back(RefusalRow({reader_->GetInvoiceId(), ""}, code));
}

// ---------------------------------------------------------------------------
// SIE files

std::vector<ReportRow> CMlxImportSIE::Check(ProgressSink*) {
  std::vector<ReportRow> rows = reader_->CreateSieFiles();
  // What the report says cannot be sent is not sent, whatever paths the reader kept.
  refused_ = std::any_of(rows.begin(), rows.end(), [](const ReportRow& row) {
    return row.kind == report::kError || row.kind == report::kAccountType;
  });
  return rows;
}

int CMlxImportSIE::GetSieFileState() {
  if (refused_ || reader_->GetFilePath().empty()) return 0;
  return reader_->GetFilePathPreviousYear().empty() ? 1 : 2;
}

int CMlxImportSIE::Upload() {
  if (GetSieFileState() == 0) return 0;
  upload_.SetFilePath(reader_->GetFilePath());
  upload_.SetFilePathPreviousYear(reader_->GetFilePathPreviousYear());
  return Send();
}

#undef QZ_COPY_TO_UPLOAD
