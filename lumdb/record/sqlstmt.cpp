#include "lumdb/record/sqlstmt.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "lumdb/record/errors.h"
#include "lumdb/record/field.h"
#include "lumdb/record/field_set.h"
#include "lumdb/record/odbc_text.h"
#include "lumdb/record/sqldb.h"
#include "lumdb/record/text_forms.h"
#include "platform/text.h"

namespace lumdb {

namespace {

std::error_code error(errc value) { return make_error<sqlstmt_c>(value); }

constexpr std::int64_t after_last = -2;  // position_ past the end of the rows

// The C type a field is bound with when the driver takes the field's storage as it is.
SQLSMALLINT c_type_of(int sql_type) {
  switch (sql_type) {
    case SQL_NUMERIC: case SQL_DECIMAL: return SQL_C_NUMERIC;
    case SQL_INTEGER: return SQL_C_SLONG;
    case SQL_SMALLINT: return SQL_C_SSHORT;
    case SQL_DOUBLE: return SQL_C_DOUBLE;
    case SQL_DATE: return SQL_C_DATE;
    case SQL_TIMESTAMP: return SQL_C_TIMESTAMP;
    case SQL_VARCHAR: case SQL_LONGVARCHAR: return SQL_C_CHAR;
    case SQL_GUID: return SQL_C_GUID;
    case SQL_WVARCHAR: case SQL_WLONGVARCHAR: return SQL_C_WCHAR;
    case SQL_BIT: return SQL_C_BIT;
    case SQL_BIGINT: return SQL_C_SBIGINT;
    case SQL_BINARY: return SQL_C_BINARY;
    default: return 0;
  }
}

bool is_numeric(int sql_type) { return sql_type == SQL_NUMERIC || sql_type == SQL_DECIMAL; }

// Number, date and flag columns, which a driver other than SQL Server's may let
// hold any text: they are read as their text and taken only when it reads.
bool is_typed(int sql_type) {
  switch (sql_type) {
    case SQL_INTEGER: case SQL_SMALLINT: case SQL_BIGINT: case SQL_DOUBLE: case SQL_DATE: case SQL_TIMESTAMP:
    case SQL_BIT:
      return true;
    default:
      return false;
  }
}

// The whole text as a number of type T (a leading "+" allowed); false for
// anything else, and the target is left alone.
template <class T>
bool read_whole(std::string_view text, T& target) {
  if (text.size() > 1 && text.front() == '+') text.remove_prefix(1);
  T value{};
  const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (failure != std::errc() || end != text.data() + text.size()) return false;
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(value)) return false;
  }
  target = value;
  return true;
}

// A date, alone or at the start of a time stamp whose date is a real one.
bool read_date(std::string_view text, DATE_STRUCT& date) {
  if (parse_date(text, date)) return true;
  TIMESTAMP_STRUCT stamp{};
  DATE_STRUCT day{};
  if (text.size() <= 10 || !parse_date(text.substr(0, 10), day) || !parse_timestamp(text, stamp)) return false;
  date = day;
  return true;
}

bool read_timestamp(std::string_view text, TIMESTAMP_STRUCT& stamp) {
  DATE_STRUCT day{};
  if (text.size() > 10 && parse_date(text.substr(0, 10), day)) return parse_timestamp(text, stamp);
  if (!parse_date(text, day)) return false;
  stamp = TIMESTAMP_STRUCT{};
  stamp.year = day.year, stamp.month = day.month, stamp.day = day.day;
  return true;
}

template <class T>
bool store_as(field_c& field, T& storage, const T& value) {
  storage = value;
  field.indicator = sizeof(T);
  return true;
}

