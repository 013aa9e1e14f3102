#include "lumdb/record/sqldb.h"

#include <algorithm>
#include <regex>
#include <unordered_map>

#include "lumdb/query/datamodel.h"
#include "lumdb/record/errors.h"
#include "lumdb/record/odbc_platform.h"
#include "lumdb/record/odbc_text.h"
#include "lumdb/record/session.h"
#include "lumdb/record/sqlstmt.h"
#include "platform/text.h"

namespace lumdb {

const std::vector<std::string> preferred_drivers{
    "ODBC Driver 17 for SQL Server", "ODBC Driver 13 for SQL Server", "ODBC Driver 11 for SQL Server",
    "SQL Server Native Client 11.0", "SQL Server Native Client 10.0"};
const char* const odbc_driver_pattern = "^ODBC Driver [0-9.]{2,} for SQL Server$";

std::string collation_name(bool case_sensitive) {
  return case_sensitive ? "Latin1_General_CS_AS" : "SQL_SwedishStd_Pref_Cp1_CI_AS";
}

namespace {

std::error_code error(errc value) { return make_error<sqldb_c>(value); }

// The SQL Server native errors that name a condition of their own; 1105 is decided apart.
errc native_error_value(SQLINTEGER native) {
  switch (native) {
    case 229: case 262: case 5011: return permission_denied;
    case 547: return constraint_conflict;
    case 701: return server_out_of_memory;
    case 823: return os_io_error;
    case 924: return single_user;
    case 9002: return storage_full;
    case 1205: return deadlock_victim;
    case 1801: case 5170: return already_exists;
    case 2127: return integrity_violation;
    case 2812: return procedure_not_found;
    case 3960: return snapshot_conflict;
    case 8023: return native_8023;
    default: return errc{};
  }
}

const std::unordered_map<std::string_view, errc>& sqlstate_table() {
  static const std::unordered_map<std::string_view, errc> table{
      {"08001", connect_failed}, {"08002", connect_failed}, {"08004", connect_failed},
      {"HYC00", not_supported},  {"IM001", not_supported},  {"IM003", driver_load_failed},
      {"HYT00", timed_out},      {"HYT01", timed_out},      {"22003", out_of_range},
      {"08S01", connection_lost}, {"08S02", connection_lost}, {"23000", integrity_violation},
      {"28000", login_refused},  {"07006", restricted_type}, {"42S22", column_not_found}};
  return table;
}

bool needs_braces(std::string_view value) {
  if (value.empty()) return false;
  return value.find_first_of(";{}") != std::string_view::npos || platform::IsWhiteSpace(value.front()) ||
         platform::IsWhiteSpace(value.back());
}

std::string braced(std::string_view value) {
  std::string out = "{";
  for (char c : value) {
    out += c;
    if (c == '}') out += '}';
  }
  return out + "}";
}

// A column of the current row as text; NULL reads as empty.
bool read_wide_column(SQLHSTMT statement, SQLUSMALLINT column, std::u16string& out) {
  SQLWCHAR buffer[128];
  SQLLEN indicator = 0;
  if (!SQL_SUCCEEDED(SQLGetData(statement, column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator))) return false;
  if (indicator == SQL_NULL_DATA || indicator < 0) {
    out.clear();
    return true;
  }
  const auto units = std::min<SQLLEN>(indicator, sizeof buffer - sizeof(SQLWCHAR)) / SQLLEN(sizeof(SQLWCHAR));
  out = u16_from_sqlwchar(buffer, static_cast<std::size_t>(units));
  return true;
}

}  // namespace

sqldb_c::sqldb_c(session_c* session) : dbobj_c(session) {
  use_utf8_for_driver_manager_conversions();
  set_up_sqlite_for_one_thread_per_connection();
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment_))) {
    environment_ = nullptr;
    return;
  }
  if (!SQL_SUCCEEDED(SQLSetEnvAttr(environment_, SQL_ATTR_ODBC_VERSION,
                                   reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3_80), SQL_IS_INTEGER))) {
    SQLFreeHandle(SQL_HANDLE_ENV, environment_);
    environment_ = nullptr;
    throw db_error(error(odbc_version_refused));
  }
}

sqldb_c::~sqldb_c() {
  disconnect();
  for (sqlstmt_c* statement : statements_) statement->connection_destroyed();
  if (environment_) SQLFreeHandle(SQL_HANDLE_ENV, environment_);
}

