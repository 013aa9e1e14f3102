// The scrollable recordset (moves over a keyset-driven cursor, finding a
// remembered row again after a new query) and the existence test.
#include <algorithm>

#include "lumdb/query/recordset.h"
#include "lumdb/record/errors.h"
#include "lumdb/record/shared_constants.h"
#include "lumdb/record/sqldb.h"

namespace lumdb {
namespace {

std::error_code failure(errc value) { return make_error<dbrecordset_base_c>(value); }

bool is_statement_error(const std::error_code& code, errc value) {
  return code.value() == value && code.category() == err_cat<sqlstmt_c>();
}

// How far the key search looks on either side of the row the row-number query named.
constexpr int key_search_passes = 10;

}  // namespace

dbrecordset_scroll_c::dbrecordset_scroll_c(sqldb_c* connection, const query_c& query)
    : dbrecordset_base_c(connection, query), position_statement_(connection) {}

void dbrecordset_scroll_c::allocate_statement() {
  if (const std::error_code failed = statement_.allocate(true)) throw db_error(failed);
}

std::error_code dbrecordset_scroll_c::statement_move(move_t how, std::int64_t row) {
  switch (how) {
    case move_t::first:
      return statement_.fetch_first();
    case move_t::next:
      return statement_.fetch_next();
    case move_t::last:
      return statement_.fetch_last();
    case move_t::prior:
      return statement_.fetch_prior();
    case move_t::absolute:
      return statement_.fetch_absolute(row);
  }
  return failure(not_ready);
}

std::int64_t dbrecordset_scroll_c::statement_row_number() const { return statement_.row_number(); }

std::error_code dbrecordset_scroll_c::move(move_t how, std::int64_t row, bool accept_argument) {
  std::error_code result = statement_move(how, row);
  // Rows deleted under the cursor are stepped over in the direction of the move.
  const move_t onward = how == move_t::first ? move_t::next : how == move_t::last ? move_t::prior : how;
  bool stepped_over = false;
  while (how != move_t::absolute && is_statement_error(result, row_deleted)) {
    if (accept_deleted_row(accept_argument)) {
      result = success;
      stepped_over = true;
      break;
    }
    result = statement_move(onward, 0);
    stepped_over = true;
  }
  const std::int64_t reported = statement_row_number();
  // After stepping over deleted rows, or after the last row, only the
  // statement knows where its cursor stands. Otherwise the number follows
  // from the move: some drivers (SQLite's) answer a wrong row number after an
  // absolute move that is the first of a result.
  if (result || stepped_over || how == move_t::last) {
    position_ = reported;
    return result;
  }
  switch (how) {
    case move_t::first: position_ = 0; break;
    case move_t::next: position_ += 1; break;
    case move_t::prior: position_ -= 1; break;
    case move_t::absolute: position_ = row; break;
    case move_t::last: break;
  }
  return success;
}

std::error_code dbrecordset_scroll_c::fetch() { return move(move_t::next, 0, true); }
std::error_code dbrecordset_scroll_c::move_first() { return move(move_t::first, 0, false); }
std::error_code dbrecordset_scroll_c::move_next() { return move(move_t::next, 0, true); }
std::error_code dbrecordset_scroll_c::move_last() { return move(move_t::last, 0, true); }
std::error_code dbrecordset_scroll_c::move_prior() { return move(move_t::prior, 0, false); }
std::error_code dbrecordset_scroll_c::move_absolute(std::int64_t row) { return move(move_t::absolute, row, false); }

std::error_code dbrecordset_scroll_c::refresh() {
  if (position_ < 0 || !statement_.has_handle()) return failure(no_data);
  return statement_.refresh_row();
}

std::error_code dbrecordset_scroll_c::open() {
  scoped_trans_c transaction(connection_, this, true);
  // A new result: no row is current until a move says which.
  position_ = -1;
  if (rebuild_) position_stale_ = true;
  if (const std::error_code failed = dbrecordset_base_c::open()) return failed;
  if (!reposition_pending_) return transaction.commit();

  const std::error_code result = reposition();
  if (result == failure(no_reposition)) return result;
  reposition_pending_ = false;
  if (!result || result == failure(row_not_found_again)) {
    const std::error_code committed = transaction.commit();
    return result ? result : committed;
  }
  return result;
}

void dbrecordset_scroll_c::close() {
  dbrecordset_base_c::close();
  position_statement_.release_handle();
  position_ = -1;
}

std::error_code dbrecordset_scroll_c::reposition() {
  const std::vector<int> keys = primary_key_fields();
  if (keys.empty() || has_aggregates_) return failure(no_reposition);
  const std::error_code found = run_row_number_query();
  const int number_index = position_row_.index_of(row_number_field_id, nullptr);
  if (is_statement_error(found, no_data) || (!found && position_row_.is_null_at(number_index))) {
    selected_row_.set_all_null();
    joined_row_.set_all_null();
    position_ = -1;
    return failure(row_not_found_again);
  }
  if (found) return found;
  return search_key(position_row_.get_int64(row_number_field_id) - 1);
}

std::error_code dbrecordset_scroll_c::run_row_number_query() {
  if (!position_statement_.has_handle() || position_stale_) {
    if (position_statement_.has_handle()) {
      position_statement_.close_cursor();
    } else if (const std::error_code failed = position_statement_.allocate(false)) {
      return failed;
    }
    std::string text;
    sql_params_t params;
    try {
      text = build_row_number_sql(position_row_, params);
    } catch (const db_error& e) {
      return e.code();
    }
    if (const std::error_code failed = position_statement_.prepare(text)) return failed;
    std::error_code bound;
    for (const sql_param_t& param : params) {
      // Parameters of the query copy and of the position row: both are the recordset's own.
      bound = position_statement_.bind_parameter(const_cast<field_set_c&>(*param.first), param.second);
      if (bound) break;
    }
    if (!bound) bound = position_statement_.bind_column(position_row_, position_row_.index_of(row_number_field_id, nullptr));
    if (bound) {
      position_statement_.unbind();
      return bound;
    }
  }
  std::error_code result = position_statement_.execute();
  if (!result) {
    position_stale_ = false;
    result = position_statement_.fetch();
  }
  position_statement_.more_results();
  return result;
}

bool dbrecordset_scroll_c::row_matches_key() const {
  for (int key : primary_key_fields()) {
    if (selected_row_.compare_field(key, position_row_, key) != 0) return false;
  }
  return true;
}

std::error_code dbrecordset_scroll_c::search_key(std::int64_t from) {
  if (!move_absolute(from) && row_matches_key()) return success;
  std::int64_t up = from;
  std::int64_t down = from;
  bool up_ended = false;
  for (int pass = 0; pass < key_search_passes && !up_ended; ++pass) {
    const std::error_code moved = move_absolute(++up);
    if (!moved) {
      if (row_matches_key()) return success;
    } else if (!is_statement_error(moved, row_deleted)) {
      up_ended = true;
    }
    if (down > 0 && !move_absolute(--down) && row_matches_key()) return success;
  }
  selected_row_.set_all_null();
  joined_row_.set_all_null();
  position_ = -1;
  return failure(row_not_found_again);
}

std::error_code dbrecordset_scroll_c::requery(const query_c& query, bool keep_position) {
  if (exec_count_ == 0) {
    rebuild_ = true;
    reposition_pending_ = false;
    query_ = query;
    return success;
  }
  const bool has_columns = selected_row_.field_count() > 0;
  if (keep_position && !reposition_pending_ && has_columns) {
    if (query.table_id() != query_.table_id()) return failure(no_reposition);
    const datamodel_c* model = datamodel();
    if (!model || !model->table_by_id(query_.table_id())) return failure(not_ready);
    const std::vector<int> keys = primary_key_fields();
    auto selects = [](const query_c& q, int key) {
      return std::any_of(q.columns().begin(), q.columns().end(), [&](const colexpr_c& c) {
        return c.kind() == ck_column && c.field_id() == key && c.own_path().empty();
      });
    };
    for (int key : keys) {
      if (!selects(query_, key) || !selects(query, key)) return failure(no_reposition);
    }
    if (keys.empty()) return failure(no_reposition);
    if (position_row_.field_count() > 0) {
      if (!position_row_.copy_values_from(keys, selected_row_, false)) return failure(not_ready);
    } else {
      std::vector<int> indexes;
      for (int key : keys) indexes.push_back(selected_row_.index_of(key, nullptr));
      if (std::find(indexes.begin(), indexes.end(), -1) != indexes.end()) return failure(not_ready);
      field_set_c row = selected_row_.select_fields(indexes);
      if (!row.add_field(row_number_field_id, nullptr, -5)) return failure(not_ready);
      position_row_ = std::move(row);
    }
  }
  if (!has_columns) keep_position = false;
  if (statement_.has_handle()) statement_.unbind();
  rebuild_ = true;
  selected_row_.clear();
  joined_row_.clear();
  has_aggregates_ = false;
  query_ = query;
  reposition_pending_ = keep_position;
  join_filter_cache_.clear();
  return success;
}

std::error_code dbrecordset_scroll_c::attach_key_set(std::shared_ptr<key_set_t> key_set) {
  const std::error_code result = dbrecordset_base_c::attach_key_set(std::move(key_set));
  if (!result) position_stale_ = true;
  return result;
}

std::error_code dbrecordset_scroll_c::detach_key_set() {
  const std::error_code result = dbrecordset_base_c::detach_key_set();
  if (!result) position_stale_ = true;
  return result;
}

bool exists_with_lock(sqldb_c* connection, int table_id, const filter_node_t& filter, lock_mode mode) {
  query_c query(connection);
  query.setup(qk_exists, table_id, {}, filter.is_empty() ? nullptr : &filter);
  dbrecordset_fwd_c recordset(connection, query);
  recordset.set_lock_mode(mode);
  if (const std::error_code failed = recordset.open()) throw db_error(failed);
  if (const std::error_code failed = recordset.fetch()) throw db_error(failed);
  return recordset.get_bool(exists_field_id);
}

bool exists(sqldb_c* connection, int table_id, const filter_node_t& filter, bool lock) {
  return exists_with_lock(connection, table_id, filter, lock ? lm_exclusive : lm_none);
}

}  // namespace lumdb