// The text of a number, date or flag column into its field; false when the
// text is not a value of the column's type. Blanks around it do not count,
// and a text of blanks alone is no value (NULL).
bool store_typed_text(std::string_view text, field_c& field) {
  text = platform::Trim(text);
  if (text.empty()) {
    field.set_null();
    return true;
  }
  switch (field.sql_type) {
    case SQL_SMALLINT: {
      short value = 0;
      return read_whole(text, value) && store_as(field, smallint_value(field), value);
    }
    case SQL_INTEGER: {
      int value = 0;
      return read_whole(text, value) && store_as(field, integer_value(field), value);
    }
    case SQL_BIGINT: {
      std::int64_t value = 0;
      return read_whole(text, value) && store_as(field, bigint_value(field), value);
    }
    case SQL_DOUBLE: {
      double value = 0;
      return read_whole(text, value) && store_as(field, double_value(field), value);
    }
    case SQL_BIT: {
      // Set for any number but 0, and the words TRUE and FALSE, as SQL Server makes a flag of them.
      const auto is_word = [text](std::string_view word) {
        return std::equal(text.begin(), text.end(), word.begin(), word.end(),
                          [](char a, char b) { return (a >= 'a' && a <= 'z' ? char(a - 32) : a) == b; });
      };
      std::int64_t value = 0;
      if (is_word("TRUE")) {
        value = 1;
      } else if (!is_word("FALSE") && !read_whole(text, value)) {
        return false;
      }
      bit_value(field) = value != 0;
      field.indicator = 1;
      return true;
    }
    case SQL_DATE: {
      DATE_STRUCT date{};
      return read_date(text, date) && store_as(field, date_value(field), date);
    }
    case SQL_TIMESTAMP: {
      TIMESTAMP_STRUCT stamp{};
      return read_timestamp(text, stamp) && store_as(field, timestamp_value(field), stamp);
    }
    default:
      return false;
  }
}

// Decimal text at the number's scale; a text in exponent form (SQLite writes
// large or small reals so) is read as a finite double and written out in full.
bool parse_numeric_text(std::string_view text, SQL_NUMERIC_STRUCT& number) {
  if (parse_numeric(text, number)) return true;
  double value = 0;
  if (text.find_first_of("eE") == std::string_view::npos || !read_whole(text, value)) return false;
  char digits[400];
  const auto written = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed,
                                     std::clamp<int>(number.scale, 0, 38));
  return written.ec == std::errc() && parse_numeric(std::string_view(digits, written.ptr), number);
}

struct binding_t {
  field_c* field = nullptr;  // null when the row has nothing to bind at the position
  struct {
    void* value = nullptr;
    SQLLEN* indicator = nullptr;
    SQLSMALLINT sql_type = 0;
    SQLLEN length = 0;
    SQLSMALLINT decimals = 0;
  } buffers;
};

binding_t binding_of(field_set_c& row, int position) {
  binding_t bound;
  auto& b = bound.buffers;
  b.value = row.binding_info(position, &b.indicator, &b.sql_type, &b.length, &b.decimals);
  if (b.value && b.indicator) bound.field = row.field_at(position);
  return bound;
}

}  // namespace

// A field that goes to and from the driver through a buffer of another form:
// narrow (UTF-8) text always as UTF-16, NUMERIC and GUID values as their text
// where the driver refuses their structs, and number, date and flag columns as
// their text where the driver would turn a text that is no value into one.
struct sqlstmt_c::staged_t {
  enum class form_t { wide_text, numeric_text, guid_text, typed_text };
  // What a fetched value became: the field's value, a text that is no value of
  // the column's type (the field NULL), or a value the field cannot hold.
  enum class stored_t { value, unreadable, failed };

  staged_t(field_c& f, form_t k) : field(f), form(k) {
    if (form == form_t::wide_text) {
      // Every character of the field may need a surrogate pair.
      wide.resize(static_cast<std::size_t>(field.column_size) * 2 + 1);
    } else {
      // Sign, 38 digits and the point of a numeric; the 36 characters of a GUID;
      // a time stamp with its fraction; and room to show a text that is none of them.
      narrow.resize(64);
    }
  }
  SQLSMALLINT c_type() const { return form == form_t::wide_text ? SQL_C_WCHAR : SQL_C_CHAR; }
  void* data() { return form == form_t::wide_text ? static_cast<void*>(wide.data()) : narrow.data(); }
  SQLLEN capacity() const {
    return form == form_t::wide_text ? SQLLEN(wide.size() * sizeof(char16_t)) : SQLLEN(narrow.size());
  }