std::vector<sqldb_c::driver_entry_t> sqldb_c::installed_drivers() const {
  std::vector<driver_entry_t> drivers;
  if (!environment_) return drivers;
  SQLCHAR description[512];
  SQLCHAR attributes[512];
  SQLSMALLINT description_length = 0, attributes_length = 0;
  for (SQLUSMALLINT direction = SQL_FETCH_FIRST;; direction = SQL_FETCH_NEXT) {
    const SQLRETURN rc = SQLDrivers(environment_, direction, description, sizeof description, &description_length,
                                    attributes, sizeof attributes, &attributes_length);
    if (!SQL_SUCCEEDED(rc)) break;
    driver_entry_t entry{reinterpret_cast<const char*>(description), {}};
    // "key=value\0key=value\0\0", cut short at the buffer's end.
    const std::size_t length = static_cast<std::size_t>(std::clamp<int>(attributes_length, 0, sizeof attributes - 1));
    const std::string_view listed(reinterpret_cast<const char*>(attributes), length);
    for (std::size_t start = 0; start < listed.size();) {
      const std::size_t end = std::min(listed.find('\0', start), listed.size());
      if (end > start) entry.attributes.emplace_back(listed.substr(start, end - start));
      start = end + 1;
    }
    drivers.push_back(std::move(entry));
  }
  return drivers;
}

std::string sqldb_c::choose_driver(const std::vector<std::string>& installed) {
  for (const std::string& preferred : preferred_drivers) {
    for (const std::string& name : installed) {
      if (platform::EqualsNoCase(name, preferred)) return name;
    }
  }
  std::vector<std::string> sorted = installed;
  std::sort(sorted.begin(), sorted.end());
  static const std::regex pattern(odbc_driver_pattern, std::regex::icase);
  for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
    if (std::regex_match(*it, pattern)) return *it;
  }
  return {};
}

std::string sqldb_c::quote_connection_value(std::string_view value) {
  return needs_braces(value) ? braced(value) : std::string(value);
}

std::string sqldb_c::build_connection_string(std::string_view driver, std::string_view server,
                                             std::string_view database, std::string_view user,
                                             std::string_view password, std::string_view application_name) {
  // No blank after ";": some drivers read it as part of the next key.
  std::string text = "Driver=" + braced(driver) + ";Server=" + quote_connection_value(server) +
                     ";Database=" + quote_connection_value(database) + ";";
  if (user.empty()) {
    text += "Trusted_Connection=yes;";
  } else {
    text += "Uid=" + quote_connection_value(user) + ";Pwd=" + quote_connection_value(password) + ";";
  }
  if (!application_name.empty()) text += "Application Name=" + quote_connection_value(application_name) + ";";
  return text;
}

void sqldb_c::parse_product_version(std::u16string_view version, server_props_t& props) {
  std::int32_t parts[3] = {0, 0, 0};
  std::size_t part = 0;
  for (std::size_t i = 0; i < version.size() && part < 3; ++i) {
    const char16_t c = version[i];
    if (c == u'.') {
      ++part;
    } else if (c >= u'0' && c <= u'9') {
      if (parts[part] < 100000000) parts[part] = parts[part] * 10 + (c - u'0');
    } else {
      // "11a" reads 11 like a stream would: the rest of the part is ignored.
      while (i + 1 < version.size() && version[i + 1] != u'.') ++i;
    }
  }
  props.major = parts[0];
  props.minor = parts[1];
  props.build = parts[2];
}

std::error_code sqldb_c::connect(std::string_view server, std::string_view database, std::string_view user,
                                 std::string_view password, std::string_view application_name) {
  const std::string host = map_server_name(server);
  const std::vector<driver_entry_t> installed = installed_drivers();
  std::vector<std::string> names;
  for (const driver_entry_t& entry : installed) names.push_back(entry.name);
  std::string driver;
  const std::optional<std::string> named = driver_override();
  if (named) {
    for (const std::string& name : names) {
      if (platform::EqualsNoCase(name, *named)) driver = name;
    }
  } else {
    driver = choose_driver(names);
  }
  if (driver.empty()) {
    const std::string message = named ? "ODBC driver \"" + *named + "\" (named by " +
                                            driver_override_variable + ") is not installed"
                                      : "no ODBC driver for SQL Server is installed";
    last_diagnostics_ = {diag_record_t{message, "IM002", 0}};
    return error(no_driver);
  }
  std::string text = build_connection_string(driver, host, database, user, password, application_name);
  for (const driver_entry_t& entry : installed) {
    if (entry.name == driver) text += extra_connection_attributes(entry.attributes);
  }
  return driver_connect(text);
}

