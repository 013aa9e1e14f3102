#include "sources/sqladmin/company_connection.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <utility>

#include "app/application.h"
#include "app/desktop/desktop_programs.h"
#include "lumdb/query/filter.h"
#include "lumdb/query/query.h"
#include "lumdb/record/dbobj.h"
#include "lumdb/record/errors.h"
#include "lumdb/record/sqldb.h"
#include "lumdb/record/text_forms.h"
#include "lumdb/query/datamodel.h"
#include "platform/log.h"
#include "platform/text.h"

namespace {

// The lock of each database in use, by server and database name.
std::shared_ptr<DatabaseLock> SharedLock(const std::string& server, const std::string& database) {
  static std::map<std::string, std::weak_ptr<DatabaseLock>> locks;
  std::erase_if(locks, [](const auto& entry) { return entry.second.expired(); });
  std::weak_ptr<DatabaseLock>& known = locks[server + '\n' + database];
  std::shared_ptr<DatabaseLock> lock = known.lock();
  if (!lock) known = lock = std::make_shared<DatabaseLock>();
  return lock;
}

// SQLite's "database is locked" and "database table is locked", SQL Server's lock
// time-out (1222) and a query time-out.
bool IsLockFailure(const std::vector<lumdb::diag_record_t>& diagnostics) {
  return std::any_of(diagnostics.begin(), diagnostics.end(), [](const lumdb::diag_record_t& record) {
    return record.message.find("is locked") != std::string::npos || record.native_error == 1222 ||
           record.sqlstate == "HYT00" || record.sqlstate == "HYT01";
  });
}

bool IsSafeConnectionValue(std::string_view value) {
  return std::none_of(value.begin(), value.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return c == ';' || c == '{' || c == '}' || byte < 0x20 || byte == 0x7F;
  });
}

}  // namespace

std::error_code OpenCompanySession(DataSourceInfo& info, CompanySession& session) {
  session.model_ = GetDataModelByProductCode(info.displayVariant);
  session.refusal_.clear();
  info.loginUser.clear();
  info.loginPassword.clear();
  if (info.authentication == "KOLMON") {
    info.loginUser = theApp.m_strDesktopUser;
    info.loginPassword = theApp.m_strDesktopPassword;
    if (!info.loginUser.empty()) info.loginUser = info.databaseName + "_" + info.loginUser;
  }
  const std::pair<const char*, const std::string*> values[] = {
      {"DBInstance i ftg.ini", &info.server}, {"DBName i ftg.ini", &info.databaseName},
      {"Användarnamnet", &info.loginUser}};
  for (const auto& [key, value] : values) {
    if (IsSafeConnectionValue(*value)) continue;
    session.refusal_ = std::string(key) + " innehåller ett tecken som inte får stå i en anslutning (; { } eller ett styrtecken)";
    WriteLog("Företaget " + info.displayName + " öppnas inte: " + session.refusal_);
    return lumdb::make_error<CompanySession>(lumdb::connect_failed);
  }
  session.lock_ = SharedLock(info.server, info.databaseName);
  if (!session.lock_->words.empty()) {
    session.refusal_ = session.lock_->words;
    return lumdb::make_error<CompanySession>(lumdb::timed_out);
  }
  return session.open(info.server, info.databaseName, info.loginUser, SanitizeConnectionValue(info.loginPassword));
}

std::string NarrowText(const std::wstring& text) { return lumdb::narrow(text); }

std::string CompanySession::FailureWords(std::error_code error) {
  if (!refusal_.empty()) return refusal_;
  const lumdb::sqldb_c* db = connection();
  std::string words = db ? db->last_diagnostic_text() : open_failure_text();
  if (words.empty()) words = "fel " + std::to_string(error.value());
  if (db && lock_ && lock_->words.empty() && IsLockFailure(db->last_diagnostics())) lock_->words = words;
  return words;
}

std::string UnreadableValueText(const lumdb::datamodel_c& model, const lumdb::unreadable_value_t& value) {
  const lumdb::field_desc_t* column = model.field_by_id(value.field->id);
  std::string name = column ? column->name : "?";
  if (column && column->table) name = column->table->name + "." + name;
  const char* kind = "ett tal";
  if (value.field->sql_type == lumdb::sql_date || value.field->sql_type == lumdb::sql_timestamp) kind = "ett datum";
  if (value.field->sql_type == lumdb::sql_bit) kind = "en flagga (0 eller 1)";
  return "kolumnen " + name + " har värdet \"" + value.text + "\", som inte är " + kind;
}

