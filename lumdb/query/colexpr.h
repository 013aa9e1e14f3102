#pragma once
// Column expressions: one node of a small expression tree that renders itself
// as SQL Server text. A column, arithmetic on columns and constants,
// aggregates, date parts, casts and a few scalar functions; the query layer
// keeps selected columns, ORDER BY terms and filter operands as expressions.
#include <concepts>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "lumdb/query/datamodel.h"
#include "lumdb/record/dbobj.h"
#include "lumdb/record/field_set.h"

namespace lumdb {

class sqldb_c;

// What a node computes. The numbers are stored in queries and compared by the
// statement generator, so they never change.
enum colexpr_kind : int {
  ck_empty = 0,
  ck_column = 1,
  ck_add_column = 2,
  ck_add_constant = 3,
  ck_sub_column = 4,
  ck_sub_constant = 5,
  ck_mul_column = 6,
  ck_mul_constant = 7,
  ck_div_column = 8,
  ck_div_constant = 9,
  ck_sum = 10,
  ck_group_column = 11,
  ck_count = 12,
  ck_max = 13,
  ck_min = 14,
  ck_year = 15,
  ck_month = 16,
  ck_day = 17,
  ck_iso_week = 18,
  ck_iso_year = 19,
  ck_cast = 20,
  ck_round = 21,
  ck_isnull = 22,
  ck_substring = 23,
  ck_upper = 24,
  ck_complement = 25,
  ck_null_or_empty = 26,
  ck_case = 27,
  ck_when = 28,
  ck_else = 29,
  ck_lower_bound = 30,
  ck_avg = 31,
  ck_negate = 32,
  ck_sign = 33,
  ck_lower = 34,
  ck_as_is = 35,
  ck_try_convert = 36,
  ck_utc_to_local = 37,
  ck_round_truncate = 38,
  ck_abs = 39,
};

// The table an expression's column lives in, as the statement aliases it:
// the path from the base table and the table id (high 16 bits of the field id).
struct join_key_t {
  join_path_t path;
  int table_id = -1;
};

// Smaller table id first; equal ids by path element, a proper prefix first.
struct join_key_less {
  bool operator()(const join_key_t& a, const join_key_t& b) const;
};

using join_key_set_t = std::set<join_key_t, join_key_less>;
// Join key -> table alias ("T0", "T1", ...), filled by the statement generator.
using alias_map_t = std::map<join_key_t, std::string, join_key_less>;

// (SQL type, column size, decimal digits) of a value.
struct value_type_t {
  int sql_type = 0;
  int size = 0;
  int decimals = 0;
  bool operator==(const value_type_t&) const = default;
};

// The table part of a field id.
constexpr int table_of_field(int field_id) { return field_id >> 16; }

class colexpr_c : public dbobj_c {
 public:
  // Empty expression: no field, kind 0.
  colexpr_c();
  // A node of any kind on a field, nothing else set.
  colexpr_c(int id, int kind);
  // A column reference of the base table.
  explicit colexpr_c(int field_id);
  colexpr_c(int field_id, const join_path_t& path, int kind);
  // A typed NULL constant: the explicit type is (type, size, decimals).
  colexpr_c(int id, int kind, int type, int size, int decimals);
  // The constants below take type, length and decimals from the model's field
  // `id`; an unknown field (or no model) leaves the node empty (kind 0).
  // A scaled numeric constant: value / 10^scale.
  colexpr_c(int id, int kind, std::int64_t value, int size, int scale);
  // A text constant; a negative size takes the field's length.
  colexpr_c(int id, int kind, const std::wstring& text, int size);
  // A bool, int or double constant. A template, so that a braced path such
  // as colexpr_c(id, {hop}, kind) never reads as a constant.
  template <class T>
    requires(std::same_as<T, bool> || std::same_as<T, int> || std::same_as<T, double>)
  colexpr_c(int id, int kind, T value) : colexpr_c(constant_tag{}, id, kind, value) {}

