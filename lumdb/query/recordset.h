#pragma once
// Recordsets: a query run against the company database through one prepared
// ODBC statement, its result columns bound to typed fields of a row buffer.
// The forward-only recordset reads its rows in order (to start over, its
// statement runs again); the scrollable one moves freely over a
// keyset-driven cursor, remembers its row number, and can take a new query
// and find the same row again by its primary key.
// Failures come back as std::error_code values of the recordset category
// (err_cat<dbrecordset_base_c>), or of the statement or connection whose
// call failed.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "lumdb/query/colexpr.h"
#include "lumdb/query/filter.h"
#include "lumdb/query/query.h"
#include "lumdb/record/dbobj.h"
#include "lumdb/record/field_set.h"
#include "lumdb/record/sqlstmt.h"
#include "lumdb/record/temptablemgr.h"

namespace lumdb {

class sqldb_c;

// Table hints of the generated statements.
enum lock_mode : int {
  lm_none = 0,
  lm_read_committed = 1,        // " WITH (READCOMMITTED)" on the base table
  lm_hold = 2,                  // " WITH (ROWLOCK, HOLDLOCK)" on the base table
  lm_exclusive = 3,             // " WITH (ROWLOCK, XLOCK, HOLDLOCK)" on the base table
  lm_read_committed_all = 4,    // mode 1 on the base table and every joined table
  lm_exclusive_all = 5,         // mode 3 on the base table and every joined table
};

using key_set_t = temptablemgr_c::key_set_t;

// An explicit join of a recordset, shaped like a data-model reference so that
// join paths name it by its from-field exactly as they name a reference.
struct join_record_t {
  int id = 0;
  int table_id = no_id;  // the table the join leaves from
  std::vector<int> field_ids;
  int referenced_table_id = no_id;
  std::vector<int> referenced_field_ids;
  std::string index_name;  // always empty: no index filter applies to an explicit join
};

// Reads the current row.
class data_reader_i {
 public:
  virtual ~data_reader_i() = default;
  // The row that holds the field: the joined row for a non-empty path, else
  // the selected row. An absent field then reads as false, 0 or empty text.
  virtual const field_set_c& row_for_field(int field_id, const join_path_t* path) const = 0;

  bool get_bool(int field_id, const join_path_t* path = nullptr) const;
  int get_int(int field_id) const;
  std::int64_t get_int64(int field_id) const;
  std::wstring get_wstring(int field_id, const join_path_t* path = nullptr) const;
};

class data_basic_fetch_i : public virtual data_reader_i {
 public:
  // The next row; no_data (114, statement category) after the last.
  virtual std::error_code fetch() = 0;
};

class data_scrollable_i : public data_basic_fetch_i {
 public:
  virtual std::error_code move_first() = 0;
  virtual std::error_code move_next() = 0;
  virtual std::error_code move_last() = 0;
  virtual std::error_code move_prior() = 0;
  virtual std::error_code move_absolute(std::int64_t row) = 0;  // 0-based
  // The 0-based number of the current row; -1 when there is none.
  virtual std::int64_t current_row() const = 0;
};

class dbrecordset_base_c : public dbobj_c {
 public:
  dbrecordset_base_c(sqldb_c* connection, const query_c& query);
  dbrecordset_base_c(dbrecordset_base_c&& other) noexcept;
  dbrecordset_base_c(const dbrecordset_base_c&) = delete;
  dbrecordset_base_c& operator=(const dbrecordset_base_c&) = delete;
  ~dbrecordset_base_c() override;

  // Builds, prepares and binds the statement when needed and executes it;
  // the cursor stands before the first row. A failure is returned (and
  // logged), the recordset stays usable.
  virtual std::error_code open();
  virtual std::error_code attach_key_set(std::shared_ptr<key_set_t> key_set);
  virtual std::error_code detach_key_set();
  // Every field NULL; the statement is built again by the next open.
  virtual void reset_rows();
  // Frees the statement with its result, so it holds no lock, cursor or
  // unread rows on the server; the next open allocates, prepares and runs it again.
  virtual void close();
  // The first term of the query's filter or of a join filter whose comparison
  // could not be built; null when there is none.
  const filter_node_t* first_unbuilt_filter_term() const;
  // The OUTPUT items of an UPDATE (selector 0, "INSERTED.") or DELETE ("DELETED.").
  virtual std::vector<std::string> output_columns(int selector) const;

