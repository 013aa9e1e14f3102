#pragma once
// Typed field values: one nullable column value of a row, laid out so that
// the statement layer binds it directly (value pointer, length/indicator
// word, SQL type, column size, decimal digits). Fields are made by the row
// buffer (field_set_c::add_field) or by cloning, and owned by their row.
//
// Storage per type, what ODBC binds on 64-bit Linux:
//   smallint short, integer int, bigint int64, double double, bit one byte,
//   date DATE_STRUCT, timestamp TIMESTAMP_STRUCT, numeric SQL_NUMERIC_STRUCT,
//   guid SQLGUID, varchar UTF-8 bytes (column_size characters, 4 bytes each at
//   most, plus NUL), wvarchar UTF-16 SQLWCHAR units (column_size units plus
//   NUL; a surrogate pair counts as two), binary column_size bytes.
// The storage never moves once the field exists, so the addresses handed to
// the driver stay valid for the life of the field.
#include <sql.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumdb {

// The SQL type codes that make a field (ODBC's codes; date and time stamp
// keep the ODBC 2 codes 9 and 11).
enum sql_type_code : int {
  sql_bit = -7,
  sql_smallint = 5,
  sql_integer = 4,
  sql_bigint = -5,
  sql_double = 8,
  sql_numeric = 2,
  sql_date = 9,
  sql_timestamp = 11,
  sql_guid = -11,
  sql_varchar = 12,
  sql_wvarchar = -9,
  sql_binary = -2,
};

// The join path through which a column is reached; empty for a column of the
// base table. An element -1 is an unresolved step and matches nothing.
using field_path_t = std::vector<std::int32_t>;

class field_c {
 public:
  field_c(const field_c&) = delete;
  field_c& operator=(const field_c&) = delete;
  virtual ~field_c() = default;

  // A new field of the same class with its own storage and the same value;
  // its `touched` is clear.
  virtual std::unique_ptr<field_c> clone() const = 0;
  // Store a value given as text. The empty text makes every field but text
  // and binary NULL. False when the text does not convert (the field keeps
  // its value) or does not fit a text field; binary fields always refuse.
  virtual bool set_from_string(std::string_view text) = 0;
  virtual bool set_from_wstring(std::wstring_view text) = 0;
  // The value as UTF-8 text; NULL gives the empty text. Never throws for a
  // value a driver may have written (an unpaired surrogate becomes U+FFFD),
  // except that a date outside the calendar raises std::out_of_range.
  virtual std::string to_string() const = 0;
  // Store narrow text parsed directly: numbers with Boost's lexical
  // conversion (raising boost::bad_lexical_cast for text that is no number),
  // the other types with the narrow readers (false on failure).
  virtual bool parse_string(std::string_view text) = 0;
  // -1, 0 or 1, NULL before values; -2 when the other field has another SQL
  // type. Dates outside the calendar raise std::out_of_range.
  virtual int compare(const field_c& other) const = 0;

  bool is_null() const { return indicator == SQL_NULL_DATA; }
  void set_null() { indicator = SQL_NULL_DATA; }
  // The bytes of the value buffer the driver is given: column_size ×
  // element_width, plus one element for the NUL of text; 0 for fixed types.
  SQLLEN buffer_length() const;

  std::int32_t id = 0;
  void* value = nullptr;  // the storage; the address bound as the data buffer
  int sql_type = 0;
  int column_size = 0;    // characters of text, bytes of binary, precision of numeric
  std::int8_t decimals = 0;  // the scale of a numeric field, else 0
  field_path_t path;
  int element_width = 1;  // bytes per character: 4 for UTF-8, 2 for UTF-16
  int position = 0;       // index in the row
  bool touched = false;
  SQLLEN indicator = SQL_NULL_DATA;  // -1 NULL, -3 (SQL_NTS) text stored, 0 value stored, or the driver's length

 protected:
  field_c() = default;
  // The base members of `other` but `touched`, for clones.
  void copy_base_from(const field_c& other);
};

// The field class of one value type T: short, int, std::int64_t, double,
// bool, DATE_STRUCT, TIMESTAMP_STRUCT, SQL_NUMERIC_STRUCT, SQLGUID,
// std::string (varchar), std::wstring (wvarchar) or
// std::vector<unsigned char> (binary).
template <class T>
class field_spec_c;

// A new NULL field of the class for the SQL type, or null for any other
// code. Column size is kept only for numeric, text and binary fields,
// decimals only for numeric ones.
std::unique_ptr<field_c> make_field(std::int32_t id, const field_path_t* path, int sql_type, int column_size,
                                    int decimals);

// The typed value of a field whose class is known from its SQL type. Each
// reads the storage as it is (NULL or not) and fails only on a type mismatch
// (std::bad_cast).
short& smallint_value(field_c& field);
int& integer_value(field_c& field);
std::int64_t& bigint_value(field_c& field);
double& double_value(field_c& field);
bool& bit_value(field_c& field);
DATE_STRUCT& date_value(field_c& field);
TIMESTAMP_STRUCT& timestamp_value(field_c& field);
SQL_NUMERIC_STRUCT& numeric_value(field_c& field);
SQLGUID& guid_value(field_c& field);
const short& smallint_value(const field_c& field);
const int& integer_value(const field_c& field);
const std::int64_t& bigint_value(const field_c& field);
const double& double_value(const field_c& field);
const bool& bit_value(const field_c& field);
const DATE_STRUCT& date_value(const field_c& field);
const TIMESTAMP_STRUCT& timestamp_value(const field_c& field);
const SQL_NUMERIC_STRUCT& numeric_value(const field_c& field);
const SQLGUID& guid_value(const field_c& field);
// Text and binary values: the stored text up to its NUL (varchar as UTF-8,
// wvarchar as its UTF-16 units), the binary field's column_size bytes.
std::string_view varchar_value(const field_c& field);
std::u16string_view wvarchar_value(const field_c& field);
std::span<const unsigned char> binary_value(const field_c& field);
// Copies the value and indicator of `source` into `target`: both of one SQL
// type, text and binary fields also of one column size; false otherwise.
bool copy_value(field_c& target, const field_c& source);
// Stores bytes into a binary field (at most column_size; the rest zero).
// False for a longer value or another type.
bool set_binary_value(field_c& field, std::span<const unsigned char> bytes);

}  // namespace lumdb
