#include "lumdb/query/recordset.h"

#include <algorithm>
#include <string>

#include "lumdb/record/errors.h"
#include "lumdb/record/shared_constants.h"
#include "lumdb/record/sqldb.h"
#include "platform/log.h"

namespace lumdb {
namespace {

std::error_code failure(errc value) { return make_error<dbrecordset_base_c>(value); }

const field_set_c& row_of(const field_set_c& selected, const field_set_c& joined, const join_path_t* path) {
  return path && !path->empty() ? joined : selected;
}

// Every statement kind but SELECT and EXISTS may end without rows: that is no failure to log.
void log_failed_open(const std::error_code& code, const std::string& text, const sqldb_c* connection) {
  std::string line = "Recordset could not be opened: " + std::string(code.category().name()) + " " +
                     std::to_string(code.value());
  if (!text.empty()) line += ", statement: " + text;
  if (connection && code.category() != err_cat<dbrecordset_base_c>()) {
    const std::string diagnostic = connection->last_diagnostic_text();
    if (!diagnostic.empty()) line += ", driver: " + diagnostic;
  }
  WriteLog(std::move(line));
}

}  // namespace

bool data_reader_i::get_bool(int field_id, const join_path_t* path) const {
  return row_for_field(field_id, path).get_bool(field_id, path);
}

int data_reader_i::get_int(int field_id) const { return row_for_field(field_id, nullptr).get_int(field_id); }

std::int64_t data_reader_i::get_int64(int field_id) const {
  return row_for_field(field_id, nullptr).get_int64(field_id);
}

std::wstring data_reader_i::get_wstring(int field_id, const join_path_t* path) const {
  return row_for_field(field_id, path).get_wstring(field_id, path);
}

dbrecordset_base_c::dbrecordset_base_c(sqldb_c* connection, const query_c& query)
    : dbobj_c(query.parent()), connection_(connection), query_(query), statement_(connection) {
  if (const datamodel_c* model = datamodel()) table_ = model->table_by_id(query_.table_id());
}

dbrecordset_base_c::dbrecordset_base_c(dbrecordset_base_c&& other) noexcept
    : dbobj_c(other.parent()),
      connection_(other.connection_),
      query_(std::move(other.query_)),
      rebuild_(other.rebuild_),
      has_aggregates_(other.has_aggregates_),
      statement_(std::move(other.statement_)),
      selected_row_(std::move(other.selected_row_)),
      joined_row_(std::move(other.joined_row_)),
      exec_count_(other.exec_count_),
      alias_map_(std::move(other.alias_map_)),
      lock_(other.lock_),
      join_filter_cache_(std::move(other.join_filter_cache_)),
      join_filters_(std::move(other.join_filters_)),
      table_(other.table_),
      key_set_(std::move(other.key_set_)),
      join_records_(std::move(other.join_records_)),
      literal_text_(std::move(other.literal_text_)) {
  other.rebuild_ = true;
}

dbrecordset_base_c::~dbrecordset_base_c() = default;

void dbrecordset_base_c::allocate_statement() {
  if (const std::error_code failed = statement_.allocate(false)) throw db_error(failed);
}

void dbrecordset_base_c::resolve_columns() {
  const datamodel_c* model = datamodel();
  if (!model) throw db_error(failure(not_ready));
  // A failure leaves no half-resolved row behind: the next open starts over.
  try {
    for (const colexpr_c& column : query_.columns()) {
      const int id = column.field_id();
      const join_path_t* path = column.join_path();
      const value_type_t type = column.kind() == ck_count ? value_type_t{-5, 0, 0} : column.value_type(model);
      field_set_c& row = path && !path->empty() ? joined_row_ : selected_row_;
      if (!model->field_by_id(id) || !row.add_field(id, path, type.sql_type, type.size, type.decimals)) {
        throw db_error(failure(field_not_found));
      }
      if (column.kind() >= ck_sum && column.kind() <= ck_min) has_aggregates_ = true;
    }
    if (query_.kind() == qk_exists && !selected_row_.add_field(exists_field_id, nullptr, -7)) {
      throw db_error(failure(not_ready));
    }
  } catch (...) {
    selected_row_.clear();
    joined_row_.clear();
    has_aggregates_ = false;
    throw;
  }
  after_resolve_columns();
}

std::string dbrecordset_base_c::statement_text(sql_params_t& params, bool constants_in_text) {
  // Both rows empty, not only the selected one: a query of joined columns
  // alone is resolved once, like any other.
  if (selected_row_.field_count() == 0 && joined_row_.field_count() == 0) resolve_columns();
  plan_joins();
  constants_in_text_ = constants_in_text;
  try {
    std::string text = build_sql(params);
    constants_in_text_ = false;
    return text;
  } catch (...) {
    constants_in_text_ = false;
    throw;
  }
}

std::error_code dbrecordset_base_c::open() {
  std::string text;
  std::error_code result;
  try {
    if (!rebuild_) {
      if (exec_count_ != 0) statement_.more_results();
      if (!literal_text_.empty()) {
        // The constants are in the text: a value changed since goes with a new
        // text. It is prepared again even when unchanged: SQLite's driver runs a
        // stepped statement on from the row it stood on otherwise.
        sql_params_t none;
        text = statement_text(none, true);
        if (const std::error_code failed = statement_.prepare(text)) {
          log_failed_open(failed, text, connection_);
          return failed;
        }
        literal_text_ = text;
      }
    } else {
      if (statement_.has_handle()) {
        statement_.more_results();
        statement_.unbind();
        statement_.close_cursor();
      } else {
        allocate_statement();
      }
      sql_params_t params;
      // The SQLite driver hands a forward-only result over row by row only to a
      // statement without parameters (with them it reads the whole result into
      // memory when the statement runs), so its filter constants go into the text.
      // SQL Server keeps its parameters: one plan serves every value.
      const bool literals = !statement_.is_scrollable() && connection_ && !connection_->is_sql_server();
      literal_text_.clear();
      text = statement_text(params, literals);
      if (const std::error_code failed = statement_.prepare(text)) {
        log_failed_open(failed, text, connection_);
        return failed;
      }
      if (literals) literal_text_ = text;
      auto bind_all = [&](field_set_c& row) {
        for (int i = 0; i < row.field_count(); ++i) {
          if (const std::error_code failed = statement_.bind_column(row, i)) throw db_error(failed);
        }
      };
      bind_all(selected_row_);
      bind_all(joined_row_);
      for (const sql_param_t& param : params) {
        // The rows are the recordset's own (its query copy and position row); only the driver writes through them.
        if (const std::error_code failed = statement_.bind_parameter(const_cast<field_set_c&>(*param.first),
                                                                     param.second)) {
          throw db_error(failed);
        }
      }
      rebuild_ = false;
    }
    if (const std::error_code failed = statement_.execute()) {
      if (failed.value() != no_data) log_failed_open(failed, text, connection_);
      return failed;
    }
    result = after_execute();
    if (!result) ++exec_count_;
  } catch (const db_error& e) {
    log_failed_open(e.code(), text, connection_);
    return e.code();
  }
  return result;
}

std::error_code dbrecordset_base_c::after_execute() {
  const int kind = query_.kind();
  if ((kind == qk_insert || kind == qk_delete) && !key_set_ && connection_ && statement_.row_count() > 0) {
    connection_->note_table_modified(query_.table_id());
  }
  return success;
}

void dbrecordset_base_c::reset_rows() {
  selected_row_.set_all_null();
  joined_row_.set_all_null();
  rebuild_ = true;
}

void dbrecordset_base_c::close() {
  statement_.release_handle();
  rebuild_ = true;
}

const filter_node_t* dbrecordset_base_c::first_unbuilt_filter_term() const {
  const filter_node_t* found = query_.filter() ? first_unbuilt_term(*query_.filter()) : nullptr;
  for (auto join = join_filters_.begin(); !found && join != join_filters_.end(); ++join)
    found = first_unbuilt_term(*join->second);
  return found;
}

void dbrecordset_base_c::forget_statement() {
  if (statement_.has_handle()) statement_.unbind();
  selected_row_.clear();
  joined_row_.clear();
  has_aggregates_ = false;
  rebuild_ = true;
}

std::error_code dbrecordset_base_c::add_join(int target_table_id, const std::vector<int>& from_field_ids,
                                             const std::vector<int>& to_field_ids, const join_path_t* path,
                                             int* join_id) {
  const datamodel_c* model = datamodel();
  if (!model || to_field_ids.empty() || to_field_ids.size() != from_field_ids.size() ||
      !model->table_by_id(target_table_id)) {
    return failure(not_ready);
  }
  int from_table = query_.table_id();
  if (path && !path->empty()) {
    const int wanted = table_id_of_field(from_field_ids.front());
    const std::vector<int> candidates = hop_candidates(path->back());
    const bool found = std::any_of(candidates.begin(), candidates.end(),
                                   [&](int id) { return hop_by_id(id).target_table_id == wanted; });
    if (!found) return failure(not_ready);
    from_table = wanted;
  }
  auto all_of_table = [&](const std::vector<int>& ids, int table_id) {
    return std::all_of(ids.begin(), ids.end(),
                       [&](int id) { return model->field_by_id(id) && table_id_of_field(id) == table_id; });
  };
  if (!all_of_table(from_field_ids, from_table) || !all_of_table(to_field_ids, target_table_id)) {
    return failure(field_not_found);
  }
  join_record_t join;
  join.id = static_cast<int>(model->reference_count() + join_records_.size() + 1);
  join.table_id = from_table;
  join.field_ids = from_field_ids;
  join.referenced_table_id = target_table_id;
  join.referenced_field_ids = to_field_ids;
  join_records_.push_back(std::move(join));
  if (join_id) *join_id = join_records_.back().id;
  rebuild_ = true;
  return success;
}

std::error_code dbrecordset_base_c::set_join_filter(int join_id, int joined_table_id, const filter_node_t& filter) {
  const std::pair<int, int> key{join_id, joined_table_id};
  if (!filter.is_empty()) {
    join_filters_[key] = std::make_unique<filter_node_t>(filter);
  } else if (join_filters_.erase(key) == 0) {
    return failure(filter_missing);
  }
  // A cached absence of an index filter must not hide the filter set here.
  join_filter_cache_.erase(key);
  rebuild_ = true;
  return success;
}

bool dbrecordset_base_c::set_lock_mode(lock_mode mode) {
  if (statement_.has_handle() && mode != lock_) return false;
  lock_ = mode;
  return true;
}

std::error_code dbrecordset_base_c::attach_key_set(std::shared_ptr<key_set_t> key_set) {
  if (!table_ || key_set_) return failure(key_set_state);
  if (!key_set || key_set->table_id != table_->id) return failure(bad_query);
  for (const colexpr_c& column : query_.columns()) {
    for (int id : column.field_ids_of_table(table_->id)) {
      if (std::find(key_set->field_ids.begin(), key_set->field_ids.end(), id) == key_set->field_ids.end()) {
        return failure(field_not_found);
      }
    }
  }
  key_set_ = std::move(key_set);
  table_ = nullptr;
  forget_statement();
  return success;
}

std::error_code dbrecordset_base_c::detach_key_set() {
  if (table_ || !key_set_) return failure(key_set_state);
  const datamodel_c* model = datamodel();
  table_ = model ? model->table_by_id(key_set_->table_id) : nullptr;
  key_set_.reset();
  forget_statement();
  return success;
}

dbrecordset_fwd_c::dbrecordset_fwd_c(sqldb_c* connection, const query_c& query)
    : dbrecordset_base_c(connection, query) {}

std::error_code dbrecordset_fwd_c::open() {
  rows_read_ = 0;
  on_row_ = at_end_ = false;
  const std::error_code result = dbrecordset_base_c::open();
  before_first_ = !result;
  return result;
}

void dbrecordset_fwd_c::close() {
  dbrecordset_base_c::close();
  on_row_ = before_first_ = false;
}

std::error_code dbrecordset_fwd_c::fetch() {
  const std::error_code result = statement_.fetch_next();
  before_first_ = false;
  on_row_ = !result;
  if (on_row_) ++rows_read_;
  at_end_ = result.value() == no_data && result.category() == err_cat<sqlstmt_c>();
  return result;
}

std::error_code dbrecordset_fwd_c::move_first() {
  if (!before_first_) {
    if (const std::error_code failed = open()) return failed;
  }
  return fetch();
}

const field_set_c& dbrecordset_fwd_c::row_for_field(int, const join_path_t* path) const {
  return row_of(selected_row_, joined_row_, path);
}

const field_set_c& dbrecordset_scroll_c::row_for_field(int, const join_path_t* path) const {
  return row_of(selected_row_, joined_row_, path);
}

}  // namespace lumdb