  // The field's value into the buffer, before an execution.
  void load() {
    if (field.is_null()) {
      indicator = SQL_NULL_DATA;
      return;
    }
    if (form == form_t::wide_text) {
      const std::u16string text = platform::Utf8ToUtf16(varchar_value(field));
      const std::size_t units = std::min(text.size(), wide.size() - 1);
      std::copy_n(text.begin(), units, wide.begin());
      wide[units] = 0;
      indicator = SQLLEN(units * sizeof(char16_t));
      return;
    }
    const std::string text =
        form == form_t::numeric_text ? numeric_to_string(numeric_value(field)) : guid_to_string(guid_value(field));
    const std::size_t length = std::min(text.size(), narrow.size() - 1);
    std::copy_n(text.begin(), length, narrow.begin());
    narrow[length] = 0;
    indicator = SQLLEN(length);
  }

  // The fetched value into the field; a text that is no value leaves it NULL
  // and is kept in `unreadable_text`.
  stored_t store(std::string& unreadable_text) {
    if (indicator == SQL_NULL_DATA) {
      field.set_null();
      return stored_t::value;
    }
    if (indicator < 0) return stored_t::failed;  // the driver did not tell the length
    if (form == form_t::wide_text) {
      if (indicator >= capacity()) return stored_t::failed;  // cut short
      platform::Utf16ToUtf8(std::u16string_view(wide.data(), std::size_t(indicator) / sizeof(char16_t)), utf8);
      return field.set_from_string(utf8) ? stored_t::value : stored_t::failed;
    }
    // A text longer than any value of the column is no value of it either.
    const bool whole = indicator < capacity();
    const std::string_view text(narrow.data(), whole ? std::size_t(indicator) : narrow.size() - 1);
    bool read = whole;
    if (read && form == form_t::numeric_text) {
      SQL_NUMERIC_STRUCT number{};
      number.precision = static_cast<SQLCHAR>(field.column_size);
      number.scale = static_cast<SQLSCHAR>(field.decimals);
      const std::string_view digits = platform::Trim(text);
      read = digits.empty() || parse_numeric_text(digits, number);
      if (digits.empty()) {
        field.set_null();
      } else if (read) {
        numeric_value(field) = number;
        field.indicator = sizeof number;
      }
    } else if (read && form == form_t::guid_text) {
      SQLGUID guid{};
      read = parse_guid(platform::Trim(text), guid);
      if (read) {
        guid_value(field) = guid;
        field.indicator = sizeof guid;
      }
    } else if (read) {
      read = store_typed_text(text, field);
    }
    if (read) return stored_t::value;
    field.set_null();
    // Whatever bytes the column holds, the text that tells of them is UTF-8.
    unreadable_text = platform::Utf8OrWindows1252(text);
    if (!whole) unreadable_text += "…";
    return stored_t::unreadable;
  }

  field_c& field;
  form_t form;
  std::u16string wide;  // SQLWCHAR units: the driver writes UTF-16
  std::string utf8;     // the fetched wide text, its buffer kept from row to row
  std::vector<char> narrow;
  SQLLEN indicator = SQL_NULL_DATA;
};

sqlstmt_c::sqlstmt_c(sqldb_c* connection) : connection_(connection) {
  if (connection_) connection_->register_statement(this);
}

sqlstmt_c::sqlstmt_c(sqlstmt_c&& other) noexcept
    : connection_(other.connection_),
      parameter_count_(other.parameter_count_),
      column_count_(other.column_count_),
      handle_(std::exchange(other.handle_, nullptr)),
      row_status_(std::move(other.row_status_)),
      scrollable_(other.scrollable_),
      prepared_(std::exchange(other.prepared_, false)),
      position_(other.position_),
      result_rows_(other.result_rows_),
      bound_fields_(std::move(other.bound_fields_)),
      staged_columns_(std::move(other.staged_columns_)),
      staged_parameters_(std::move(other.staged_parameters_)),
      unreadable_(std::move(other.unreadable_)),
      failed_field_(other.failed_field_),
      failed_row_taken_(other.failed_row_taken_) {
  if (connection_) connection_->register_statement(this);
}

sqlstmt_c::~sqlstmt_c() {
  if (connection_) connection_->unregister_statement(this);
  release_handle();
}