void ThrowOnUnreadableValue(const lumdb::dbrecordset_fwd_c& recordset) {
  const std::vector<lumdb::unreadable_value_t>& values = recordset.statement().unreadable_values();
  const lumdb::datamodel_c* model = recordset.datamodel();
  if (!values.empty() && model) throw std::runtime_error(UnreadableValueText(*model, values.front()));
}

lumdb::dbrecordset_fwd_c OpenForwardRecordset(lumdb::sqldb_c* connection, const lumdb::query_c& query) {
  lumdb::dbrecordset_fwd_c recordset(connection, query);
  recordset.set_lock_mode(lumdb::lm_none);
  if (const std::error_code opened = recordset.open()) throw lumdb::db_error(opened);
  return recordset;
}

void FetchFirstRow(lumdb::dbrecordset_fwd_c& recordset) {
  const std::error_code fetched = recordset.fetch();
  if (!fetched) return ThrowOnUnreadableValue(recordset);
  if (fetched.value() == lumdb::no_data) throw std::runtime_error("tabellen har ingen rad");
  throw lumdb::db_error(fetched);
}

int QueryFirstInt(lumdb::sqldb_c* connection, const lumdb::query_c& query, int fieldId) {
  lumdb::dbrecordset_fwd_c recordset = OpenForwardRecordset(connection, query);
  FetchFirstRow(recordset);
  return recordset.get_int(fieldId);
}

std::wstring QueryFirstWString(lumdb::sqldb_c* connection, int fieldId, const lumdb::query_c& query) {
  lumdb::dbrecordset_fwd_c recordset = OpenForwardRecordset(connection, query);
  FetchFirstRow(recordset);
  return recordset.get_wstring(fieldId);
}

std::unique_ptr<lumdb::dbrecordset_scroll_c> CreateScrollRecordset(lumdb::sqldb_c* connection,
                                                                    const lumdb::query_c& query) {
  return std::make_unique<lumdb::dbrecordset_scroll_c>(connection, query);
}

CAdmDbSql::CAdmDbSql(std::string companyFolder) : companyFolder_(std::move(companyFolder)) {
  DataSourceInfo info;
  if (!ReadDataSourceIni(info, companyFolder_)) return;
  session_ = std::make_unique<CompanySession>();
  connectionError_ = OpenCompanySession(info, *session_);
  if (const std::string model = DataModelFailure(*session_->datamodel()); !model.empty()) {
    WriteLog("Företaget i " + companyFolder_ + " läses inte: företagets datamodell saknas: " + model);
  } else if (connectionError_) {
    unconnectedReason_ = session_->FailureWords(connectionError_);
    WriteLog("Företagets databas i " + companyFolder_ + " kunde inte öppnas: " + unconnectedReason_);
  }
}

CAdmDbSql::~CAdmDbSql() {
  recordset_.reset();
  session_.reset();
}

void CAdmDbSql::OpenRecordset(std::unique_ptr<lumdb::dbrecordset_fwd_c> recordset) {
  forward_ = recordset.get();
  scrollable_ = nullptr;
  Open(std::move(recordset));
}

void CAdmDbSql::OpenRecordset(std::unique_ptr<lumdb::dbrecordset_scroll_c> recordset) {
  forward_ = nullptr;
  scrollable_ = recordset.get();
  Open(std::move(recordset));
}

const lumdb::data_reader_i& CAdmDbSql::Rows() const {
  if (scrollable_) return *scrollable_;
  return *forward_;
}

std::int64_t CAdmDbSql::CurrentRow() const { return scrollable_ ? scrollable_->current_row() : forward_->current_row(); }

void CAdmDbSql::Open(std::unique_ptr<lumdb::dbrecordset_base_c> recordset) {
  const lumdb::datamodel_scope scope = ModelScope();
  recordset_ = std::move(recordset);
  released_ = false;
  if (const lumdb::filter_node_t* term = recordset_->first_unbuilt_filter_term()) {
    // Without the term the statement would read other rows than the reader means:
    // none are read, and the row names the column.
    connectionError_ = lumdb::make_error<CompanySession>(lumdb::bad_query);
    unopenedReason_ = "villkoret på kolumnen " + ColumnName(*term) + " kan inte ställas upp";
    WriteLog("Tabellen " + TableName() + " läses inte: " + unopenedReason_);
    return;
  }
  if (const std::string lock = session_->LockMet(); !lock.empty()) {
    // Another reader of the database met the lock: it is not waited on again.
    connectionError_ = lumdb::make_error<CompanySession>(lumdb::timed_out);
    unopenedReason_ = lock;
    WriteLog("Tabellen " + TableName() + " kunde inte läsas: " + lock);
    return;
  }
  connectionError_ = recordset_->open();
  // The database answered but not for this table (missing, damaged, locked, no right to read it).
  if (connectionError_) unopenedReason_ = FailureText("kunde inte läsas", connectionError_);
}