  // A join from the query's table, or from the table that `path` reaches, to
  // `target_table_id`; its id continues the data model's reference numbering.
  std::error_code add_join(int target_table_id, const std::vector<int>& from_field_ids,
                           const std::vector<int>& to_field_ids, const join_path_t* path, int* join_id);
  // A filter on the table a join or reference reaches; the empty filter removes it.
  std::error_code set_join_filter(int join_id, int joined_table_id, const filter_node_t& filter);
  // False (and no change) once the statement exists with another mode.
  bool set_lock_mode(lock_mode mode);

  // What open prepares: the columns resolved when they are not yet, the
  // tables numbered, the text built with its parameters in "?" order, or with
  // the filters' constants written in as SQLite takes literals (`constants_in_text`).
  // Throws db_error.
  std::string statement_text(sql_params_t& params, bool constants_in_text = false);
  // The statement text of the query and its parameters in "?" order; throws db_error.
  std::string build_sql(sql_params_t& params);
  // Numbers the tables the query reaches: "T0" for its own, "T1", "T2", ... for the joined ones.
  void plan_joins();

  const query_c& query() const { return query_; }
  const alias_map_t& aliases() const { return alias_map_; }
  // The statement as it read the current row: its values that did not read as
  // their column's type, the column a failed fetch names.
  const sqlstmt_c& statement() const { return statement_; }
  const field_set_c& selected_row() const { return selected_row_; }
  const field_set_c& joined_row() const { return joined_row_; }
  std::int64_t exec_count() const { return exec_count_; }
  lock_mode lock() const { return lock_; }
  sqldb_c* connection() const { return connection_; }
  const std::vector<join_record_t>& join_records() const { return join_records_; }

 protected:
  virtual void allocate_statement();
  virtual void after_resolve_columns() {}
  virtual std::error_code after_execute();

  // Statement pieces (all throw db_error).
  std::string build_select(const std::vector<std::string>& columns, sql_params_t& params, bool top_level);
  std::string build_update(sql_params_t& params);
  std::string build_insert(sql_params_t& params);
  std::string build_delete(sql_params_t& params);
  // The row-number query of a remembered key (the key fields in `position_row`).
  std::string build_row_number_sql(const field_set_c& position_row, sql_params_t& params);
  std::string left_joins(const alias_map_t& aliases, sql_params_t& params);
  std::vector<std::string> where_terms(const alias_map_t& aliases, sql_params_t& params) const;
  std::string order_by_text() const;
  std::vector<std::string> set_list(sql_params_t& params, const alias_map_t& aliases);
  std::string lock_hint(const join_path_t* joined_path) const;
  std::string table_name() const;
  std::vector<int> hop_candidates(int field_id) const;
  const filter_node_t* join_filter(int hop_id, int joined_table_id);
  std::vector<int> timestamp_fields() const;
  // The query table's primary-key fields; empty without a table or key.
  std::vector<int> primary_key_fields() const;

  void resolve_columns();
  // Statement gone, rows empty: the next open resolves and builds again.
  void forget_statement();
  // Where the filters' constants go: the list of "?" parameters, or null while
  // they are written into the text (for SQLite's driver: text without N).
  sql_params_t* filter_params(sql_params_t& params) const { return constants_in_text_ ? nullptr : &params; }

  sqldb_c* connection_;
  query_c query_;
  bool rebuild_ = true;
  bool has_aggregates_ = false;
  sqlstmt_c statement_;
  field_set_c selected_row_;
  field_set_c joined_row_;
  std::int64_t exec_count_ = 0;
  alias_map_t alias_map_;
  lock_mode lock_ = lm_none;
  std::map<std::pair<int, int>, std::unique_ptr<filter_node_t>> join_filter_cache_;
  std::map<std::pair<int, int>, std::unique_ptr<filter_node_t>> join_filters_;
  const table_desc_t* table_ = nullptr;
  std::shared_ptr<key_set_t> key_set_;
  std::vector<join_record_t> join_records_;
  bool constants_in_text_ = false;  // set only while statement_text builds with literals
  std::string literal_text_;        // the prepared text when its constants are written in, else empty

