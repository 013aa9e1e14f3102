#include "sources/sqladmin/supplier_ledger_reader.h"


#include "app/desktop/identity_number.h"
#include "app/reader_interfaces/report_row.h"
#include "lumdb/query/query.h"
#include "sources/sqladmin/data_source.h"
#include "sources/sqladmin/open_invoice_rules.h"
#include "sources/sqladmin/register_query.h"

namespace {

constexpr const char* kColumnNames[] = {"LOEPNR", "FKT_TYP", "FKT_NR", "LEVNR", "NAMN", "OCR",
                                        "FDATUM", "FFDATUM", "MOMSBEL", "VALUTAKOD", "VKURS", "VENHET",
                                        "KNTLEVF", "TOTAL", "SALDO", "JOURN_NR", "MAKUL"};
constexpr int kNotEqual = 6;

}  // namespace

CSqlAdminSupplierLedgerItems::CSqlAdminSupplierLedgerItems(std::string companyFolder)
    : CAdmDbSql(std::move(companyFolder)) {
  const lumdb::datamodel_scope scope = ModelScope();
  static_assert(std::size(kColumnNames) == kColumnCount);
  const lumdb::datamodel_c* model = session() ? session()->datamodel() : nullptr;
  if (model == nullptr) return;
  const SqlTableColumns invoices(*model, "LEVFKT");
  if (invoices.table == nullptr) return;
  for (int column = 0; column < kColumnCount; ++column) columns_[column] = invoices.Column(kColumnNames[column]);
  const SqlTableColumns suppliers(*model, "LEV");
  supplierNumber_ = suppliers.Column("LEVNR");
  supplierCountry_ = suppliers.Column("LANDSKOD");
  if (connectionError()) return;
  // The query needs every column; without one the kind reads as empty.
  for (const lumdb::field_desc_t* field : columns_)
    if (field == nullptr) return;

  auto column = [this](Column c) { return lumdb::colexpr_c(columns_[c]->id); };
  const lumdb::filter_node_t open = lumdb::filter_and_copy(
      lumdb::filter_node_t(column(kRemaining), kNotEqual, 0.0),
      DiffersOrNull(lumdb::filter_node_t(column(kCancelled), kNotEqual, true), *columns_[kCancelled]));
  lumdb::query_c query(session());
  std::vector<lumdb::colexpr_c> selected;
  for (const lumdb::field_desc_t* field : columns_) selected.emplace_back(field->id);
  query.setup_select(invoices.table->id, selected, &open);
  query.set_order_by(column(kRunningNumber));
  const bool supplierJoin = supplierNumber_ != nullptr && supplierCountry_ != nullptr;
  if (supplierJoin) {
    supplierPath_ = {columns_[kSupplier]->id};
    query.add_column(supplierNumber_->id, supplierPath_);
    query.add_column(supplierCountry_->id, supplierPath_);
  } else {
    supplierCountry_ = nullptr;
  }
  NameRowsBy(columns_[kRunningNumber]);
  // Walked once, forward.
  auto recordset = std::make_unique<lumdb::dbrecordset_fwd_c>(session()->connection(), query);
  int joinId = 0;
  if (supplierJoin)
    (void)recordset->add_join(suppliers.table->id, {columns_[kSupplier]->id}, {supplierNumber_->id}, nullptr, &joinId);
  OpenRecordset(std::move(recordset));
}

bool CSqlAdminSupplierLedgerItems::IsAvailable() { return IsOpenInvoiceKindAvailable(link_, companyFolder(), 400); }

bool CSqlAdminSupplierLedgerItems::CheckCurrent(std::vector<ReportRow>& rows) {
  if (!CheckValues(rows, Text(kRunningNumber), "")) return false;
  if (StrToIntOrZero(Text(kVoucher)) != 0) return true;
  rows.push_back(report::RecordRow(Text(kRunningNumber), "", report::kError, report::kCaptionError,
                                   "Fakturan är inte bokförd."));
  return false;
}

std::string CSqlAdminSupplierLedgerItems::GetPaymentReferenceNumber() {
  std::string reference = Text(kOcr);
  return !reference.empty() && CheckLuhn(reference) ? reference : std::string();
}

std::string CSqlAdminSupplierLedgerItems::GetTotalVatAmount() {
  return connectionError() ? std::string() : CreditSigned(Text(kVat), IsCreditInvoice());
}

std::string CSqlAdminSupplierLedgerItems::GetCurrencyRate() { return RateOrOne(*this, columns_[kRate]); }

int CSqlAdminSupplierLedgerItems::GetCurrencyRateUnit() { return RateUnitOrOne(*this, columns_[kRateUnit]); }

int CSqlAdminSupplierLedgerItems::GetSupplierLedgerAccountNumber() { return StrToIntOrZero(Text(kLedgerAccount)); }

std::string CSqlAdminSupplierLedgerItems::GetTotalAmountInvoiceCurrency() {
  return CreditSigned(Text(kTotal), IsCreditInvoice());
}
