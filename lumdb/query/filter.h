#pragma once
// Filter trees: the WHERE condition of a query, kept as an OR of AND chains
// of terms. Each term compares a column expression with typed constants or
// with a second expression. A filter renders itself as SQL Server text in
// which every constant is a "?" parameter.
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lumdb/query/colexpr.h"
#include "lumdb/record/field_set.h"

namespace lumdb {

// The comparison of a term; the SQL text of each is `sql_operator_text`.
enum filter_op : int {
  fo_none = 0,  // empty filter: no condition
  fo_equal = 1,
  fo_less = 2,
  fo_greater = 3,
  fo_less_equal = 4,
  fo_greater_equal = 5,
  fo_not_equal = 6,
  fo_like = 7,
  fo_in = 8,
};

// One "?" of a statement: the row and the index of the field bound to it.
using sql_param_t = std::pair<const field_set_c*, int>;
using sql_params_t = std::vector<sql_param_t>;

// A node N means (term(N) AND meaning(and_next)) OR meaning(or_alt), a
// missing successor dropping its part. A node owns both successors; their
// `parent` points back at it.
struct filter_node_t {
  // The empty filter (op 0).
  filter_node_t();
  // column IS NULL; op 0 when the model does not know the column's field.
  filter_node_t(const colexpr_c& column, std::nullptr_t);
  // column op constant, the constant given as text and parsed as the field's
  // type (a text constant sized to the text); op 0 when the field is unknown
  // or the text does not parse.
  filter_node_t(const colexpr_c& column, int op, const char* text);
  // column op constant of the column's value type; op 0 when the value is
  // refused. A flag on a number column compares with 0, as a flag reads
  // (any value but 0 is true): "= true" becomes "<> 0", "<> true" "= 0".
  filter_node_t(const colexpr_c& column, int op, bool value);
  filter_node_t(const colexpr_c& column, int op, const std::string& text);
  filter_node_t(const colexpr_c& column, int op, double value);

  // Copies are deep; the copy is a root (no parent).
  filter_node_t(const filter_node_t& other);
  filter_node_t(filter_node_t&& other) noexcept;
  // The node takes the other's term and successors; its own parent stays.
  filter_node_t& operator=(const filter_node_t& other);
  filter_node_t& operator=(filter_node_t&& other) noexcept;
  ~filter_node_t();

  // this AND other: every alternative receives its own copy of other.
  filter_node_t& add_and(const filter_node_t& other);
  filter_node_t& add_and(filter_node_t&& other);
  // this OR other, unless the tree already holds a branch equal to other.
  filter_node_t& add_or(const filter_node_t& other);
  filter_node_t& add_or(filter_node_t&& other);
  // The term and what this node holds equal other's; successors that only
  // other has are not compared.
  bool equals(const filter_node_t& other) const;
  // The empty filter: no term at all. A term whose comparison was refused is not empty.
  bool is_empty() const { return op == fo_none && left.kind() == ck_empty; }
  // A term on a column whose comparison could not be built (its constant or its
  // field refused): never written, so it can neither vanish nor stand as a bare column.
  bool is_unbuilt() const { return op == fo_none && left.kind() != ck_empty; }

  filter_node_t* parent = nullptr;  // not owned
  std::unique_ptr<filter_node_t> and_next;
  std::unique_ptr<filter_node_t> or_alt;
  int op = fo_none;
  bool negated = false;
  colexpr_c left;
  colexpr_c right;  // kind 0 when the term compares with constants
  field_set_c values;
  bool inline_values = false;  // constants written into the text, not as parameters

 private:
  void take_contents(filter_node_t& other) noexcept;
};

filter_node_t filter_and_copy(const filter_node_t& a, const filter_node_t& b);
filter_node_t filter_or_copy(const filter_node_t& a, const filter_node_t& b);
// The negation of the whole filter.
filter_node_t filter_not(const filter_node_t& filter);

// WHERE text of the filter. With a parameter list (and inline_values clear)
// constants are "?" and appended to the list in text order; otherwise they
// are written as SQL literals, text as N'...' unless `national_text` is off
// (SQLite takes no N). Throws db_error (bad_query) for a tree holding an unbuilt term.
std::string filter_to_sql(const filter_node_t& filter, const sqldb_c* connection, const alias_map_t* aliases,
                          sql_params_t* params, bool national_text = true);
// The first unbuilt term of the tree; null when every term was built.
const filter_node_t* first_unbuilt_term(const filter_node_t& filter);
// The join keys the filter's columns need, sorted, each once.
std::vector<join_key_t> filter_join_paths(const filter_node_t& filter);

// Bounds the filter nodes that copies may make on this thread while it lives;
// past the bound a copy throws std::length_error. AND over OR groups and NOT
// over AND chains multiply terms, so a short text could otherwise ask the
// parser for more nodes than memory holds, or a tree deeper than the stack.
class filter_copy_limit {
 public:
  explicit filter_copy_limit(std::size_t nodes);
  ~filter_copy_limit();
  filter_copy_limit(const filter_copy_limit&) = delete;
  filter_copy_limit& operator=(const filter_copy_limit&) = delete;

  // Counts one copied node against the innermost limit of this thread.
  static void take_one();

 private:
  std::size_t left_;
  filter_copy_limit* outer_;
};

}  // namespace lumdb