bool CAdmDbSql::MoveFirst() {
  if (!recordset_ || connectionError_) return false;
  const lumdb::datamodel_scope scope = ModelScope();
  unreadRowsReason_.clear();
  unreadableValues_ = 0;
  unreadableColumns_.clear();
  lastCountedKey_.clear();
  if (released_) {
    released_ = false;
    if (const std::error_code opened = recordset_->open()) return Moved(opened);
  }
  return Moved(scrollable_ ? scrollable_->move_first() : forward_->move_first());
}

bool CAdmDbSql::MoveNext() {
  if (!recordset_ || connectionError_ || released_) return false;
  const lumdb::datamodel_scope scope = ModelScope();
  return Moved(scrollable_ ? scrollable_->fetch() : forward_->fetch());
}

bool CAdmDbSql::Moved(std::error_code result) {
  lastMoveError_ = result;
  if (!result) {
    const std::vector<lumdb::unreadable_value_t>& values = recordset_->statement().unreadable_values();
    if (values.empty()) return true;
    // The further joined rows of a record repeat its values: they are counted once.
    std::string key = recordKey_ ? GetColumnString(recordKey_) : std::string();
    const bool repeated = !key.empty() && key == lastCountedKey_;
    lastCountedKey_ = std::move(key);
    if (repeated) return true;
    const lumdb::datamodel_c* model = session_->datamodel();
    for (const lumdb::unreadable_value_t& value : values) {
      ++unreadableValues_;
      const lumdb::field_desc_t* column = model ? model->field_by_id(value.field->id) : nullptr;
      if (column == nullptr || column->table == nullptr) continue;
      std::string name = column->table->name + "." + column->name;
      if (std::find(unreadableColumns_.begin(), unreadableColumns_.end(), name) == unreadableColumns_.end())
        unreadableColumns_.push_back(std::move(name));
    }
    return true;
  }
  if (result.value() != lumdb::no_data && unreadRowsReason_.empty()) {
    const std::string place = FetchFailurePlace();
    const std::string words = FailureText("kunde inte läsas till slut (" + place + ")", result);
    unreadRowsReason_ = place + " kan inte hämtas: " + words;
  }
  ReleaseStatement();
  return false;
}

void CAdmDbSql::ReleaseStatement() {
  if (!recordset_ || released_) return;
  const lumdb::datamodel_scope scope = ModelScope();
  recordset_->close();
  released_ = true;
}

std::string CAdmDbSql::FetchFailurePlace() const {
  const lumdb::sqlstmt_c& statement = recordset_->statement();
  const lumdb::datamodel_c* model = session_->datamodel();
  std::string place;
  if (const lumdb::field_c* failed = statement.failed_field()) {
    const lumdb::field_desc_t* column = model ? model->field_by_id(failed->id) : nullptr;
    if (column) place = "kolumnen " + (column->table ? column->table->name + "." : std::string()) + column->name;
  }
  // The row's key is named only when its values were taken: a failed fetch leaves the earlier row's.
  const lumdb::field_c* key = nullptr;
  if (recordKey_ && statement.failed_row_taken())
    key = Rows().row_for_field(recordKey_->id, nullptr).find_field(recordKey_->id, nullptr);
  if (key && key != statement.failed_field() && !key->is_null()) {
    place += (place.empty() ? "posten " : " i posten ") + key->to_string();
  } else if (forward_) {
    place += (place.empty() ? "rad " : " på rad ") + std::to_string(forward_->rows_read() + 1);
  } else if (place.empty()) {
    place = "en rad";
  }
  return place;
}

std::string CAdmDbSql::FailureText(std::string_view what, std::error_code error) {
  const std::string reason = session_->FailureWords(error);
  WriteLog("Tabellen " + TableName() + " " + std::string(what) + ": " + reason);
  return reason;
}

std::string CAdmDbSql::ColumnName(const lumdb::filter_node_t& term) const {
  const lumdb::datamodel_c* model = session_ ? session_->datamodel() : nullptr;
  const int fieldId = term.left.field_id();
  const lumdb::field_desc_t* field = model ? model->field_by_id(fieldId) : nullptr;
  const lumdb::table_desc_t* table = model ? model->table_by_id(lumdb::table_of_field(fieldId)) : nullptr;
  if (field == nullptr) return TableName() + ".?";
  return (table ? table->name + "." : std::string()) + field->name;
}

