#include "lumdb/query/query.h"

#include <algorithm>

#include "lumdb/query/filter_parser.h"

namespace lumdb {
namespace {

std::unique_ptr<filter_node_t> copy_of(const filter_node_t* filter) {
  return filter ? std::make_unique<filter_node_t>(*filter) : nullptr;
}

}  // namespace

query_c::query_c(dbobj_c* parent) : dbobj_c(parent) {}

query_c::query_c(const query_c& other)
    : dbobj_c(other.parent()),
      table_id_(other.table_id_),
      kind_(other.kind_),
      columns_(other.columns_),
      order_by_(other.order_by_),
      join_paths_(other.join_paths_),
      filter_(copy_of(other.filter_.get())),
      alias_filter_(copy_of(other.alias_filter_.get())),
      values_(other.values_),
      assignments_(other.assignments_),
      top_(other.top_) {}

query_c::query_c(query_c&& other) noexcept
    : dbobj_c(other.parent()),
      table_id_(other.table_id_),
      kind_(other.kind_),
      columns_(std::move(other.columns_)),
      order_by_(std::move(other.order_by_)),
      join_paths_(std::move(other.join_paths_)),
      filter_(std::move(other.filter_)),
      alias_filter_(std::move(other.alias_filter_)),
      values_(std::move(other.values_)),
      assignments_(std::move(other.assignments_)),
      top_(other.top_) {}

query_c& query_c::operator=(const query_c& other) {
  if (this == &other) return *this;
  table_id_ = other.table_id_;
  kind_ = other.kind_;
  columns_ = other.columns_;
  order_by_ = other.order_by_;
  join_paths_ = other.join_paths_;
  filter_ = copy_of(other.filter_.get());
  alias_filter_ = copy_of(other.alias_filter_.get());
  values_ = other.values_;
  assignments_ = other.assignments_;
  top_ = other.top_;
  return *this;
}

query_c::~query_c() = default;

void query_c::setup(int kind, int table_or_alias_id, const std::vector<colexpr_c>& columns,
                    const filter_node_t* filter) {
  kind_ = kind;
  const datamodel_c* model = datamodel();
  table_id_ = model ? model->alias_table_id(table_or_alias_id) : table_or_alias_id;
  if (table_id_ != table_or_alias_id) apply_alias_filter(table_or_alias_id);
  columns_.insert(columns_.end(), columns.begin(), columns.end());
  if (!filter || filter->is_empty()) return;
  filter_ = alias_filter_ ? std::make_unique<filter_node_t>(filter_and_copy(*alias_filter_, *filter))
                          : std::make_unique<filter_node_t>(*filter);
}

void query_c::apply_alias_filter(int alias_id) {
  const datamodel_c* model = datamodel();
  const table_alias_desc_t* alias = model ? model->alias_by_id(alias_id) : nullptr;
  if (!alias || alias->filter_id <= 0) return;
  const table_desc_t* table = model->table_by_id(alias->table_id);
  const table_filter_t* named = table ? table->filter_by_id(alias->filter_id) : nullptr;
  if (!named) return;
  filter_node_t parsed;
  parse_filter(parsed, *table, named->expression);
  alias_filter_ = std::make_unique<filter_node_t>(std::move(parsed));
}

bool query_c::add_column(int field_id, const join_path_t& path) {
  const datamodel_c* model = datamodel();
  if (!model || !model->field_by_id(field_id)) return false;
  add_join_path(path);
  const bool selected = std::any_of(columns_.begin(), columns_.end(), [&](const colexpr_c& column) {
    if (column.kind() != ck_column || column.field_id() != field_id) return false;
    const join_path_t* own = column.join_path();
    return own ? same_join_path(*own, path) : path.empty();
  });
  if (!selected) columns_.emplace_back(field_id, path, ck_column);
  return true;
}

bool query_c::add_join_path(const join_path_t& path) {
  if (path.empty()) return true;
  const bool known = std::any_of(join_paths_.begin(), join_paths_.end(),
                                 [&](const join_path_t& p) { return same_join_path(p, path); });
  if (!known) join_paths_.push_back(path);
  return true;
}

void query_c::set_order_by(const colexpr_c& term) {
  order_by_.clear();
  order_by_.push_back(term);
}

void query_c::set_filter(const filter_node_t* filter) { filter_ = copy_of(filter); }

}  // namespace lumdb