void sqlstmt_c::release_handle() {
  if (handle_) SQLFreeHandle(SQL_HANDLE_STMT, handle_);
  handle_ = nullptr;
  row_status_.reset();
  scrollable_ = false;
  prepared_ = false;
  column_count_ = parameter_count_ = 0;
  staged_columns_.clear();
  staged_parameters_.clear();
  bound_fields_.clear();
  unreadable_.clear();
  failed_field_ = nullptr;
  position_ = -1;
  result_rows_ = -1;
}

std::error_code sqlstmt_c::diagnostics() {
  if (!connection_) return error(not_ready);
  if (handle_) return connection_->collect_diagnostics(SQL_HANDLE_STMT, handle_, error(not_ready)).front();
  return connection_->collect_diagnostics(SQL_HANDLE_DBC, connection_->native_handle(), error(not_ready)).front();
}

std::error_code sqlstmt_c::error_of(SQLRETURN rc) {
  if (rc == SQL_NO_DATA) return error(no_data);
  return SQL_SUCCEEDED(rc) ? success : diagnostics();
}

std::error_code sqlstmt_c::allocate(bool scrollable) {
  if (handle_ || !connection_) return error(not_ready);
  SQLHSTMT handle = nullptr;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection_->native_handle(), &handle))) {
    if (handle) SQLFreeHandle(SQL_HANDLE_STMT, handle);
    return connection_->collect_diagnostics(SQL_HANDLE_DBC, connection_->native_handle(), error(not_ready)).front();
  }
  handle_ = handle;
  auto set = [&](SQLINTEGER attribute, SQLULEN value) {
    // A driver may substitute a cursor it has (keyset → static, 01S02): that is success.
    return SQL_SUCCEEDED(SQLSetStmtAttr(handle_, attribute, reinterpret_cast<SQLPOINTER>(value), SQL_IS_UINTEGER));
  };
  bool set_all = set(SQL_ATTR_CONCURRENCY, SQL_CONCUR_READ_ONLY) &&
                 set(SQL_ATTR_CURSOR_SCROLLABLE, scrollable ? SQL_SCROLLABLE : SQL_NONSCROLLABLE);
  if (set_all && scrollable) {
    row_status_ = std::make_unique<SQLUSMALLINT>(SQLUSMALLINT(SQL_ROW_SUCCESS));
    set_all = set(SQL_ATTR_CURSOR_TYPE, SQL_CURSOR_KEYSET_DRIVEN) &&
              SQL_SUCCEEDED(SQLSetStmtAttr(handle_, SQL_ATTR_ROW_STATUS_PTR, row_status_.get(), 0));
  }
  if (!set_all) {
    const std::error_code failure = diagnostics();
    release_handle();
    return failure;
  }
  scrollable_ = scrollable;
  return success;
}

SQLRETURN sqlstmt_c::send_text(std::string_view sql, bool run) {
  if (connection_ && !connection_->is_sql_server()) {
    // SQLite's driver has no wide entry points, and the driver manager narrows
    // wide text falling back to Latin-1 for letters beyond ASCII (which a constant
    // written into the text may hold): it gets our UTF-8 through the narrow call.
    std::string text(sql);
    auto* narrow = reinterpret_cast<SQLCHAR*>(text.data());
    const auto length = static_cast<SQLINTEGER>(text.size());
    return run ? SQLExecDirect(handle_, narrow, length) : SQLPrepare(handle_, narrow, length);
  }
  sqlwstring text = to_sqlwchar(sql);
  const auto length = static_cast<SQLINTEGER>(text.size());
  return run ? SQLExecDirectW(handle_, text.data(), length) : SQLPrepareW(handle_, text.data(), length);
}

std::error_code sqlstmt_c::prepare(std::string_view sql) {
  if (!handle_) return error(not_ready);
  if (!SQL_SUCCEEDED(send_text(sql, false))) return diagnostics();
  prepared_ = true;
  return success;
}

std::error_code sqlstmt_c::stage_parameters() {
  for (auto& staged : staged_parameters_) staged->load();
  return success;
}

std::error_code sqlstmt_c::execute() {
  if (!handle_ || !prepared_) return error(not_ready);
  stage_parameters();
  position_ = -1;
  result_rows_ = -1;
  const SQLRETURN rc = SQLExecute(handle_);
  if (const std::error_code failure = error_of(rc)) return failure;
  if (connection_ && !connection_->in_transaction()) connection_->count_unit();
  return success;
}

