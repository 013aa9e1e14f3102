#include "sources/sqladmin/sie_reader.h"

#include <functional>

#include "lumdb/query/datamodel.h"
#include "lumdb/query/filter.h"
#include "lumdb/query/query.h"
#include "lumdb/record/errors.h"
#include "platform/log.h"
#include "platform/text.h"
#include "sources/sqladmin/register_query.h"

namespace {

// The table and the named columns of the company's data model; false when one is missing.
bool LookUpColumns(const lumdb::session_c* session, const char* tableName,
                   std::initializer_list<std::pair<const char*, const lumdb::field_desc_t**>> columns,
                   const lumdb::table_desc_t*& table) {
  const lumdb::datamodel_c* model = session ? session->datamodel() : nullptr;
  if (model == nullptr) return false;
  table = model->table_by_id(model->table_id_by_name(tableName));
  if (table == nullptr) return false;
  bool all = true;
  for (const auto& [name, field] : columns) {
    *field = model->field_by_id(table->field_id_by_name(name));
    all = all && *field != nullptr;
  }
  return all;
}

// Fetches every row that `filter` lets through of the columns of `table` given,
// handing each to `onRow` when given; throws lumdb::db_error when one cannot be
// read. Returns how many rows there are.
int FetchEveryRow(CompanySession& session, const lumdb::table_desc_t& table, const std::vector<lumdb::colexpr_c>& columns,
                  const lumdb::filter_node_t* filter,
                  const std::function<void(const lumdb::dbrecordset_fwd_c&)>& onRow = {}) {
  lumdb::query_c query(&session);
  query.setup_select(table.id, columns, filter);
  lumdb::dbrecordset_fwd_c rows = OpenForwardRecordset(session.connection(), query);
  int count = 0;
  std::error_code fetched;
  while (!(fetched = rows.fetch())) {
    if (onRow) onRow(rows);
    ++count;
  }
  if (fetched.value() != lumdb::no_data) throw lumdb::db_error(fetched);
  return count;
}

}  // namespace

// The kit opens an SQL company with the desktop program's user, as the database logins are made for it.
CSqlAdminSie::CSqlAdminSie(std::string companyFolder, platform::Prompter& prompter)
    : DesktopSieReader(prompter, true), CAdmDbSql(std::move(companyFolder)) {
  const lumdb::datamodel_scope scope = ModelScope();
  const lumdb::table_desc_t* years = nullptr;
  // Without one of the four columns the years cannot be told apart: the company reads as having none.
  if (!LookUpColumns(session(), "BOKFAAR",
                     {{"AAR_ID", &yearId_}, {"BOERJAN", &start_}, {"SLUT", &end_}, {"KPTYP", &chartType_}}, years) ||
      connectionError()) {
    return;
  }
  lumdb::query_c query(session());
  query.setup_select(years->id,
                     {lumdb::colexpr_c(yearId_->id), lumdb::colexpr_c(start_->id), lumdb::colexpr_c(end_->id),
                      lumdb::colexpr_c(chartType_->id)},
                     nullptr);
  query.set_order_by(lumdb::colexpr_c(start_->id));
  NameRowsBy(yearId_);
  // The booking years are walked once, forward.
  OpenRecordset(std::make_unique<lumdb::dbrecordset_fwd_c>(session()->connection(), query));
}

std::vector<ReportRow> CSqlAdminSie::CreateSieFiles() {
  if (const std::string unread = UnreadCompanyRow(); !unread.empty()) {
    WriteLog("SIE: tabellen PRM kunde inte läsas: " + unread);
    return {{"", "SIE", report::kError, report::kCaptionError, "Tabellen PRM kan inte läsas: " + unread}};
  }
  return DesktopSieReader::CreateSieFiles();
}

std::string CSqlAdminSie::UnreadCompanyRow() {
  KeepCompanyRead(std::nullopt, std::nullopt);  // until the row is read
  const lumdb::datamodel_scope scope = ModelScope();
  const lumdb::datamodel_c* model = session() ? session()->datamodel() : nullptr;
  // A database that cannot be read at all is told with the booking years.
  if (model == nullptr || connectionError()) return {};
  const SqlTableColumns prm(*model, "PRM");
  const lumdb::field_desc_t* name = prm.Column("NAMN");
  const lumdb::field_desc_t* orgNr = prm.Column("ORGNR");
  std::vector<lumdb::colexpr_c> columns;
  for (const lumdb::field_desc_t* field : {name, orgNr})
    if (field) columns.emplace_back(field->id);
  if (columns.empty()) return {};
  if (std::string lock = session()->LockMet(); !lock.empty()) return lock;
  std::string nameText, orgNrText;
  const auto readFirst = [&](const lumdb::dbrecordset_fwd_c& row) {
    if (row.current_row() != 0) return;
    if (name) nameText = NarrowText(row.get_wstring(name->id));
    if (orgNr) orgNrText = NarrowText(RemoveWhitespaceW(row.get_wstring(orgNr->id)));
  };
  try {
    if (FetchEveryRow(*session(), *prm.table, columns, nullptr, readFirst) == 0) return "tabellen har ingen rad";
  } catch (const lumdb::db_error& error) {
    return session()->FailureWords(error.code());
  }
  // A column the company's data model lacks is one the check cannot compare.
  KeepCompanyRead(name ? std::optional(std::move(nameText)) : std::nullopt,
                  orgNr ? std::optional(std::move(orgNrText)) : std::nullopt);
  return {};
}