std::error_code sqldb_c::driver_connect(std::string_view connection_string) {
  if (!environment_) return error(no_environment);
  disconnect();
  SQLHDBC handle = nullptr;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment_, &handle))) {
    if (handle) SQLFreeHandle(SQL_HANDLE_DBC, handle);
    return last_error(SQL_HANDLE_ENV, environment_, error(not_ready));
  }
  connection_ = handle;
  for (SQLINTEGER attribute : {preserve_cursors_attr, mars_enabled_attr}) {
    if (!SQL_SUCCEEDED(SQLSetConnectAttr(handle, attribute, reinterpret_cast<SQLPOINTER>(1), SQL_IS_INTEGER))) {
      const std::error_code failure = last_error(SQL_HANDLE_DBC, handle, error(not_supported));
      disconnect();
      return failure;
    }
  }
  // The narrow call, with our UTF-8 text as it is: the driver manager's conversion
  // of a wide connection string for a driver without wide entry points (SQLite's)
  // falls back to Latin-1 once two letters beyond ASCII need more room than the
  // wide count allows, and "Företag/Åkerbergs" then names a folder that is not there.
  std::string text(connection_string);
  SQLCHAR completed[1024];
  SQLSMALLINT completed_length = 0;
  const SQLRETURN rc = SQLDriverConnect(handle, nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, completed,
                                        sizeof completed, &completed_length, SQL_DRIVER_NOPROMPT);
  if (!SQL_SUCCEEDED(rc)) {
    const std::error_code failure = collect_diagnostics(SQL_HANDLE_DBC, handle, error(connect_failed)).front();
    disconnect();
    return failure;
  }
  sql_server_ = read_dbms_is_sql_server();
  if (server_version_refused(server_properties().major)) {
    disconnect();
    return error(server_too_old);
  }
  const std::size_t bytes = std::clamp<SQLSMALLINT>(completed_length, 0, sizeof completed - 1);
  std::lock_guard lock(mutex_);
  completed_.assign(reinterpret_cast<const char*>(completed), bytes);
  return success;
}

bool sqldb_c::read_dbms_is_sql_server() {
  SQLWCHAR name[128];
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfoW(connection_, SQL_DBMS_NAME, name, sizeof name, &length))) return false;
  const auto units = std::clamp<SQLSMALLINT>(length, 0, sizeof name - sizeof(SQLWCHAR)) / sizeof(SQLWCHAR);
  return is_sql_server_dbms(from_sqlwchar(name, units));
}

std::error_code sqldb_c::disconnect() {
  if (connection_) {
    // A transaction left open would otherwise be committed or kept by the
    // driver at its will: it is rolled back, and its levels are gone with it.
    if (!transactions_.empty()) {
      SQLEndTran(SQL_HANDLE_DBC, connection_, SQL_ROLLBACK);
      ++unit_counter_;
    }
    for (sqlstmt_c* statement : statements_) statement->release_handle();
    SQLDisconnect(connection_);
    SQLFreeHandle(SQL_HANDLE_DBC, connection_);
    connection_ = nullptr;
  }
  transactions_.clear();
  rollback_ = false;
  modified_tables_.clear();
  sql_server_ = false;
  std::lock_guard lock(mutex_);
  completed_.clear();
  props_ = {};
  return success;
}

std::string sqldb_c::completed_connection_string() const {
  std::lock_guard lock(mutex_);
  return completed_;
}

server_props_t sqldb_c::server_properties() {
  {
    std::lock_guard lock(mutex_);
    if (connection_ && !props_.edition.empty()) return props_;
  }
  if (!connection_ || !sql_server_) return {};
  try {
    sqlstmt_c statement(this);
    if (statement.allocate(false) ||
        statement.exec_direct("SELECT SERVERPROPERTY('edition'), SERVERPROPERTY('productversion'), "
                              "SERVERPROPERTY('EngineEdition'), SERVERPROPERTY('InstanceName');") ||
        statement.fetch()) {
      return {};
    }
    server_props_t props;
    std::u16string version;
    SQLINTEGER engine = 0;
    SQLLEN indicator = 0;
    const SQLHSTMT handle = statement.native_handle();
    if (!read_wide_column(handle, 1, props.edition) || !read_wide_column(handle, 2, version) ||
        !SQL_SUCCEEDED(SQLGetData(handle, 3, SQL_C_SLONG, &engine, sizeof engine, &indicator)) ||
        !read_wide_column(handle, 4, props.instance_name)) {
      return {};
    }
    props.engine_edition = indicator == SQL_NULL_DATA ? 0 : engine;
    parse_product_version(version, props);
    std::lock_guard lock(mutex_);
    props_ = props;
    return props;
  } catch (...) {
    return {};
  }
}