std::error_code sqlstmt_c::exec_direct(std::string_view sql) {
  if (!handle_) return error(not_ready);
  stage_parameters();
  position_ = -1;
  result_rows_ = -1;
  return error_of(send_text(sql, true));
}

bool sqlstmt_c::describe_numeric(SQLINTEGER descriptor_attribute, SQLSMALLINT number, SQLLEN precision,
                                 SQLLEN scale, void* value, SQLINTEGER value_length, SQLLEN* indicator) {
  SQLHDESC descriptor = nullptr;
  return SQL_SUCCEEDED(SQLGetStmtAttr(handle_, descriptor_attribute, &descriptor, 0, nullptr)) &&
         SQL_SUCCEEDED(SQLSetDescField(descriptor, number, SQL_DESC_TYPE,
                                       reinterpret_cast<SQLPOINTER>(SQLLEN(SQL_C_NUMERIC)), 0)) &&
         SQL_SUCCEEDED(SQLSetDescField(descriptor, number, SQL_DESC_PRECISION,
                                       reinterpret_cast<SQLPOINTER>(precision), 0)) &&
         SQL_SUCCEEDED(SQLSetDescField(descriptor, number, SQL_DESC_SCALE, reinterpret_cast<SQLPOINTER>(scale), 0)) &&
         SQL_SUCCEEDED(SQLSetDescField(descriptor, number, SQL_DESC_DATA_PTR, value, value_length)) &&
         SQL_SUCCEEDED(SQLSetDescField(descriptor, number, SQL_DESC_INDICATOR_PTR, indicator, 0));
}

std::error_code sqlstmt_c::bind_column(field_set_c& row, int position) {
  const binding_t binding = handle_ ? binding_of(row, position) : binding_t{};
  if (!binding.field) return error(not_ready);
  field_c& field = *binding.field;
  const auto [value, indicator, sql_type, length, decimals] = binding.buffers;
  const SQLUSMALLINT column = ++column_count_;

  auto bind_staged = [&](staged_t::form_t form) -> std::error_code {
    auto staged = std::make_unique<staged_t>(field, form);
    if (!SQL_SUCCEEDED(SQLBindCol(handle_, column, staged->c_type(), staged->data(), staged->capacity(),
                                  &staged->indicator))) {
      --column_count_;
      return diagnostics();
    }
    staged_columns_.push_back(std::move(staged));
    bound_fields_.push_back(&field);
    return success;
  };
  if (sql_type == SQL_VARCHAR) return bind_staged(staged_t::form_t::wide_text);
  if (!connection_->is_sql_server()) {
    // Other drivers (SQLite's) refuse the NUMERIC and GUID structs, some only
    // when the statement runs: those values go as text. Their columns may hold
    // any text, which the driver would read as 0, NULL or a number cut short.
    if (is_numeric(sql_type)) return bind_staged(staged_t::form_t::numeric_text);
    if (sql_type == SQL_GUID) return bind_staged(staged_t::form_t::guid_text);
    if (is_typed(sql_type)) return bind_staged(staged_t::form_t::typed_text);
  }
  // Without the descriptor's precision and scale a driver fills a NUMERIC struct at scale 0.
  const bool bound = SQL_SUCCEEDED(SQLBindCol(handle_, column, c_type_of(sql_type), value, length, indicator)) &&
                     (!is_numeric(sql_type) || decimals < 1 ||
                      describe_numeric(SQL_ATTR_APP_ROW_DESC, column, field.column_size, decimals, value,
                                       sizeof(SQL_NUMERIC_STRUCT), indicator));
  if (bound) {
    bound_fields_.push_back(&field);
    return success;
  }
  --column_count_;
  return diagnostics();
}

