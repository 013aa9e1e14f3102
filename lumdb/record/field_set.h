#pragma once
// The row buffer: the typed fields of one row, owned, kept in creation order
// (the order the statement layer binds them in) and found by their key, the
// field id and the join path. It reads and writes them as plain values of a
// requested type, whatever the field's SQL type.
//
// Operations on absent fields give null, -1, false or the neutral value;
// they never raise. Fields never move once added, so the addresses of
// `binding_info` stay valid until clear, assignment or destruction.
#include <sqltypes.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <boost/date_time/gregorian/gregorian_types.hpp>
#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/uuid/uuid.hpp>

#include "lumdb/record/field.h"

namespace lumdb {

class field_set_c {
 public:
  field_set_c() = default;
  // Clones every field in order; a clone is touched when this row or the
  // source field is.
  field_set_c(const field_set_c& other);
  // Clones every field in order; the clones' `touched` stay clear.
  field_set_c& operator=(const field_set_c& other);
  // Take the fields over; the other row is left empty and usable.
  field_set_c(field_set_c&& other) noexcept;
  field_set_c& operator=(field_set_c&& other) noexcept;
  ~field_set_c();

  void clear();  // removes every field; the flags stay

  // Appends a new NULL field; false for a type code that makes no field or a
  // key already present (the row is unchanged). A null path is the empty path.
  bool add_field(std::int32_t id, const field_path_t* path, int sql_type, int column_size = 0, int decimals = 0);
  // Adds a field without path whose id is one above the largest in the row
  // (1 when none is above 0); the new id, or -1 when refused.
  int add_field_auto_id(int sql_type, int column_size = 0, int decimals = 0);
  // A row of clones of the fields at `indexes`, in that order, flags off.
  // Raises std::range_error "Field index out of range" and
  // std::runtime_error "Field copy failed." (an index given twice).
  field_set_c select_fields(const std::vector<int>& indexes) const;

  // Without a path (null) the field whose path is empty; with one, the field
  // whose path equals it element by element (an element -1 never matches).
  field_c* find_field(std::int32_t id, const field_path_t* path) const;
  int index_of(std::int32_t id, const field_path_t* path) const;  // -1 when absent
  int field_count() const { return static_cast<int>(fields_.size()); }
  field_c* field_at(int index) const;  // null outside the row
  int field_id_at(int index) const;    // -1 outside the row
  // False outside the row; `path` is null for a field without path.
  bool field_key_at(int index, std::int32_t& id, const field_path_t*& path) const;
  // The value buffer of the field at `index` (null outside the row) and,
  // where the pointer is not null, its indicator's address, SQL type, buffer
  // length in bytes (0 for fixed-size types) and decimal digits.
  void* binding_info(int index, SQLLEN** indicator, SQLSMALLINT* sql_type, SQLLEN* buffer_length,
                     SQLSMALLINT* decimals) const;
  bool is_null_at(int index) const;  // true outside the row

  bool set_null(std::int32_t id, const field_path_t* path);
  bool set_null_at(int index);
  void set_all_null();

  // Text through the field's own conversion; the empty text makes a field
  // that is not text NULL. Text too long for a text field is refused, or cut
  // to the column size (never inside a character) with `truncate_text` on.
  bool set_string(std::int32_t id, const field_path_t* path, std::string_view text);
  bool set_wstring(std::int32_t id, const field_path_t* path, std::wstring_view text);
  // The field's direct parse (numbers raise boost::bad_lexical_cast when the
  // text is no number); the first form addresses the field without path.
  bool parse_string(std::int32_t id, std::string_view text);
  bool parse_string(std::int32_t id, const field_path_t* path, std::string_view text);
  bool parse_string_path(std::int32_t id, const field_path_t* path, std::string_view text) {
    return parse_string(id, path, text);
  }
  // The value as an SQL literal: "NULL", BIT "1"/"0", dates, time stamps,
  // GUIDs and text quoted with "'" (text with every "'" doubled), numbers as
  // they are; the empty text for an absent field. Text is a Unicode constant
  // N'...' (SQL Server's) unless `national` is off: SQLite's text is Unicode
  // already and it takes no N.
  std::string sql_literal(std::int32_t id, const field_path_t* path, bool national = true) const;