double sqldb_c::database_size_mb() {
  if (!connection_ || !sql_server_) return 0;
  sqlstmt_c statement(this);
  if (statement.allocate(false) ||
      statement.exec_direct("SELECT SUM(CAST([size] AS BIGINT)) FROM [sys].[database_files] WHERE TYPE = 0;") ||
      statement.fetch()) {
    return 0;
  }
  SQLBIGINT pages = 0;
  SQLLEN indicator = 0;
  if (!SQL_SUCCEEDED(SQLGetData(statement.native_handle(), 1, SQL_C_SBIGINT, &pages, sizeof pages, &indicator)) ||
      indicator == SQL_NULL_DATA) {
    return 0;
  }
  statement.more_results();
  return static_cast<double>(pages) * 8.0 / 1024.0;
}

std::vector<std::error_code> sqldb_c::collect_diagnostics(SQLSMALLINT handle_type, SQLHANDLE handle,
                                                          std::error_code default_error) {
  std::vector<diag_record_t> records;
  for (SQLSMALLINT number = 1;; ++number) {
    SQLWCHAR state[6] = {};
    SQLWCHAR message[512];
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetDiagRecW(handle_type, handle, number, state, &native, message, 512, &length))) break;
    diag_record_t record;
    record.sqlstate = from_sqlwchar(state, 5);
    record.message = from_sqlwchar(message, static_cast<std::size_t>(std::clamp<SQLSMALLINT>(length, 0, 511)));
    record.native_error = native;
    if (handle_type == SQL_HANDLE_STMT &&
        !SQL_SUCCEEDED(SQLGetDiagField(handle_type, handle, number, SQL_DIAG_COLUMN_NUMBER, &record.column,
                                       SQL_IS_INTEGER, nullptr))) {
      record.column = 0;
    }
    records.push_back(std::move(record));
  }
  return map_diagnostics(std::move(records), default_error);
}

std::vector<std::error_code> sqldb_c::map_diagnostics(std::vector<diag_record_t> records,
                                                      std::error_code default_error) {
  std::erase_if(records, [](const diag_record_t& record) { return record.sqlstate == "01000"; });
  std::vector<std::error_code> errors;
  for (const diag_record_t& record : records) {
    errors.push_back(error_from_diagnostic(record.native_error, record.sqlstate, default_error));
  }
  if (errors.empty()) errors.push_back(default_error);
  last_diagnostics_ = std::move(records);
  const bool lost = std::any_of(errors.begin(), errors.end(), [](const std::error_code& e) {
    return e.value() == connection_lost && e.category() == err_cat<sqldb_c>();
  });
  if (lost) disconnect();
  return errors;
}

std::string sqldb_c::last_diagnostic_text() const {
  std::string text;
  for (const diag_record_t& record : last_diagnostics_) {
    if (!text.empty()) text += "\n";
    text += record.sqlstate + " (" + std::to_string(record.native_error) + "): " + record.message;
  }
  return text;
}

std::error_code sqldb_c::error_from_diagnostic(SQLINTEGER native_error, std::string_view sqlstate,
                                               std::error_code default_error) {
  if (native_error == 1105) {
    // Looking at the edition and size runs statements whose own diagnostics
    // come back here: that inner look-up takes the plain answer.
    if (resolving_storage_full_) return error(storage_full);
    resolving_storage_full_ = true;
    errc value = storage_full;
    try {
      if (connection_ && server_properties().engine_edition == 4 && database_size_mb() > 10000) {
        value = size_limit_reached;
      }
    } catch (...) {
    }
    resolving_storage_full_ = false;
    return error(value);
  }
  if (const errc value = native_error_value(native_error); value != errc{}) return error(value);
  const auto& table = sqlstate_table();
  if (auto found = table.find(sqlstate); found != table.end()) return error(found->second);
  return default_error;
}

std::error_code sqldb_c::last_error(SQLSMALLINT handle_type, SQLHANDLE handle, std::error_code default_error) {
  return collect_diagnostics(handle_type, handle, default_error).back();
}

