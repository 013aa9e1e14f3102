#pragma once
// A query: the definition of one statement against one table of the data
// model (what kind, which columns, how sorted, which rows, what it writes).
// A recordset keeps a copy and the statement generator renders that copy.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "lumdb/query/colexpr.h"
#include "lumdb/query/filter.h"
#include "lumdb/record/dbobj.h"
#include "lumdb/record/field_set.h"

namespace lumdb {

enum query_kind : int {
  qk_select = 0,
  qk_update = 1,
  qk_insert = 2,
  qk_delete = 3,
  qk_exists = 4,
};

// An UPDATE item that sets the target field to an expression the server computes.
using column_assignment_t = std::pair<colexpr_c, int>;

class query_c : public dbobj_c {
 public:
  explicit query_c(dbobj_c* parent = nullptr);
  // Copies are deep: filters, expressions and rows are never shared.
  query_c(const query_c& other);
  query_c(query_c&& other) noexcept;
  // Replaces everything but the parent.
  query_c& operator=(const query_c& other);
  ~query_c() override;

  // Sets the kind and the table (an alias id gives its table, and its named
  // filter becomes the alias filter), appends copies of the columns, and
  // takes the filter ANDed with the alias filter. A missing or empty filter
  // leaves the query's filter as it was. Throws the parser's
  // std::runtime_error when the alias's filter text is bad.
  void setup(int kind, int table_or_alias_id, const std::vector<colexpr_c>& columns, const filter_node_t* filter);
  void setup_select(int table_or_alias_id, const std::vector<colexpr_c>& columns, const filter_node_t* filter) {
    setup(qk_select, table_or_alias_id, columns, filter);
  }
  // Parses the named filter of the alias into the alias filter.
  void apply_alias_filter(int alias_id);
  // Adds the column (field, path) unless it is selected already; false for a
  // field the model does not know.
  bool add_column(int field_id, const join_path_t& path);
  // Registers a non-empty path once; always true.
  bool add_join_path(const join_path_t& path);
  // The ORDER BY list becomes this one term.
  void set_order_by(const colexpr_c& term);
  // Appends a term to the ORDER BY list (a joined column through its path, or descending).
  void add_order_by(const colexpr_c& term) { order_by_.push_back(term); }

  int kind() const { return kind_; }
  int table_id() const { return table_id_; }
  const std::vector<colexpr_c>& columns() const { return columns_; }
  const std::vector<colexpr_c>& order_by() const { return order_by_; }
  const std::vector<join_path_t>& join_paths() const { return join_paths_; }
  const filter_node_t* filter() const { return filter_.get(); }
  const filter_node_t* alias_filter() const { return alias_filter_.get(); }
  // Replaces the WHERE condition (null removes it).
  void set_filter(const filter_node_t* filter);
  field_set_c& value_row() { return values_; }
  const field_set_c& value_row() const { return values_; }
  std::vector<column_assignment_t>& assignments() { return assignments_; }
  const std::vector<column_assignment_t>& assignments() const { return assignments_; }
  std::int64_t top_count() const { return top_; }
  void set_top_count(std::int64_t count) { top_ = count; }

 private:
  int table_id_ = -1;
  int kind_ = qk_select;
  std::vector<colexpr_c> columns_;
  std::vector<colexpr_c> order_by_;
  std::vector<join_path_t> join_paths_;
  std::unique_ptr<filter_node_t> filter_;
  std::unique_ptr<filter_node_t> alias_filter_;
  field_set_c values_;
  std::vector<column_assignment_t> assignments_;
  std::int64_t top_ = 0;
};

}  // namespace lumdb