std::vector<SieBookingYear> CSqlAdminSie::ReadBookingYears() {
  std::vector<SieBookingYear> years;
  for (bool more = CAdmDbSql::MoveFirst(); more; more = CAdmDbSql::MoveNext()) {
    SieBookingYear& year = years.emplace_back();
    year.id = platform::Utf8Truncate(GetColumnString(yearId_), 1);
    year.startText = GetColumnStringNoDash(start_);
    year.start = StrToIntOrZero(year.startText);
    year.endText = GetColumnStringNoDash(end_);
    year.chartType = GetColumnString(chartType_);
  }
  // Years not read are not a company without years: no file is made from part of them.
  if (std::string unread = UnreadText(); !unread.empty()) AddTableRow(report::kError, report::kCaptionError, unread);
  return years;
}

bool CSqlAdminSie::HasAccountOutsideRange(const SieBookingYears& years) {
  const lumdb::datamodel_scope scope = ModelScope();
  const lumdb::datamodel_c* model = session() ? session()->datamodel() : nullptr;
  // A company without a chart table (or that cannot be reached) is not checked.
  if (model == nullptr || connectionError()) return false;
  const SqlTableColumns chart(*model, "KONTO");
  if (chart.table == nullptr) return false;
  const lumdb::field_desc_t* yearId = chart.Column("AAR_ID");
  const lumdb::field_desc_t* account = chart.Column("KONTO");
  if (yearId == nullptr || account == nullptr) {
    NoteUncheckedChart(std::string("datamodellen saknar kolumnen KONTO.") + (yearId == nullptr ? "AAR_ID" : "KONTO"));
    return false;
  }
  const lumdb::colexpr_c yearColumn(yearId->id);
  const lumdb::colexpr_c accountColumn(account->id);
  // The constants take the column's type: text numbers compare as the database compares text.
  const lumdb::filter_node_t outside =
      lumdb::filter_or_copy(lumdb::filter_node_t(accountColumn, lumdb::fo_less, "1000"),
                            lumdb::filter_node_t(accountColumn, lumdb::fo_greater, "8999"));
  lumdb::filter_node_t ofYears(yearColumn, lumdb::fo_equal, years.current.id);
  if (!years.previous.id.empty()) {
    ofYears = lumdb::filter_or_copy(lumdb::filter_node_t(yearColumn, lumdb::fo_equal, years.previous.id), ofYears);
  }
  if (const std::string lock = session()->LockMet(); !lock.empty()) {
    NoteUnreadChart(lock);
    return false;
  }
  // The accounts of the years, with their names, are what the files list: a chart
  // that cannot be read whole gives no file; one that can, but not checked, a warning.
  try {
    std::vector<lumdb::colexpr_c> columns{yearColumn, accountColumn};
    if (const lumdb::field_desc_t* name = chart.Column("BENAEMN")) columns.emplace_back(name->id);
    const auto accountsOf = [&](const SieBookingYear& year) -> std::size_t {
      if (year.id.empty()) return 0;
      const lumdb::filter_node_t ofYear(yearColumn, lumdb::fo_equal, year.id);
      return static_cast<std::size_t>(FetchEveryRow(*session(), *chart.table, columns, &ofYear));
    };
    const std::size_t currentYearAccounts = accountsOf(years.current);
    KeepAccountCounts(currentYearAccounts, accountsOf(years.previous));
  } catch (const lumdb::db_error& error) {
    NoteUnreadChart(session()->FailureWords(error.code()));
    return false;
  }
  try {
    return lumdb::exists(session()->connection(), chart.table->id, lumdb::filter_and_copy(ofYears, outside), false);
  } catch (const lumdb::db_error& error) {
    NoteUncheckedChart(session()->FailureWords(error.code()));
    return false;
  }
}

void CSqlAdminSie::NoteUnreadChart(const std::string& words) {
  WriteLog("SIE: tabellen KONTO kunde inte läsas: " + words);
  AddTableRow(report::kError, report::kCaptionError, "Tabellen KONTO kan inte läsas: " + words);
}

void CSqlAdminSie::NoteUncheckedChart(const std::string& reason) {
  // The export goes on, but the user is told the cloud may refuse some accounts' vouchers.
  WriteLog("SIE: kontoplanen (KONTO) kunde inte kontrolleras: " + reason);
  AddTableRow(report::kWarning, report::kCaptionWarning, "Kontoplanen kunde inte kontrolleras: " + reason);
}