  // Copies the value of `source`'s field at `source_index` into this row's
  // field at `target_index`; the types (and sizes of text and binary) must
  // agree. The target is touched when `mark` and this row's `touched` are set.
  bool copy_value_at(int source_index, const field_set_c& source, int target_index, bool mark);
  // The same between the fields without path of these ids; type, size and
  // decimals must agree.
  bool copy_value_by_id(std::int32_t source_id, std::int32_t target_id, const field_set_c& source, bool mark);
  // For every id the source's field without path into this row's field
  // without path; nothing is copied when one pair is missing or differs.
  bool copy_values_from(const std::vector<std::int32_t>& ids, const field_set_c& source, bool mark);

  // The fields without path: -2 when one is missing, the types differ or
  // exactly one is NULL; 0 for two NULLs; else the fields' comparison.
  int compare_field(std::int32_t id, const field_set_c& other, std::int32_t other_id) const;
  // The fields at one index: -2 outside either row or for other types; else
  // the fields' comparison (NULL before values).
  int compare_field_at(int index, const field_set_c& other) const;
  // Both rows hold the same keys with the same types, sizes and values, in
  // any order.
  bool equals(const field_set_c& other) const;
  bool same_layout(const field_set_c& other) const { return equals(other); }

  // Getters: an absent or NULL field gives 0, 0.0, false, not-a-date,
  // not-a-date-time, the nil GUID or the empty text.
  int get_int(std::int32_t id, const field_path_t* path = nullptr) const;
  std::int64_t get_int64(std::int32_t id, const field_path_t* path = nullptr) const;
  double get_double(std::int32_t id, const field_path_t* path = nullptr) const;
  bool get_bool(std::int32_t id, const field_path_t* path = nullptr) const;
  boost::gregorian::date get_date(std::int32_t id, const field_path_t* path = nullptr) const;
  boost::posix_time::ptime get_timestamp(std::int32_t id, const field_path_t* path = nullptr) const;
  boost::uuids::uuid get_guid(std::int32_t id, const field_path_t* path = nullptr) const;
  std::wstring get_wstring(std::int32_t id, const field_path_t* path = nullptr) const;
  // The field's text form, except that a BIT gives "1" or "0".
  std::string get_string(std::int32_t id, const field_path_t* path = nullptr) const;

  // Setters: false when the field is absent or refuses the value. Building a
  // date from a day number outside 1400-01-01 … 9999-12-31, or from
  // not-a-date, raises Boost's date range error (std::out_of_range).
  bool set_int(std::int32_t id, int v) { return set_int(id, nullptr, v); }
  bool set_int(std::int32_t id, const field_path_t* path, int v);
  bool set_int64(std::int32_t id, const field_path_t* path, std::int64_t v);
  bool set_double(std::int32_t id, double x) { return set_double(id, nullptr, x); }
  bool set_double(std::int32_t id, const field_path_t* path, double x);
  bool set_bool(std::int32_t id, const field_path_t* path, bool b);
  bool set_date(std::int32_t id, const field_path_t* path, const boost::gregorian::date& date);
  bool set_timestamp(std::int32_t id, const field_path_t* path, const boost::posix_time::ptime& stamp);
  bool set_guid(std::int32_t id, const field_path_t* path, const boost::uuids::uuid& guid);
  // v ÷ 10^scale: numeric fields exactly, integer fields at scale 0 only,
  // double fields by division (scale 0 to 19).
  bool set_scaled_int64(std::int32_t id, const field_path_t* path, std::int64_t v, int scale);

  // Copied into every field a setter writes.
  bool touched = false;
  // Text too long for a text field is cut to the column size, not refused.
  bool truncate_text = false;
  // A number too large for a numeric field makes it NULL (a done store)
  // instead of being refused.
  bool null_on_overflow = false;

 private:
  bool append(std::unique_ptr<field_c> field);
  bool store_numeric(field_c& field, std::int64_t v, int scale) const;

  std::vector<std::unique_ptr<field_c>> fields_;
  std::unordered_multimap<std::int32_t, field_c*> by_id_;
};

}  // namespace lumdb