std::error_code sqlstmt_c::bind_parameter(field_set_c& row, int position) {
  const binding_t binding = handle_ ? binding_of(row, position) : binding_t{};
  if (!binding.field) return error(not_ready);
  field_c& field = *binding.field;
  const auto [value, indicator, sql_type, length, decimals] = binding.buffers;

  SQLULEN column_size = SQLULEN(length);
  SQLSMALLINT digits = decimals;
  if (sql_type == SQL_TIMESTAMP) {
    column_size = 26, digits = 6;
  } else if (sql_type == SQL_DATE) {
    column_size = 10;
  } else if (sql_type == SQL_VARCHAR || sql_type == SQL_WVARCHAR) {
    column_size = SQLULEN(std::max(field.column_size, 1));  // characters, not buffer bytes
  } else if (is_numeric(sql_type)) {
    column_size = SQLULEN(field.column_size);
  }
  const SQLUSMALLINT parameter = ++parameter_count_;

  auto bind_staged = [&](staged_t::form_t form, SQLSMALLINT as_type) -> std::error_code {
    auto staged = std::make_unique<staged_t>(field, form);
    const SQLULEN size = form == staged_t::form_t::guid_text ? 36 : column_size;
    if (!SQL_SUCCEEDED(SQLBindParameter(handle_, parameter, SQL_PARAM_INPUT, staged->c_type(), as_type, size, digits,
                                        staged->data(), staged->capacity(), &staged->indicator))) {
      --parameter_count_;
      return diagnostics();
    }
    staged_parameters_.push_back(std::move(staged));
    return success;
  };
  // Narrow text goes to the server as Unicode: as SQL_C_CHAR it would be read in the server's code page.
  if (sql_type == SQL_VARCHAR) return bind_staged(staged_t::form_t::wide_text, SQL_WVARCHAR);
  if (!connection_->is_sql_server()) {
    if (is_numeric(sql_type)) return bind_staged(staged_t::form_t::numeric_text, sql_type);
    if (sql_type == SQL_GUID) return bind_staged(staged_t::form_t::guid_text, SQL_VARCHAR);
  }
  const bool bound = SQL_SUCCEEDED(SQLBindParameter(handle_, parameter, SQL_PARAM_INPUT, c_type_of(sql_type),
                                                    sql_type, column_size, digits, value, length, indicator)) &&
                     (!is_numeric(sql_type) || describe_numeric(SQL_ATTR_APP_PARAM_DESC, parameter, column_size,
                                                                decimals, value, 0, indicator));
  if (bound) return success;
  --parameter_count_;
  return diagnostics();
}

std::error_code sqlstmt_c::unstage_columns() {
  std::error_code failure = success;
  std::string text;
  for (auto& staged : staged_columns_) {
    switch (staged->store(text)) {
      case staged_t::stored_t::value:
        break;
      case staged_t::stored_t::unreadable:
        unreadable_.push_back({&staged->field, std::move(text)});
        break;
      case staged_t::stored_t::failed:
        // The first value that cannot be taken is the failure; the others are still taken.
        if (failed_field_ == nullptr) failed_field_ = &staged->field;
        if (!failure) failure = error(not_ready);
        break;
    }
  }
  return failure;
}

const field_c* sqlstmt_c::field_of_diagnostics() const {
  for (const diag_record_t& record : connection_->last_diagnostics()) {
    if (record.column > 0 && static_cast<std::size_t>(record.column) <= bound_fields_.size())
      return bound_fields_[static_cast<std::size_t>(record.column) - 1];
  }
  return nullptr;
}

