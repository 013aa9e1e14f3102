// The SQL Server text of a recordset's statement: the table aliases, the LEFT
// JOIN clauses with their conditions and join filters, the lock hints, and
// the SELECT, UPDATE, INSERT, DELETE, EXISTS and row-number statements.
#include <algorithm>
#include <stdexcept>
#include <string>
#include <tuple>

#include "lumdb/query/filter_parser.h"
#include "lumdb/query/recordset.h"
#include "lumdb/record/errors.h"
#include "lumdb/record/sqldb.h"

namespace lumdb {
namespace {

[[noreturn]] void fail(errc value) { throw db_error(make_error<dbrecordset_base_c>(value)); }

std::string join_texts(const std::vector<std::string>& items, const char* separator) {
  std::string text;
  for (const std::string& item : items) {
    if (!text.empty()) text += separator;
    text += item;
  }
  return text;
}

// The order in which tables are numbered and joined: shorter paths first, so
// a table is always joined before any table reached through it.
bool plan_order(const join_key_t& a, const join_key_t& b) {
  return std::forward_as_tuple(a.path.size(), a.table_id, a.path) <
         std::forward_as_tuple(b.path.size(), b.table_id, b.path);
}

void add_non_base(std::vector<join_key_t>& keys, const join_key_t& key) {
  if (!key.path.empty()) keys.push_back(key);
}

}  // namespace

void dbrecordset_base_c::plan_joins() {
  alias_map_.clear();
  alias_map_[{{}, query_.table_id()}] = "T0";

  join_key_set_t used;
  auto take = [&](const join_key_set_t& keys) {
    for (const join_key_t& key : keys) {
      if (!key.path.empty()) used.insert(key);
    }
  };
  for (const colexpr_c& column : query_.columns()) take(column.used_join_keys());
  for (const column_assignment_t& assignment : query_.assignments()) take(assignment.first.used_join_keys());
  for (const colexpr_c& term : query_.order_by()) {
    const join_path_t* path = term.join_path();
    if (path && !path->empty()) used.insert({*path, table_of_field(term.field_id())});
  }
  auto take_filter = [&](const filter_node_t* filter) {
    if (!filter) return;
    for (const join_key_t& key : filter_join_paths(*filter)) {
      if (!key.path.empty()) used.insert(key);
    }
  };
  take_filter(query_.filter() ? query_.filter() : query_.alias_filter());
  // Columns that a join filter reaches through further joins need their
  // tables numbered as well, or they would render without an alias.
  for (const auto& [key, filter] : join_filters_) take_filter(filter.get());

  std::vector<join_key_t> planned;
  for (const join_key_t& key : used) {
    add_non_base(planned, key);
    for (std::size_t length = 1; length < key.path.size(); ++length) {
      join_key_t prefix{join_path_t(key.path.begin(), key.path.begin() + length),
                        table_of_field(key.path[length])};
      if (!used.contains(prefix)) planned.push_back(std::move(prefix));
    }
  }
  std::stable_sort(planned.begin(), planned.end(), plan_order);
  int number = 0;
  for (const join_key_t& key : planned) alias_map_[key] = "T" + std::to_string(++number);
}

std::string dbrecordset_base_c::build_sql(sql_params_t& params) {
  switch (query_.kind()) {
    case qk_select: {
      std::vector<std::string> columns;
      for (const colexpr_c& column : query_.columns()) columns.push_back(column.to_sql(connection_, &alias_map_));
      return build_select(columns, params, true);
    }
    case qk_update:
      return build_update(params);
    case qk_insert:
      return build_insert(params);
    case qk_delete:
      return build_delete(params);
    case qk_exists:
      return "SELECT CASE WHEN EXISTS (" + build_select({"*"}, params, false) + ") THEN 1 ELSE 0 END";
    default:
      fail(bad_query);
  }
}

std::string dbrecordset_base_c::table_name() const {
  if (key_set_) return sqldb_c::quote_identifier(key_set_->table_name);
  return table_ ? sqldb_c::quote_identifier(table_->name) : std::string();
}

std::string dbrecordset_base_c::lock_hint(const join_path_t* joined_path) const {
  const bool joined_table = joined_path && !joined_path->empty();
  switch (lock_) {
    case lm_read_committed:
    case lm_hold:
    case lm_exclusive:
      if (joined_table) return {};
      return lock_ == lm_read_committed ? " WITH (READCOMMITTED)"
             : lock_ == lm_hold         ? " WITH (ROWLOCK, HOLDLOCK)"
                                        : " WITH (ROWLOCK, XLOCK, HOLDLOCK)";
    case lm_read_committed_all:
      return " WITH (READCOMMITTED)";
    case lm_exclusive_all:
      return " WITH (ROWLOCK, XLOCK, HOLDLOCK)";
    default:
      return {};
  }
}

std::vector<int> dbrecordset_base_c::hop_candidates(int field_id) const {
  std::vector<int> ids;
  if (const datamodel_c* model = datamodel()) {
    ids = model->references_of_field(field_id);
    std::sort(ids.begin(), ids.end());
  }
  for (const join_record_t& join : join_records_) {
    if (std::find(join.field_ids.begin(), join.field_ids.end(), field_id) != join.field_ids.end()) {
      ids.push_back(join.id);
    }
  }
  return ids;
}

dbrecordset_base_c::hop_t dbrecordset_base_c::hop_by_id(int id) const {
  const datamodel_c* model = datamodel();
  const std::size_t references = model ? model->reference_count() : 0;
  if (id >= 1 && static_cast<std::size_t>(id) <= references) {
    if (const reference_desc_t* reference = model->reference_by_id(id)) {
      return {id, reference->referenced_table_id, reference->field_ids, reference->referenced_field_ids,
              reference->index_name};
    }
  } else if (id > 0 && static_cast<std::size_t>(id) - references - 1 < join_records_.size()) {
    const join_record_t& join = join_records_[static_cast<std::size_t>(id) - references - 1];
    return {id, join.referenced_table_id, join.field_ids, join.referenced_field_ids, join.index_name};
  }
  return {};
}

const filter_node_t* dbrecordset_base_c::join_filter(int hop_id, int joined_table_id) {
  const std::pair<int, int> key{hop_id, joined_table_id};
  if (auto cached = join_filter_cache_.find(key); cached != join_filter_cache_.end()) {
    return cached->second->op == fo_none ? nullptr : cached->second.get();
  }
  if (auto set = join_filters_.find(key); set != join_filters_.end()) return set->second.get();

  auto node = std::make_unique<filter_node_t>();
  const datamodel_c* model = datamodel();
  const table_desc_t* joined = model ? model->table_by_id(joined_table_id) : nullptr;
  const hop_t hop = hop_by_id(hop_id);
  const index_desc_t* index = nullptr;
  if (joined && !hop.index_name.empty()) {
    for (const auto& candidate : joined->indexes) {
      if (candidate->name == hop.index_name) {
        index = candidate.get();
        break;
      }
    }
  }
  if (index && index->filter_id >= 1) {
    const table_filter_t* named = joined->filter_by_id(index->filter_id);
    if (!named) fail(filter_missing);
    try {
      parse_filter(*node, *joined, named->expression);
    } catch (const std::runtime_error&) {
      fail(filter_missing);
    }
    if (node->op == fo_none) fail(filter_missing);
  }
  const filter_node_t* result = node->op == fo_none ? nullptr : node.get();
  join_filter_cache_[key] = std::move(node);
  return result;
}

std::string dbrecordset_base_c::left_joins(const alias_map_t& aliases, sql_params_t& params) {
  if (aliases.size() <= 1) return {};
  const datamodel_c* model = datamodel();
  if (!model || !connection_) fail(not_ready);

  std::vector<join_key_t> entries;
  for (const auto& [key, alias] : aliases) add_non_base(entries, key);
  std::sort(entries.begin(), entries.end(), plan_order);

  auto alias_of = [&](const join_key_t& key) -> const std::string& {
    auto it = aliases.find(key);
    if (it == aliases.end()) fail(not_ready);
    return it->second;
  };

  std::vector<std::string> clauses;
  join_key_set_t emitted;
  for (const join_key_t& entry : entries) {
    for (std::size_t hop_index = 0; hop_index < entry.path.size(); ++hop_index) {
      const int from_field = entry.path[hop_index];
      const bool last = hop_index + 1 == entry.path.size();
      join_key_t child{join_path_t(entry.path.begin(), entry.path.begin() + hop_index + 1),
                       last ? entry.table_id : table_of_field(entry.path[hop_index + 1])};
      if (emitted.contains(child)) continue;
      const join_key_t parent{join_path_t(entry.path.begin(), entry.path.begin() + hop_index),
                              table_of_field(from_field)};

      hop_t hop;
      for (int id : hop_candidates(from_field)) {
        hop = hop_by_id(id);
        if (hop.target_table_id == child.table_id) break;
        hop = {};
      }
      const table_desc_t* joined = model->table_by_id(child.table_id);
      if (hop.id == 0 || !joined || hop.field_ids.size() != hop.referenced_field_ids.size()) fail(not_ready);
      const std::string& parent_alias = alias_of(parent);
      const std::string& child_alias = alias_of(child);

      std::vector<std::string> conditions;
      for (std::size_t i = 0; i < hop.field_ids.size(); ++i) {
        const field_desc_t* from = model->field_by_id(hop.field_ids[i]);
        const field_desc_t* to = model->field_by_id(hop.referenced_field_ids[i]);
        if (!from || !to) fail(not_ready);
        conditions.push_back(parent_alias + "." + sqldb_c::quote_identifier(from->name) + " = " + child_alias + "." +
                             sqldb_c::quote_identifier(to->name));
      }
      if (const filter_node_t* filter = join_filter(hop.id, child.table_id)) {
        // The filter is written relative to the joined table: its own columns
        // take the child's alias, columns it reaches further keep the query's.
        alias_map_t filter_aliases{{{{}, child.table_id}, child_alias}};
        for (const join_key_t& key : filter_join_paths(*filter)) {
          if (key.path.empty()) continue;
          if (auto it = aliases.find(key); it != aliases.end()) filter_aliases[key] = it->second;
        }
        conditions.push_back(
            filter_to_sql(*filter, connection_, &filter_aliases, filter_params(params), !constants_in_text_));
      }
      clauses.push_back("LEFT JOIN " + sqldb_c::quote_identifier(joined->name) + " AS " + child_alias +
                        lock_hint(&child.path) + " ON " + join_texts(conditions, " AND "));
      emitted.insert(std::move(child));
    }
  }
  return join_texts(clauses, " ");
}

std::vector<std::string> dbrecordset_base_c::where_terms(const alias_map_t& aliases, sql_params_t& params) const {
  const filter_node_t* filter = query_.filter() ? query_.filter() : query_.alias_filter();
  if (!filter || filter->is_empty()) return {};
  return {filter_to_sql(*filter, connection_, &aliases, filter_params(params), !constants_in_text_)};
}

std::string dbrecordset_base_c::order_by_text() const {
  std::vector<std::string> terms;
  for (const colexpr_c& term : query_.order_by()) {
    terms.push_back(term.to_sql(connection_, &alias_map_) + (term.descending() ? " DESC" : ""));
  }
  return join_texts(terms, ", ");
}

std::string dbrecordset_base_c::build_select(const std::vector<std::string>& columns, sql_params_t& params,
                                             bool top_level) {
  // The whole 64-bit count: never cut to an int.
  const std::string top = query_.top_count() > 0 ? "TOP " + std::to_string(query_.top_count()) + " " : "";
  std::string text = "SELECT " + top + join_texts(columns, ", ") + " FROM " + table_name() + " AS T0" + lock_hint(nullptr);
  if (const std::string joins = left_joins(alias_map_, params); !joins.empty()) text += " " + joins;
  if (const std::vector<std::string> terms = where_terms(alias_map_, params); !terms.empty()) {
    text += " WHERE " + join_texts(terms, " AND ");
  }
  if (has_aggregates_) {
    std::vector<std::string> groups;
    for (const colexpr_c& column : query_.columns()) {
      if (column.kind() == ck_group_column) groups.push_back(column.to_sql(connection_, &alias_map_));
    }
    if (!groups.empty()) text += " GROUP BY " + join_texts(groups, ", ");
  }
  if (top_level) {
    if (const std::string order = order_by_text(); !order.empty()) text += " ORDER BY " + order;
    if (!key_set_ && table_ && !table_->view_definition.empty()) text += " OPTION (MAXRECURSION 0)";
  }
  return text;
}

std::vector<int> dbrecordset_base_c::timestamp_fields() const {
  if (key_set_) return key_set_->timestamp_field_ids;
  if (table_) return table_->auto_timestamp_field_ids;
  fail(not_ready);
}

std::vector<int> dbrecordset_base_c::primary_key_fields() const {
  const datamodel_c* model = datamodel();
  const table_desc_t* table = model ? model->table_by_id(query_.table_id()) : nullptr;
  return table ? table->primary_key_fields() : std::vector<int>{};
}

std::vector<std::string> dbrecordset_base_c::output_columns(int selector) const {
  const char* prefix = selector == 0 ? "INSERTED." : "DELETED.";
  std::vector<std::string> items;
  for (const colexpr_c& column : query_.columns()) items.push_back(prefix + column.to_sql(connection_, nullptr));
  return items;
}

std::vector<std::string> dbrecordset_base_c::set_list(sql_params_t& params, const alias_map_t& aliases) {
  const datamodel_c* model = datamodel();
  if (!model) fail(not_ready);
  auto column = [&](int field_id) {
    if (!model->field_by_id(field_id)) fail(field_not_found);
    return colexpr_c(field_id).to_sql(connection_, &aliases);
  };
  std::vector<std::string> items;
  const field_set_c& values = query_.value_row();
  for (int i = 0; i < values.field_count(); ++i) {
    items.push_back(column(values.field_id_at(i)) + " = ?");
    params.emplace_back(&values, i);
  }
  for (const column_assignment_t& assignment : query_.assignments()) {
    items.push_back(column(assignment.second) + " = " + assignment.first.to_sql(connection_, &aliases));
  }
  if (!connection_ || connection_->transaction_flag() == 0) {
    for (int field_id : timestamp_fields()) items.push_back(column(field_id) + " = SYSUTCDATETIME()");
  }
  return items;
}

std::string dbrecordset_base_c::build_update(sql_params_t& params) {
  const auto base = alias_map_.find({{}, query_.table_id()});
  if (base == alias_map_.end()) fail(not_ready);
  const std::vector<std::string> items = set_list(params, alias_map_);
  const std::vector<std::string> outputs = output_columns(0);
  const std::string joins = left_joins(alias_map_, params);
  std::string text = "UPDATE " + base->second + " SET " + join_texts(items, ", ");
  if (!outputs.empty()) text += " OUTPUT " + join_texts(outputs, ", ");
  text += " FROM " + table_name() + " AS " + base->second;
  if (!joins.empty()) text += " " + joins;
  if (const std::vector<std::string> terms = where_terms(alias_map_, params); !terms.empty()) {
    text += " WHERE " + join_texts(terms, " AND ");
  }
  return text;
}

std::string dbrecordset_base_c::build_insert(sql_params_t& params) {
  const datamodel_c* model = datamodel();
  // The data-model table, also while a key set stands in for it.
  const table_desc_t* table = model ? model->table_by_id(query_.table_id()) : nullptr;
  if (!table || !connection_) fail(not_ready);
  if ((query_.filter() && query_.filter()->op != fo_none) || !query_.assignments().empty()) fail(bad_query);
  std::vector<std::string> names;
  std::vector<std::string> values;
  auto name_of = [&](int field_id) {
    const field_desc_t* field = model->field_by_id(field_id);
    if (!field) fail(field_not_found);
    return sqldb_c::quote_identifier(field->name);
  };
  const field_set_c& row = query_.value_row();
  for (int i = 0; i < row.field_count(); ++i) {
    names.push_back(name_of(row.field_id_at(i)));
    values.push_back("?");
    params.emplace_back(&row, i);
  }
  for (int field_id : table->auto_timestamp_field_ids) {
    names.push_back(name_of(field_id));
    values.push_back("SYSUTCDATETIME()");
  }
  const std::vector<std::string> outputs = output_columns(0);
  std::string text = "INSERT INTO " + table_name() + " (" + join_texts(names, ", ") + ")";
  if (outputs.empty()) return text + " VALUES (" + join_texts(values, ", ") + ")";
  return text + " OUTPUT " + join_texts(outputs, ", ") + " VALUES(" + join_texts(values, ", ") + ")";
}

std::string dbrecordset_base_c::build_delete(sql_params_t& params) {
  const std::vector<std::string> outputs = output_columns(1);
  const std::string output = outputs.empty() ? std::string() : " OUTPUT " + join_texts(outputs, ", ");
  if (alias_map_.size() < 2) {
    return "WITH CTE_DEL_ AS (" + build_select({"*"}, params, false) + ") DELETE FROM CTE_DEL_" + output;
  }
  const std::vector<int> keys = primary_key_fields();
  if (keys.empty()) fail(no_reposition);
  const datamodel_c* model = datamodel();
  std::vector<std::string> columns;
  std::vector<std::string> conditions;
  for (int key : keys) {
    columns.push_back(colexpr_c(key).to_sql(connection_, &alias_map_));
    const std::string name = sqldb_c::quote_identifier(model->field_by_id(key)->name);
    conditions.push_back("D0_." + name + " = CTE_DEL_." + name);
  }
  const std::string inner = build_select(columns, params, false);
  return "WITH CTE_DEL_ AS (" + inner + ") DELETE " + table_name() + output + " FROM " + table_name() +
         " D0_ INNER JOIN CTE_DEL_ ON " + join_texts(conditions, " AND ") + ";";
}

std::string dbrecordset_base_c::build_row_number_sql(const field_set_c& position_row, sql_params_t& params) {
  const std::vector<int> keys = primary_key_fields();
  if (keys.empty()) fail(no_reposition);
  std::vector<std::string> key_columns;
  for (int key : keys) key_columns.push_back(colexpr_c(key).to_sql(connection_, &alias_map_));
  // Without an ORDER BY the rows are numbered in key order: ROW_NUMBER() needs one.
  std::string order = order_by_text();
  if (order.empty()) order = join_texts(key_columns, ", ");

  std::vector<std::string> columns{"ROW_NUMBER() OVER(ORDER BY " + order + ") AS N0_"};
  for (std::size_t k = 0; k < keys.size(); ++k) columns.push_back(key_columns[k] + " AS K" + std::to_string(k) + "_");
  const std::string inner = build_select(columns, params, false);

  std::vector<std::string> conditions;
  for (std::size_t k = 0; k < keys.size(); ++k) {
    const int index = position_row.index_of(keys[k], nullptr);
    if (index < 0) fail(not_ready);
    conditions.push_back("K" + std::to_string(k) + "_ = ?");
    params.emplace_back(&position_row, index);
  }
  std::string text = "WITH CTE_ AS (" + inner + ") SELECT N0_ FROM CTE_ WHERE " + join_texts(conditions, " AND ");
  if (!key_set_ && table_ && !table_->view_definition.empty()) text += " OPTION (MAXRECURSION 0)";
  return text;
}

}  // namespace lumdb