  colexpr_c(const colexpr_c& other);
  colexpr_c(colexpr_c&& other) noexcept;
  colexpr_c& operator=(const colexpr_c& other);
  colexpr_c& operator=(colexpr_c&& other) noexcept;
  ~colexpr_c() override;

  // SQL Server text of the expression. With a connection, names are quoted
  // "[name]"; with an alias map holding the column's join key, prefixed by
  // the alias. Constants are written as SQL literals. Empty text when no data
  // model is in force.
  std::string to_sql(const sqldb_c* connection, const alias_map_t* aliases) const;
  static std::string operator_text(int kind);
  // Arithmetic result type of two operand types (ODBC codes; 0 = unknown).
  static int binary_op_type(int left_type, int right_type);

  // The node's field, else its main argument's, else its continuation's.
  int field_id() const;
  int kind() const { return kind_; }
  // Explicit type when set, else the model field's (model: given, or the one
  // in force for the node); (0, 0, 0) when neither is known.
  value_type_t value_type(const datamodel_c* model = nullptr) const;
  // The node's own path when not empty, else the first one down the main
  // arguments; null when there is none.
  const join_path_t* join_path() const;
  const join_path_t& own_path() const { return path_; }
  join_key_set_t used_join_keys() const;
  std::set<int> field_ids_of_table(int table_id) const;
  bool equals(const colexpr_c& other) const;

  bool descending() const { return descending_; }
  void set_descending(bool descending) { descending_ = descending; }
  void set_explicit_type(int type, int size, int decimals);
  const value_type_t& explicit_type() const { return explicit_; }

  field_set_c& values() { return values_; }
  const field_set_c& values() const { return values_; }
  const colexpr_c* continuation() const { return next_.get(); }
  const colexpr_c* main_argument() const { return main_.get(); }
  const colexpr_c* parenthesised() const { return operand_.get(); }
  // Each takes a copy of the expression, replacing what was there.
  void set_continuation(const colexpr_c& e);
  void set_main_argument(const colexpr_c& e);
  void set_parenthesised(const colexpr_c& e);
  // The last node of the continuation chain (this node when it has none).
  colexpr_c& chain_end();

 private:
  friend colexpr_c make_binary_expr(int kind, const colexpr_c& left, const colexpr_c& right);
  friend colexpr_c make_isnull_expr(const colexpr_c& x, const std::wstring& text);

  struct constant_tag {};
  colexpr_c(constant_tag, int id, int kind, std::variant<bool, int, double> value);
  // The model field behind a constant of `id`, or null.
  const field_desc_t* constant_field(int id) const;
  std::string column_name(const sqldb_c* connection, const alias_map_t* aliases) const;
  // The constant keyed by the node's id as an SQL literal ("NULL" when absent).
  std::string constant_literal() const;
  std::string value_literal_at(int position) const;
  std::string sub_sql(const std::unique_ptr<colexpr_c>& e, const sqldb_c* connection,
                      const alias_map_t* aliases) const;

  int field_id_ = -1;
  int kind_ = ck_empty;
  field_set_c values_;
  std::unique_ptr<colexpr_c> next_;     // continuation of a flat chain
  std::unique_ptr<colexpr_c> main_;     // argument of a function or aggregate
  std::unique_ptr<colexpr_c> operand_;  // operand written in parentheses before an operator
  join_path_t path_;
  bool descending_ = false;
  value_type_t explicit_;
};

// left op right, op by kind 2 (+), 4 (-), 6 (*) or 8 (/): right is appended
// to left's chain, so a + b * c renders flat and SQL Server's precedence
// applies. The result's explicit type is the promoted type of both.
colexpr_c make_binary_expr(int kind, const colexpr_c& left, const colexpr_c& right);
// ISNULL(x, text), the text stored as a constant of x's type.
colexpr_c make_isnull_expr(const colexpr_c& x, const std::wstring& text);

}  // namespace lumdb