std::error_code sqlstmt_c::fetched(SQLRETURN rc) {
  unreadable_.clear();
  failed_field_ = nullptr;
  failed_row_taken_ = false;
  if (rc == SQL_NO_DATA) return error(no_data);
  if (!SQL_SUCCEEDED(rc)) {
    // The bound values are undefined after a failed fetch: none of them is taken.
    const std::error_code failure = diagnostics();
    if (connection_) failed_field_ = field_of_diagnostics();
    return failure;
  }
  std::error_code cut = success;
  if (rc == SQL_SUCCESS_WITH_INFO && connection_) {
    // Text cut short by the driver (01004) is a failed read, never a silent one.
    const std::vector<std::error_code> notes =
        connection_->collect_diagnostics(SQL_HANDLE_STMT, handle_, error(not_ready));
    const auto& records = connection_->last_diagnostics();
    for (std::size_t i = 0; i < records.size() && !cut; ++i) {
      if (records[i].sqlstate == "01004") cut = notes[i];
    }
  }
  // The row stands: its other values are taken even when one is not, so that they name it.
  std::error_code failure = unstage_columns();
  if (cut && failed_field_ == nullptr) {
    const auto told = [this](const field_c* field) {
      return std::any_of(unreadable_.begin(), unreadable_.end(),
                         [field](const unreadable_value_t& value) { return value.field == field; });
    };
    // The column the driver names, else (a driver that does not tell) the field bound
    // as it is whose length passed its buffer.
    const field_c* named = field_of_diagnostics();
    if (named == nullptr) {
      const auto over = std::find_if(bound_fields_.begin(), bound_fields_.end(), [](const field_c* field) {
        return field->buffer_length() > 0 && field->indicator >= field->buffer_length();
      });
      if (over != bound_fields_.end()) named = *over;
    }
    if (named != nullptr && !told(named)) {
      failed_field_ = named;
    } else if (!unreadable_.empty()) {
      cut = success;  // a text cut in a number, date or flag column: told as a value that does not read
    }
  }
  if (cut || failure) {
    failed_row_taken_ = true;
    if (!cut && connection_) {
      // A value the driver gave whole that its field cannot hold: words of our own.
      failure = connection_->map_diagnostics({{"värdet får inte plats i fältet", "22001", 0, 0}}, failure).front();
    }
    return cut ? cut : failure;
  }
  if (row_status_ && *row_status_ == SQL_ROW_DELETED) return error(row_deleted);
  return success;
}

std::int64_t sqlstmt_c::cursor_rows() const {
  SQLLEN rows = -1;
  if (SQL_SUCCEEDED(SQLGetDiagField(SQL_HANDLE_STMT, handle_, 0, SQL_DIAG_CURSOR_ROW_COUNT, &rows, 0, nullptr)) &&
      rows >= 0) {
    return rows;
  }
  return result_rows_;
}

void sqlstmt_c::track_position(SQLSMALLINT orientation, SQLLEN offset) {
  switch (orientation) {
    case SQL_FETCH_NEXT:
      position_ = position_ < 0 ? 0 : position_ + 1;
      break;
    case SQL_FETCH_FIRST:
      position_ = 0;
      break;
    case SQL_FETCH_PRIOR: {
      const std::int64_t rows = position_ == after_last ? cursor_rows() : -1;
      position_ = position_ == after_last ? (rows > 0 ? rows - 1 : -1) : position_ - 1;
      break;
    }
    case SQL_FETCH_LAST: {
      const std::int64_t rows = cursor_rows();
      position_ = rows > 0 ? rows - 1 : -1;
      break;
    }
    case SQL_FETCH_ABSOLUTE: {
      const std::int64_t rows = offset < 0 ? cursor_rows() : -1;
      position_ = offset > 0 ? offset - 1 : (rows > 0 ? rows + offset : -1);
      break;
    }
    default:
      position_ = -1;  // relative and bookmark moves are not used here
  }
}

std::error_code sqlstmt_c::fetch() {
  if (!handle_) return error(not_ready);
  const SQLRETURN rc = SQLFetch(handle_);
  if (SQL_SUCCEEDED(rc)) {
    track_position(SQL_FETCH_NEXT, 0);
  } else if (rc == SQL_NO_DATA) {
    if (position_ >= 0) result_rows_ = position_ + 1;
    position_ = after_last;
  }
  return fetched(rc);
}

std::error_code sqlstmt_c::fetch_scroll(SQLSMALLINT orientation, SQLLEN offset) {
  if (!scrollable_) return error(not_scrollable);
  if (!handle_) return error(not_ready);
  const SQLRETURN rc = SQLFetchScroll(handle_, orientation, offset);
  if (SQL_SUCCEEDED(rc)) {
    track_position(orientation, offset);
  } else if (rc == SQL_NO_DATA) {
    const bool forward = orientation == SQL_FETCH_NEXT || orientation == SQL_FETCH_LAST ||
                         (orientation == SQL_FETCH_ABSOLUTE && offset > 0);
    if (forward && orientation == SQL_FETCH_NEXT && position_ >= 0) result_rows_ = position_ + 1;
    position_ = forward ? after_last : -1;
  }
  return fetched(rc);
}

