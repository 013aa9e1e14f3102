#pragma once
// The connection to a SQL Server company database over ODBC: driver choice,
// connection string, connect with the server-version check, the mapping of
// ODBC diagnostics to error values, nested transactions, the set of tables
// changed in the current unit of work, and the SQL text helpers.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_set>
#include <vector>

#include <sql.h>
#include <sqlext.h>

#include "lumdb/record/dbobj.h"

namespace lumdb {

class session_c;
class sqlstmt_c;

struct server_props_t {
  std::int32_t build = 0;  // third component of the product version
  std::int32_t minor = 0;
  std::int32_t major = 0;
  std::u16string instance_name;
  std::u16string edition;
  std::int32_t engine_edition = 0;
};

// One ODBC diagnostic record; the message as UTF-8.
struct diag_record_t {
  std::string message;
  std::string sqlstate;
  SQLINTEGER native_error = 0;
  SQLINTEGER column = 0;  // the 1-based result column a fetch's record is about; 0 when none or not told
};

// Drivers tried in this order before any other installed name.
extern const std::vector<std::string> preferred_drivers;
// Any later "ODBC Driver N for SQL Server" (whole name, any letter case).
extern const char* const odbc_driver_pattern;

// The collation of generated text columns.
std::string collation_name(bool case_sensitive);

class sqldb_c : public dbobj_c {
 public:
  // Allocates the ODBC environment with version 3.80; throws db_error 105 when refused.
  explicit sqldb_c(session_c* session);
  ~sqldb_c() override;
  sqldb_c(const sqldb_c&) = delete;
  sqldb_c& operator=(const sqldb_c&) = delete;

  std::error_code connect(std::string_view server, std::string_view database, std::string_view user,
                          std::string_view password, std::string_view application_name);
  std::error_code driver_connect(std::string_view connection_string);
  // Rolls back an open transaction first; statements of the connection lose their handles.
  std::error_code disconnect();
  bool is_connected() const { return connection_ != nullptr; }
  bool in_transaction() const { return !transactions_.empty(); }
  // True when the server behind the driver says it is SQL Server.
  bool is_sql_server() const { return sql_server_; }
  std::string completed_connection_string() const;

  struct driver_entry_t {
    std::string name;
    std::vector<std::string> attributes;  // "key=value" of its odbcinst.ini section
  };
  // The installed drivers, in the driver manager's order.
  std::vector<driver_entry_t> installed_drivers() const;
  // The preferred SQL Server driver among `installed`, spelled as installed; empty when none fits.
  static std::string choose_driver(const std::vector<std::string>& installed);
  // "Driver={...};Server=...;..." with every value quoted where it needs it.
  static std::string build_connection_string(std::string_view driver, std::string_view server,
                                             std::string_view database, std::string_view user,
                                             std::string_view password, std::string_view application_name);
  // A connection-string value as it is, or in braces ("}" doubled) when it holds
  // ";", "{", "}" or blanks at either end.
  static std::string quote_connection_value(std::string_view value);
  // Servers older than SQL Server 2012 (major version 1 to 10) are refused; 0 means unknown.
  static bool server_version_refused(std::int32_t major) { return major >= 1 && major <= 10; }
  // Major, minor and build of a product version such as "11.0.7001.0"; missing parts read 0.
  static void parse_product_version(std::u16string_view version, server_props_t& props);

  server_props_t server_properties();
  double database_size_mb();

  // The mapped errors of a handle's diagnostic records ("01000" skipped), or `default_error`
  // alone. A lost connection (123) among them disconnects.
  std::vector<std::error_code> collect_diagnostics(SQLSMALLINT handle_type, SQLHANDLE handle,
                                                   std::error_code default_error);
  // The same for records already read: general warnings (01000) are dropped, the rest kept
  // as the last diagnostics and mapped in order.
  std::vector<std::error_code> map_diagnostics(std::vector<diag_record_t> records, std::error_code default_error);
  std::error_code error_from_diagnostic(SQLINTEGER native_error, std::string_view sqlstate,
                                        std::error_code default_error);
  // The records of the last collect_diagnostics, for a message to the user.
  const std::vector<diag_record_t>& last_diagnostics() const { return last_diagnostics_; }
  std::string last_diagnostic_text() const;

  std::error_code begin_transaction(const void* owner);
  std::error_code end_transaction(const void* owner, bool commit);
  std::uint8_t transaction_flag() const { return transactions_.empty() ? 0 : transactions_.back().flag; }
  std::int32_t unit_counter() const { return unit_counter_.load(); }
  void count_unit() { ++unit_counter_; }

  void note_table_modified(std::int32_t table_id);
  void flush_modified_tables(std::int32_t unit);
  // Tables with more references in the data model first.
  void order_tables(std::vector<std::int32_t>& table_ids) const;

  static std::string column_type_sql(int sql_type, int length, int decimals, bool with_collation,
                                     bool case_sensitive);
  // "[name]" with "]" inside doubled.
  static std::string quote_identifier(std::string_view name);
  static std::string row_version_column() { return "REV"; }

  SQLHDBC native_handle() const { return connection_; }

 private:
  friend class sqlstmt_c;
  struct level_t {
    std::uint8_t flag = 0;
    const void* owner = nullptr;  // identity only: the object that opened the level
  };

  void register_statement(sqlstmt_c* statement) { statements_.insert(statement); }
  void unregister_statement(sqlstmt_c* statement) { statements_.erase(statement); }
  std::error_code last_error(SQLSMALLINT handle_type, SQLHANDLE handle, std::error_code default_error);
  std::error_code finish_transaction(bool commit);
  bool read_dbms_is_sql_server();

  SQLHENV environment_ = nullptr;
  SQLHDBC connection_ = nullptr;
  mutable std::mutex mutex_;  // guards the completed connection string and the properties cache
  std::string completed_;
  std::atomic<std::int32_t> unit_counter_{0};
  std::vector<level_t> transactions_;
  bool rollback_ = false;
  std::unordered_set<sqlstmt_c*> statements_;
  std::unordered_set<std::int32_t> modified_tables_;
  server_props_t props_;
  bool sql_server_ = false;
  bool resolving_storage_full_ = false;  // native error 1105 being mapped: no second look-up
  std::vector<diag_record_t> last_diagnostics_;
};

}  // namespace lumdb
