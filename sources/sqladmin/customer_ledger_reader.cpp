#include "sources/sqladmin/customer_ledger_reader.h"

#include "app/desktop/company_identification.h"
#include "app/reader_interfaces/report_row.h"
#include "lumdb/query/datamodel.h"
#include "lumdb/query/filter.h"
#include "lumdb/query/query.h"
#include "lumdb/record/errors.h"
#include "platform/log.h"
#include "sources/sqladmin/data_source.h"
#include "sources/sqladmin/open_invoice_rules.h"
#include "sources/sqladmin/register_query.h"

namespace {

constexpr const char* kColumnNames[] = {
    "DOKTYP", "DOKNR", "KOPPL_DOK3", "UTSK", "MAKUL", "DATUM1", "DATUM2", "FKTTYP", "KUNDNR", "NAMN",
    "POSTADR", "POSTADR2", "POSTNR", "ORT", "VALUTAKOD", "VALUTAKURS", "VALUTAENH", "TOTALT", "SALDO", "MOMSBEL1",
    "MOMSBEL2", "MOMSBEL3", "MOMSBEL4", "KNTKUNDF", "OCRNR", "LANDKOD"};
constexpr int kEqual = 1;
constexpr int kNotEqual = 6;

// Whether the company sends OCR payment references (PRM.AKI_OCR); a model without
// the flag sends none. Why PRM could not be read (a PRM without its row included)
// goes to `unread`.
bool ReadUsesOcr(CompanySession& session, const lumdb::datamodel_c& model, std::string& unread) {
  const SqlTableColumns settings(model, "PRM");
  const lumdb::field_desc_t* flag = settings.Column("AKI_OCR");
  if (flag == nullptr) return false;
  if (unread = session.LockMet(); !unread.empty()) return false;
  try {
    lumdb::query_c query(&session);
    query.setup_select(settings.table->id, {lumdb::colexpr_c(flag->id)}, nullptr);
    lumdb::dbrecordset_fwd_c rows = OpenForwardRecordset(session.connection(), query);
    FetchFirstRow(rows);
    return rows.get_bool(flag->id);
  } catch (const lumdb::db_error& error) {
    unread = session.FailureWords(error.code());
  } catch (const std::exception& error) {
    unread = error.what();
  }
  return false;
}

}  // namespace

CSqlAdminCustomerLedgerItems::CSqlAdminCustomerLedgerItems(std::string companyFolder)
    : CAdmDbSql(std::move(companyFolder)) {
  const lumdb::datamodel_scope scope = ModelScope();
  static_assert(std::size(kColumnNames) == kColumnCount);
  const lumdb::datamodel_c* model = session() ? session()->datamodel() : nullptr;
  if (model == nullptr) return;
  if (!connectionError()) {
    usesOcr_ = ReadUsesOcr(*session(), *model, ocrUnread_);
    if (!ocrUnread_.empty()) WriteLog("Tabellen PRM kunde inte läsas (AKI_OCR): " + ocrUnread_);
  }
  const SqlTableColumns documents(*model, "OOF");
  if (documents.table == nullptr) return;
  for (int column = 0; column < kColumnCount; ++column) columns_[column] = documents.Column(kColumnNames[column]);
  if (connectionError()) return;
  // The query needs every column; without one the kind reads as empty.
  for (const lumdb::field_desc_t* field : columns_)
    if (field == nullptr) return;

  auto column = [this](Column c) { return lumdb::colexpr_c(columns_[c]->id); };
  lumdb::filter_node_t open(column(kDocumentType), kEqual, std::string("F"));
  open = lumdb::filter_and_copy(open, DiffersOrNull(lumdb::filter_node_t(column(kInvoiceType), kNotEqual,
                                                                         std::string("N")), *columns_[kInvoiceType]));
  open = lumdb::filter_and_copy(open, lumdb::filter_node_t(column(kRemaining), kNotEqual, 0.0));
  open = lumdb::filter_and_copy(
      open, DiffersOrNull(lumdb::filter_node_t(column(kCancelled), kNotEqual, true), *columns_[kCancelled]));
  lumdb::query_c query(session());
  std::vector<lumdb::colexpr_c> selected;
  for (const lumdb::field_desc_t* field : columns_) selected.emplace_back(field->id);
  query.setup_select(documents.table->id, selected, &open);
  query.set_order_by(column(kNumber));
  NameRowsBy(columns_[kNumber]);
  // Walked once, forward.
  OpenRecordset(std::make_unique<lumdb::dbrecordset_fwd_c>(session()->connection(), query));
}

void CSqlAdminCustomerLedgerItems::AddWarnings(std::vector<ReportRow>& rows) {
  if (link_.KeepsInvoicesBack()) {
    link_.AddRow(rows);
    return;
  }
  AddUnreadRowsRow(rows);
  if (!ocrUnread_.empty()) {
    rows.push_back({"", "", report::kError, report::kCaptionError,
                    "Tabellen PRM kan inte läsas, så inga betalningsreferenser (OCR) överförs: " + ocrUnread_});
  }
}

bool CSqlAdminCustomerLedgerItems::IsAvailable() { return IsOpenInvoiceKindAvailable(link_, companyFolder(), 200); }

bool CSqlAdminCustomerLedgerItems::CheckCurrent(std::vector<ReportRow>& rows) {
  // The fourth VAT amount is read with the invoice but not sent.
  if (!CheckValues(rows, Text(kNumber), "", {columns_[kVat4]})) return false;
  const std::string type = Text(kInvoiceType);
  if (type == "f" || type == "k") return true;
  ReportRow row = report::RecordRow(Text(kNumber), "", report::kError, report::kCaptionError, "");
  if (!edition_) edition_ = IdentifyCompany(companyFolder(), false).edition;
  if (*edition_ == 400) {
    if (GetColumnBool(columns_[kPrinted])) return true;
    row.text = "Fakturan är inte utskriven.";
  } else {
    if (Number(kVoucher) != 0) return true;
    row.text = "Fakturan är inte bokförd.";
  }
  rows.push_back(std::move(row));
  return false;
}

bool CSqlAdminCustomerLedgerItems::IsCreditInvoice() {
  const std::string type = Text(kInvoiceType);
  return type == "K" || type == "k";
}

int CSqlAdminCustomerLedgerItems::Number(Column column) const { return StrToIntOrZero(Text(column)); }

std::string CSqlAdminCustomerLedgerItems::GetCurrencyRate() { return RateOrOne(*this, columns_[kRate]); }

int CSqlAdminCustomerLedgerItems::GetCurrencyRateUnit() { return RateUnitOrOne(*this, columns_[kRateUnit]); }

std::string CSqlAdminCustomerLedgerItems::Signed(Column column) { return CreditSigned(Text(column), IsCreditInvoice()); }
