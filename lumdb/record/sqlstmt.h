#pragma once
// One ODBC statement on a connection: allocation with the library's cursor
// (read-only; forward-only, or scrollable keyset-driven), prepare and execute,
// binding the fields of a row buffer as result columns and parameters,
// fetching and scrolling; and the scoped transaction.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <sql.h>
#include <sqlext.h>

namespace lumdb {

class field_c;
class field_set_c;
class sqldb_c;

// A value of the fetched row that does not read as its column's type: a driver
// that lets a number, date or flag column hold any text (SQLite's) would turn
// it into 0, NULL or the number its text starts with. The field is NULL instead.
struct unreadable_value_t {
  const field_c* field = nullptr;
  std::string text;  // as the driver gave it
};

class sqlstmt_c {
 public:
  explicit sqlstmt_c(sqldb_c* connection);
  sqlstmt_c(sqlstmt_c&& other) noexcept;
  sqlstmt_c& operator=(sqlstmt_c&&) = delete;
  sqlstmt_c(const sqlstmt_c&) = delete;
  sqlstmt_c& operator=(const sqlstmt_c&) = delete;
  ~sqlstmt_c();

  std::error_code allocate(bool scrollable);
  std::error_code prepare(std::string_view sql);
  std::error_code execute();
  std::error_code exec_direct(std::string_view sql);

  // Binds the field at `position` of `row` to the next column or parameter.
  // The row must stay in place while bound.
  std::error_code bind_column(field_set_c& row, int position);
  std::error_code bind_parameter(field_set_c& row, int position);

  std::error_code fetch();
  std::error_code fetch_scroll(SQLSMALLINT orientation, SQLLEN offset);
  std::error_code fetch_first();
  std::error_code fetch_next();
  std::error_code fetch_last();
  std::error_code fetch_prior();
  std::error_code fetch_absolute(std::int64_t row);  // 0-based
  std::error_code refresh_row();
  std::error_code more_results();
  // Closes the cursor and unbinds (no driver writes into a row freed later).
  std::error_code close_cursor();
  std::error_code unbind();
  // Frees the handle: the driver drops the statement with its result and cursor
  // (closing the cursor alone leaves SQLite's statement holding its read lock).
  // allocate makes a new one.
  void release_handle();
  std::error_code diagnostics();

  // The values of the row the last fetch stood on that did not read as their
  // column's type; empty when every value read.
  const std::vector<unreadable_value_t>& unreadable_values() const { return unreadable_; }
  // The field of the column a failed fetch names (the driver's diagnostic, or
  // a value the field cannot hold); null when the failure names no column.
  const field_c* failed_field() const { return failed_field_; }
  // Whether the values of the row a fetch failed on were taken all the same
  // (a text cut short): its other columns then name the row.
  bool failed_row_taken() const { return failed_row_taken_; }

  std::int64_t row_count() const;
  // The 0-based current row; -1 before the first row, after the last, or when unknown.
  std::int64_t row_number() const;

  bool has_handle() const { return handle_ != nullptr; }
  bool is_scrollable() const { return scrollable_; }
  bool is_prepared() const { return prepared_; }
  sqldb_c* connection() const { return connection_; }
  SQLHSTMT native_handle() const { return handle_; }
  SQLUSMALLINT bound_columns() const { return column_count_; }
  SQLUSMALLINT bound_parameters() const { return parameter_count_; }

 private:
  friend class sqldb_c;
  struct staged_t;  // a field bound through a buffer of the driver's form

  // The connection is going: the handle is freed before it disconnects.
  void connection_destroyed() { release_handle(), connection_ = nullptr; }
  // Prepares the text, or runs it at once (`run`).
  SQLRETURN send_text(std::string_view sql, bool run);
  std::error_code fetched(SQLRETURN rc);
  std::error_code error_of(SQLRETURN rc);
  void track_position(SQLSMALLINT orientation, SQLLEN offset);
  std::error_code stage_parameters();
  // The staged values into their fields; the failure of the first that cannot be taken.
  std::error_code unstage_columns();
  // The bound field a diagnostic of the last call names; null when none does.
  const field_c* field_of_diagnostics() const;
  std::int64_t cursor_rows() const;
  // Precision, scale and buffers of a NUMERIC column or parameter on the application descriptor.
  bool describe_numeric(SQLINTEGER descriptor_attribute, SQLSMALLINT number, SQLLEN precision, SQLLEN scale,
                        void* value, SQLINTEGER value_length, SQLLEN* indicator);

  sqldb_c* connection_;
  SQLUSMALLINT parameter_count_ = 0;
  SQLUSMALLINT column_count_ = 0;
  SQLHSTMT handle_ = nullptr;
  std::unique_ptr<SQLUSMALLINT> row_status_;
  bool scrollable_ = false;
  bool prepared_ = false;
  // The current row as the fetches moved it: drivers that cannot tell it
  // (SQL_ATTR_ROW_NUMBER unknown on a static cursor) still have one.
  std::int64_t position_ = -1;
  std::int64_t result_rows_ = -1;  // rows of the result when a fetch found out
  std::vector<field_c*> bound_fields_;  // by result column, from the first
  std::vector<std::unique_ptr<staged_t>> staged_columns_;
  std::vector<std::unique_ptr<staged_t>> staged_parameters_;
  std::vector<unreadable_value_t> unreadable_;
  const field_c* failed_field_ = nullptr;
  bool failed_row_taken_ = false;
};

class scoped_trans_c {
 public:
  // Begins a level when enabled and the connection is there; a failed begin
  // throws db_error 112 (123 when the connection is gone).
  scoped_trans_c(sqldb_c* connection, const void* owner, bool enabled);
  ~scoped_trans_c();
  scoped_trans_c(const scoped_trans_c&) = delete;
  scoped_trans_c& operator=(const scoped_trans_c&) = delete;

  std::error_code commit();
  bool is_active() const { return active_; }

 private:
  sqldb_c* connection_;
  const void* owner_;
  bool active_ = false;
  bool enabled_;
};

}  // namespace lumdb