std::error_code sqlstmt_c::fetch_first() { return scrollable_ ? fetch_scroll(SQL_FETCH_FIRST, 0) : fetch(); }
std::error_code sqlstmt_c::fetch_next() { return scrollable_ ? fetch_scroll(SQL_FETCH_NEXT, 0) : fetch(); }
std::error_code sqlstmt_c::fetch_last() {
  return scrollable_ ? fetch_scroll(SQL_FETCH_LAST, 0) : error(not_scrollable);
}
std::error_code sqlstmt_c::fetch_prior() {
  return scrollable_ ? fetch_scroll(SQL_FETCH_PRIOR, 0) : error(not_scrollable);
}
std::error_code sqlstmt_c::fetch_absolute(std::int64_t row) {
  if (!scrollable_) return error(not_scrollable);
  if (row < 0 || row >= std::numeric_limits<SQLLEN>::max()) return error(out_of_range);
  return fetch_scroll(SQL_FETCH_ABSOLUTE, static_cast<SQLLEN>(row + 1));
}

std::error_code sqlstmt_c::refresh_row() {
  if (!scrollable_ || !handle_) return error(not_ready);
  const SQLRETURN rc = SQLSetPos(handle_, 1, SQL_REFRESH, SQL_LOCK_NO_CHANGE);
  if (rc == SQL_NO_DATA) return error(no_data);
  return fetched(rc);
}

std::error_code sqlstmt_c::more_results() {
  if (!handle_) return success;
  SQLRETURN rc;
  while (SQL_SUCCEEDED(rc = SQLMoreResults(handle_))) {
  }
  return rc == SQL_NO_DATA ? success : diagnostics();
}

std::error_code sqlstmt_c::close_cursor() {
  if (!handle_ || !connection_) return error(not_ready);
  if (!SQL_SUCCEEDED(SQLFreeStmt(handle_, SQL_CLOSE))) return diagnostics();
  prepared_ = false;
  position_ = -1;
  result_rows_ = -1;
  // Bindings point into rows the caller may now free: they go with the cursor.
  return unbind();
}

std::error_code sqlstmt_c::unbind() {
  if (!handle_) return error(not_ready);
  if (!SQL_SUCCEEDED(SQLFreeStmt(handle_, SQL_UNBIND))) return diagnostics();
  column_count_ = 0;
  staged_columns_.clear();
  bound_fields_.clear();
  unreadable_.clear();
  if (!SQL_SUCCEEDED(SQLFreeStmt(handle_, SQL_RESET_PARAMS))) return diagnostics();
  parameter_count_ = 0;
  staged_parameters_.clear();
  return success;
}

std::int64_t sqlstmt_c::row_count() const {
  if (!handle_) return 0;
  SQLLEN rows = 0;
  return SQL_SUCCEEDED(SQLRowCount(handle_, &rows)) ? std::int64_t(rows) : 0;
}

std::int64_t sqlstmt_c::row_number() const {
  if (!handle_) return -1;
  SQLULEN number = 0;
  if (!SQL_SUCCEEDED(SQLGetStmtAttr(handle_, SQL_ATTR_ROW_NUMBER, &number, SQL_IS_UINTEGER, nullptr))) return -1;
  // Drivers that cannot tell (static cursors of SQLite's driver) answer "unknown":
  // the position the fetches moved to stands in.
  if (static_cast<SQLLEN>(number) == SQL_ROW_NUMBER_UNKNOWN) return position_ >= 0 ? position_ : -1;
  return number == 0 ? -1 : std::int64_t(number) - 1;
}

scoped_trans_c::scoped_trans_c(sqldb_c* connection, const void* owner, bool enabled)
    : connection_(connection), owner_(owner), enabled_(enabled) {
  if (!enabled_ || !connection_) return;
  if (connection_->begin_transaction(owner_)) {
    throw db_error(make_error<scoped_trans_c>(connection_->is_connected() ? no_transaction : connection_lost));
  }
  active_ = true;
}

scoped_trans_c::~scoped_trans_c() {
  if (active_ && connection_) connection_->end_transaction(owner_, false);
}

std::error_code scoped_trans_c::commit() {
  if (!enabled_) return success;
  if (!active_) return make_error<scoped_trans_c>(not_ready);
  const std::error_code result = connection_->end_transaction(owner_, true);
  if (!result || result.value() == rolled_back) active_ = false;
  return result;
}

}  // namespace lumdb
