#pragma once
// The library's error convention: every operation that can fail returns an
// std::error_code. Success is value 0 in the generic category; a failure is a
// value of `errc` in the category of the class that raised it, one category
// object per class. Callers compare values, and as a rule only test for 0.
#include <stdexcept>
#include <string>
#include <system_error>
#include <typeinfo>

namespace lumdb {

inline const std::error_code success{0, std::generic_category()};

// Plain integers on purpose: the same value may appear in several categories.
enum errc : int {
  not_ready = 101,              // no connection, no statement, not prepared, nothing to bind; default of diagnostics
  no_environment = 103,         // no ODBC environment handle
  no_driver = 104,              // no SQL Server ODBC driver installed
  odbc_version_refused = 105,   // the driver manager refused ODBC 3.80
  connect_failed = 106,
  not_supported = 108,          // attribute or function not supported
  timed_out = 109,
  driver_load_failed = 110,
  rolled_back = 111,            // commit at the outermost level after a rollback
  no_transaction = 112,
  not_scrollable = 113,
  no_data = 114,                // read past the end of a DBF file; SQL_NO_DATA
  already_exists = 115,         // database or file already exists
  io_error = 117,               // DBF file not open, or positioning or reading failed
  out_of_range = 119,
  field_not_found = 121,        // a field absent from the data model or from the row it belongs in
  connection_lost = 123,
  key_set_state = 124,          // a key set attached twice, or detached when none is attached
  no_reposition = 125,          // a row cannot be found again: no primary key, aggregates, other table
  deadlock_victim = 127,
  row_deleted = 129,
  integrity_violation = 130,
  native_8023 = 132,
  row_not_found_again = 139,    // the remembered row is not in the new result
  bad_query = 140,              // an unknown query kind, an INSERT with a filter, a key set of another table
  filter_missing = 141,         // no join filter to remove; a filtered index without its filter
  login_refused = 142,
  restricted_type = 144,
  server_too_old = 145,
  constraint_conflict = 147,
  column_not_found = 148,
  os_io_error = 152,
  permission_denied = 155,
  storage_full = 156,
  size_limit_reached = 157,     // file group full on an edition with a data size limit
  single_user = 158,
  server_out_of_memory = 159,
  procedure_not_found = 160,
  snapshot_conflict = 161,
};

// The text of an error value. The program carries no texts for them, so
// every message is empty and the value alone identifies the error.
std::string load_error_message(int value);

// "class lumdb::dbf_table_c" for the type of the DBF reader: the readable
// name, not the compiler's mangled one.
std::string readable_class_name(const std::type_info& type);

template <class T>
class err_cat_c final : public std::error_category {
 public:
  const char* name() const noexcept override { return name_.c_str(); }
  std::string message(int value) const override { return load_error_message(value); }

 private:
  std::string name_ = readable_class_name(typeid(T));
};

// The one category object of class T.
template <class T>
const std::error_category& err_cat() {
  static const err_cat_c<T> instance;
  return instance;
}

template <class T>
std::error_code make_error(errc value) {
  return {static_cast<int>(value), err_cat<T>()};
}

// Carries an error value inside the library; turned back into its code by the catcher.
class db_error : public std::runtime_error {
 public:
  explicit db_error(std::error_code code) : std::runtime_error(code.message()), code_(code) {}
  const std::error_code& code() const noexcept { return code_; }

 private:
  std::error_code code_;
};

}  // namespace lumdb