std::error_code sqldb_c::begin_transaction(const void* owner) {
  if (transactions_.empty()) {
    if (!connection_) return error(not_ready);
    if (!SQL_SUCCEEDED(SQLSetConnectAttr(connection_, SQL_ATTR_AUTOCOMMIT,
                                         reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), SQL_IS_UINTEGER))) {
      return last_error(SQL_HANDLE_DBC, connection_, error(not_ready));
    }
    transactions_.push_back({0, owner});
    rollback_ = false;
  } else {
    transactions_.push_back({transactions_.back().flag, owner});
  }
  return success;
}

std::error_code sqldb_c::end_transaction(const void* owner, bool commit) {
  if (transactions_.empty()) return error(no_transaction);
  if (owner != transactions_.back().owner) rollback_ = true;
  transactions_.pop_back();
  if (!transactions_.empty()) {
    if (!commit) rollback_ = true;
    return success;
  }
  const std::error_code finished = finish_transaction(commit && !rollback_);
  if (rollback_ || !commit) modified_tables_.clear();
  const bool forced_rollback = commit && rollback_;
  rollback_ = false;
  if (finished || !forced_rollback) {
    flush_modified_tables(unit_counter_ - 1);
    return finished;
  }
  return error(rolled_back);
}

std::error_code sqldb_c::finish_transaction(bool commit) {
  ++unit_counter_;
  if (!connection_) return error(not_ready);
  if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, connection_, commit ? SQL_COMMIT : SQL_ROLLBACK)) ||
      !SQL_SUCCEEDED(SQLSetConnectAttr(connection_, SQL_ATTR_AUTOCOMMIT,
                                       reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), SQL_IS_UINTEGER))) {
    return last_error(SQL_HANDLE_DBC, connection_, error(not_ready));
  }
  return success;
}

void sqldb_c::note_table_modified(std::int32_t table_id) {
  modified_tables_.insert(table_id);
  if (transactions_.empty()) flush_modified_tables(unit_counter_ - 1);
}

void sqldb_c::flush_modified_tables(std::int32_t unit) {
  session_c* owner = session();
  if (!modified_tables_.empty() && owner) {
    std::vector<std::int32_t> ids(modified_tables_.begin(), modified_tables_.end());
    order_tables(ids);
    owner->tables_modified(ids, unit);
  }
  modified_tables_.clear();
}

void sqldb_c::order_tables(std::vector<std::int32_t>& table_ids) const {
  std::sort(table_ids.begin(), table_ids.end());
  const datamodel_c* model = datamodel();
  if (!model) return;
  std::vector<std::pair<std::size_t, std::int32_t>> counted;
  for (std::int32_t id : table_ids) counted.emplace_back(model->references_of_table(id).size(), id);
  std::stable_sort(counted.begin(), counted.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  for (std::size_t i = 0; i < counted.size(); ++i) table_ids[i] = counted[i].second;
}

std::string sqldb_c::column_type_sql(int sql_type, int length, int decimals, bool with_collation,
                                     bool case_sensitive) {
  const std::string collate = with_collation ? " COLLATE " + collation_name(case_sensitive) : std::string();
  switch (sql_type) {
    case SQL_NUMERIC: case SQL_DECIMAL:
      return "NUMERIC(" + std::to_string(length) + ", " + std::to_string(decimals) + ")";
    case SQL_INTEGER: return "INT";
    case SQL_SMALLINT: return "SMALLINT";
    case SQL_DOUBLE: return "DOUBLE PRECISION";
    case SQL_DATE: return "DATE";
    case SQL_TIMESTAMP: return "DATETIME2(6)";
    case SQL_VARCHAR: case SQL_WVARCHAR: return "NVARCHAR(" + std::to_string(length) + ")" + collate;
    case SQL_LONGVARCHAR: case SQL_WLONGVARCHAR: return "NVARCHAR(MAX)" + collate;
    case SQL_GUID: return "UNIQUEIDENTIFIER";
    case SQL_BIT: return "BIT";
    case SQL_BIGINT: return "BIGINT";
    case SQL_LONGVARBINARY: return "VARBINARY(MAX)";
    case SQL_BINARY: return "BINARY(" + std::to_string(length) + ")";
    default: return {};
  }
}

std::string sqldb_c::quote_identifier(std::string_view name) {
  std::string out = "[";
  for (char c : name) {
    out += c;
    if (c == ']') out += ']';
  }
  return out + "]";
}

}  // namespace lumdb