 private:
  // One hop of a join path: a data-model reference or an explicit join.
  struct hop_t {
    int id = 0;
    int target_table_id = no_id;
    std::vector<int> field_ids;
    std::vector<int> referenced_field_ids;
    std::string index_name;
  };
  // The reference or join with that id; a hop with no target when there is none.
  hop_t hop_by_id(int id) const;
};

class dbrecordset_fwd_c : public data_basic_fetch_i, public dbrecordset_base_c {
 public:
  dbrecordset_fwd_c(sqldb_c* connection, const query_c& query);
  dbrecordset_fwd_c(dbrecordset_fwd_c&& other) noexcept = default;

  std::error_code open() override;
  // Stands on no row; rows_read() and at_end() keep what the last run found.
  void close() override;
  std::error_code fetch() override;
  // The first row: the statement runs again unless it stands before its first row.
  std::error_code move_first();
  const field_set_c& row_for_field(int field_id, const join_path_t* path) const override;

  // The rows fetched since the statement ran.
  std::int64_t rows_read() const { return rows_read_; }
  // The 0-based number of the current row; -1 before the first row and once a fetch found none.
  std::int64_t current_row() const { return on_row_ ? rows_read_ - 1 : -1; }
  // A fetch found no further row (no_data): rows_read() is the count of the result.
  bool at_end() const { return at_end_; }

 private:
  std::int64_t rows_read_ = 0;
  bool on_row_ = false;
  bool before_first_ = false;
  bool at_end_ = false;
};

class dbrecordset_scroll_c : public data_scrollable_i, public dbrecordset_base_c {
 public:
  dbrecordset_scroll_c(sqldb_c* connection, const query_c& query);

  std::error_code fetch() override;
  std::error_code move_first() override;
  std::error_code move_next() override;
  std::error_code move_last() override;
  std::error_code move_prior() override;
  std::error_code move_absolute(std::int64_t row) override;
  std::int64_t current_row() const override { return position_; }
  const field_set_c& row_for_field(int field_id, const join_path_t* path) const override;

  // Takes a new query; with `keep_position` the next open finds the current
  // row again by its primary key. Nothing runs until that open.
  virtual std::error_code requery(const query_c& query, bool keep_position);
  // Reads the current row again from the server (129 when it was deleted).
  virtual std::error_code refresh();
  // Whether a move may stop on a row deleted under the cursor: never here.
  virtual bool accept_deleted_row(bool forward) { return false; }

  // Runs inside a transaction of its own; throws db_error when it cannot begin.
  std::error_code open() override;
  void close() override;
  std::error_code attach_key_set(std::shared_ptr<key_set_t> key_set) override;
  std::error_code detach_key_set() override;

 protected:
  enum class move_t { first, next, last, prior, absolute };
  // One move of the statement's cursor and its row number; a test replaces
  // them to reach what only a server's keyset cursor shows (deleted rows).
  virtual std::error_code statement_move(move_t move, std::int64_t row);
  virtual std::int64_t statement_row_number() const;
  void allocate_statement() override;

 private:
  // `accept_argument`: what accept_deleted_row is asked with for this move.
  std::error_code move(move_t how, std::int64_t row, bool accept_argument);
  std::error_code reposition();
  std::error_code run_row_number_query();
  std::error_code search_key(std::int64_t from);
  bool row_matches_key() const;

  std::int64_t position_ = -1;
  bool reposition_pending_ = false;
  bool position_stale_ = false;
  sqlstmt_c position_statement_;
  field_set_c position_row_;
};

// True when a row of the table matches the filter (any row for the empty
// filter). Throws db_error on failure. `lock`: the rows tested are locked
// exclusively until the transaction ends.
bool exists(sqldb_c* connection, int table_id, const filter_node_t& filter, bool lock);
bool exists_with_lock(sqldb_c* connection, int table_id, const filter_node_t& filter, lock_mode mode);

}  // namespace lumdb