std::string CAdmDbSql::TableName() const {
  const lumdb::datamodel_c* model = session_ ? session_->datamodel() : nullptr;
  const lumdb::table_desc_t* table = model ? model->table_by_id(recordset_->query().table_id()) : nullptr;
  return table ? table->name : std::string();
}

void CAdmDbSql::RefuseRowsWithUnreadableFlag(const lumdb::table_desc_t& table, const lumdb::field_desc_t* flag,
                                             const lumdb::field_desc_t* key, const lumdb::field_desc_t* name,
                                             bool walked, const lumdb::filter_node_t* also) {
  if (!session_ || connectionError_ || flag == nullptr || key == nullptr || !session_->LockMet().empty()) return;
  const lumdb::datamodel_scope scope = ModelScope();
  const lumdb::colexpr_c column(flag->id);
  // Neither clear nor set, and not NULL: on SQL Server, whose flags hold nothing else, no row.
  lumdb::filter_node_t noFlag = lumdb::filter_and_copy(lumdb::filter_node_t(column, lumdb::fo_not_equal, false),
                                                       lumdb::filter_node_t(column, lumdb::fo_not_equal, true));
  if (also) noFlag = lumdb::filter_and_copy(noFlag, *also);
  std::vector<lumdb::colexpr_c> columns{lumdb::colexpr_c(key->id), column};
  if (name) columns.emplace_back(name->id);
  lumdb::query_c query(session_.get());
  query.setup_select(table.id, columns, &noFlag);
  try {
    lumdb::dbrecordset_fwd_c rows = OpenForwardRecordset(session_->connection(), query);
    while (!rows.fetch()) {
      for (const lumdb::unreadable_value_t& value : rows.statement().unreadable_values()) {
        if (value.field->id != flag->id) continue;
        flaggedRows_.push_back({NarrowText(rows.get_wstring(key->id)), name ? NarrowText(rows.get_wstring(name->id)) : "",
                                table.name + "." + flag->name, UnreadableValueText(*session_->datamodel(), value), walked});
      }
    }
  } catch (const lumdb::db_error& error) {
    // The reader's own statement meets what failed here and says so; a lock is not waited on again.
    (void)session_->FailureWords(error.code());
  }
}

std::string CAdmDbSql::UnreadText() const {
  if (!session_) return {};  // no SQL company
  if (const std::string model = DataModelFailure(*session_->datamodel()); !model.empty()) {
    return "Företagets datamodell saknas: " + model;
  }
  if (!unconnectedReason_.empty()) return "Företagets databas kan inte öppnas: " + unconnectedReason_;
  if (!unopenedReason_.empty()) return "Tabellen " + TableName() + " kan inte läsas: " + unopenedReason_;
  std::string lost = unreadRowsReason_;
  std::vector<std::string> columns = unreadableColumns_;
  for (const FlaggedRow& row : flaggedRows_)
    if (std::find(columns.begin(), columns.end(), row.column) == columns.end()) columns.push_back(row.column);
  if (const std::size_t values = static_cast<std::size_t>(unreadableValues_) + flaggedRows_.size(); values > 0) {
    std::string named;
    for (const std::string& column : columns) named += (named.empty() ? "" : ", ") + column;
    lost += (lost.empty() ? "" : "; ") + std::to_string(values) +
            (values == 1 ? " värde kan inte läsas som sin kolumns typ (" : " värden kan inte läsas som sin kolumns typ (") +
            named + ")";
  }
  if (!lost.empty()) return "Tabellen " + TableName() + " kan inte läsas helt: " + lost;
  return {};
}

bool CAdmDbSql::CheckValues(std::vector<ReportRow>& rows, const std::string& key, const std::string& name,
                            std::initializer_list<const lumdb::field_desc_t*> notSent) const {
  if (!recordset_ || connectionError_ || CurrentRow() < 0) return true;
  const lumdb::datamodel_c* model = session_->datamodel();
  bool sent = true;
  for (const lumdb::unreadable_value_t& value : recordset_->statement().unreadable_values()) {
    const std::string text = UnreadableValueText(*model, value);
    const bool warning = std::any_of(notSent.begin(), notSent.end(), [&](const lumdb::field_desc_t* column) {
      return column != nullptr && column->id == value.field->id;
    });
    if (warning) {
      rows.push_back(report::RecordRow(key, name, report::kWarning, report::kCaptionWarning,
                                       "Värdet lämnas tomt: " + text + "."));
    } else {
      rows.push_back(report::RecordRow(key, name, report::kError, report::kCaptionError,
                                       "Posten överförs inte: " + text + "."));
      sent = false;
    }
  }
  // A joined row the walk missed, since its flag that picks it does not read.
  for (const FlaggedRow& row : flaggedRows_) {
    if (!row.walked || row.key != key) continue;
    rows.push_back(report::RecordRow(key, name, report::kError, report::kCaptionError, "Posten överförs inte: " + row.text + "."));
    sent = false;
  }
  return sent;
}

void CAdmDbSql::AddUnreadRowsRow(std::vector<ReportRow>& rows) const {
  // The records a filter on a flag that does not read left out of the walk.
  for (const FlaggedRow& row : flaggedRows_) {
    if (!row.walked)
      rows.push_back(report::RecordRow(row.key, row.name, report::kError, report::kCaptionError,
                                       "Posten överförs inte: " + row.text + "."));
  }
  if (std::string text = UnreadText(); !text.empty())
    rows.push_back({"", "", report::kError, report::kCaptionError, std::move(text)});
}

std::string CAdmDbSql::StatementText() const {
  const lumdb::datamodel_scope scope = ModelScope();
  lumdb::sql_params_t parameters;
  return recordset_ ? recordset_->statement_text(parameters) : std::string();
}

int CAdmDbSql::GetRecordCount() {
  if (!recordset_ || connectionError_) return 0;
  const lumdb::datamodel_scope scope = ModelScope();
  const std::int64_t row = released_ ? -1 : CurrentRow();
  int count = 0;
  // A forward-only walk that reached its end knows its count without running again.
  const bool known = forward_ && forward_->at_end();
  if (released_ && !known && recordset_->open()) return 0;
  if (scrollable_) {
    if (!scrollable_->move_last()) count = static_cast<int>(scrollable_->current_row() + 1);
    if (row >= 0) (void)scrollable_->move_absolute(row);
  } else {
    while (!forward_->at_end() && !forward_->fetch()) {
    }
    if (forward_->at_end()) count = static_cast<int>(forward_->rows_read());
    if (row >= 0 && count > 0) {
      std::error_code read = forward_->open();
      for (std::int64_t fetched = 0; !read && fetched <= row; ++fetched) read = forward_->fetch();
    }
  }
  if (row < 0) {
    released_ = false;  // opened again above when it was released
    ReleaseStatement();
  }
  return count;
}

std::string CAdmDbSql::GetColumnString(const lumdb::field_desc_t* field, const lumdb::join_path_t* path) const {
  if (connectionError_ || !recordset_ || field == nullptr || CurrentRow() < 0) return {};
  // The field's own text (UTF-8), as its wide text would give it.
  const lumdb::field_c* value = Rows().row_for_field(field->id, path).find_field(field->id, path);
  return value ? value->to_string() : std::string();
}

bool CAdmDbSql::GetColumnBool(const lumdb::field_desc_t* field, const lumdb::join_path_t* path) const {
  if (connectionError_ || !recordset_ || field == nullptr || CurrentRow() < 0) return false;
  return Rows().get_bool(field->id, path);
}

std::vector<std::string> CAdmDbSql::ColumnTextsOfKey(const lumdb::field_desc_t* key, const lumdb::field_desc_t* column,
                                                     const lumdb::join_path_t* path) {
  std::vector<std::string> texts;
  const std::int64_t start = scrollable_ ? scrollable_->current_row() : -1;
  if (connectionError_ || start < 0) return texts;
  const lumdb::datamodel_scope scope = ModelScope();
  const std::string keyText = GetColumnString(key);
  do {
    std::string text = GetColumnString(column, path);
    if (!text.empty() && (texts.empty() || texts.back() != text)) texts.push_back(std::move(text));
  } while (!scrollable_->fetch() && GetColumnString(key) == keyText);
  // A row that cannot be fetched is met again, and reported, by the walk itself.
  (void)scrollable_->move_absolute(start);
  return texts;
}

std::string CAdmDbSql::GetColumnStringNoSpace(const lumdb::field_desc_t* field, const lumdb::join_path_t* path) const {
  return RemoveWhitespace(GetColumnString(field, path));
}

std::string CAdmDbSql::GetColumnStringNoDash(const lumdb::field_desc_t* field) const {
  std::string text = GetColumnStringNoSpace(field);
  std::erase(text, '-');
  return text;
}
