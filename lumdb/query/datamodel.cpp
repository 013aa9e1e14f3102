#include "lumdb/query/datamodel.h"

#include <algorithm>
#include <set>

#include <boost/multi_index/hashed_index.hpp>

#include "platform/text.h"

namespace lumdb {

namespace bmi = boost::multi_index;

bool same_join_path(const join_path_t& a, const join_path_t& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] == no_id || a[i] != b[i]) return false;
  }
  return true;
}

std::size_t id_hash_t::operator()(int id) const noexcept {
  std::uint32_t hash = 0x811C9DC5u;
  auto bits = static_cast<std::uint32_t>(id);
  for (int i = 0; i < 4; ++i) {
    hash ^= bits & 0xFFu;
    hash *= 0x01000193u;
    bits >>= 8;
  }
  return hash;
}

// ---- fields ----

bool field_desc_t::is_text() const { return sql_type == 12 || sql_type == -1 || sql_type == -9 || sql_type == -10; }

std::vector<std::pair<std::string, std::string>> field_desc_t::values(const condition_evaluator_i* evaluator) const {
  std::vector<std::pair<std::string, std::string>> result;
  for (const auto& entry : value_entries) {
    if (!evaluator || evaluator->applies(entry.cond)) result.emplace_back(entry.value, entry.base_value);
  }
  std::sort(result.begin(), result.end(), [](const auto& a, const auto& b) {
    if (a.second != b.second) return a.second < b.second;
    return a.first < b.first;
  });
  return result;
}

// ---- tables ----

table_desc_t::table_desc_t(int table_id, std::string table_name) : id(table_id), name(std::move(table_name)) {}

const field_desc_t* table_desc_t::field_by_id(int field_id) const {
  if (!model) return nullptr;
  const field_desc_t* field = model->field_by_id(field_id);
  return field && field->table == this ? field : nullptr;
}

int table_desc_t::field_id_by_name(std::string_view field_name) const {
  std::lock_guard lock(field_names_mutex_);
  if (field_names_.size() != field_count()) {
    field_names_.clear();
    for (const auto* list : {&stored_fields, &calculated_fields}) {
      for (const auto& field : *list) field_names_[platform::ToUpper(field->name)] = field->id;
    }
  }
  const auto found = field_names_.find(platform::ToUpper(field_name));
  return found == field_names_.end() ? no_id : found->second;
}

std::vector<const field_desc_t*> table_desc_t::fields(int alias_id) const {
  std::vector<const field_desc_t*> result;
  if (alias_id == no_id || alias_id == id) {
    result.reserve(field_count());
    for (const auto& field : stored_fields) result.push_back(field.get());
    for (const auto& field : calculated_fields) result.push_back(field.get());
    return result;
  }
  const table_alias_desc_t* alias = model ? model->alias_by_id(alias_id) : nullptr;
  if (!alias || alias->table_id != id) return result;

  // The alias's entries and the table's other fields each take ranks 0, 1,
  // 2, ...; a stable sort by rank interleaves the two sequences, alias entry
  // first among equal ranks.
  std::vector<std::pair<int, int>> ranked;  // (rank, field id)
  int rank = 0;
  for (const auto& entry : alias->field_aliases) ranked.emplace_back(rank++, entry.field_id);
  const auto& by_field = alias->field_aliases.get<1>();
  rank = 0;
  for (const auto* list : {&stored_fields, &calculated_fields}) {
    for (const auto& field : *list) {
      if (by_field.find(field->id) == by_field.end()) ranked.emplace_back(rank++, field->id);
    }
  }
  std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  result.reserve(ranked.size());
  for (const auto& [unused, field_id] : ranked) result.push_back(field_by_id(field_id));
  return result;
}

std::vector<int> table_desc_t::primary_key_fields() const {
  std::vector<int> result;
  for (const auto& index : indexes) {
    if (!index->primary_key) continue;
    for (const auto& field : index->fields) result.push_back(field.field_id);
    break;
  }
  return result;
}

const table_filter_t* table_desc_t::filter_by_id(int filter_id) const {
  const auto found = filters.find(filter_id);
  return found == filters.end() ? nullptr : &found->second;
}

// ---- the model ----

namespace {

struct reference_row_t {
  int field_id;
  int referenced_field_id;
  int reference_id;
};

struct by_id {};
struct by_table {};
struct by_target {};

using reference_set_t = bmi::multi_index_container<
    reference_desc_t,
    bmi::indexed_by<
        bmi::hashed_unique<bmi::tag<by_id>, bmi::member<reference_desc_t, int, &reference_desc_t::id>, id_hash_t>,
        bmi::hashed_non_unique<bmi::tag<by_table>, bmi::member<reference_desc_t, int, &reference_desc_t::table_id>,
                               id_hash_t>,
        bmi::hashed_non_unique<bmi::tag<by_target>,
                               bmi::member<reference_desc_t, int, &reference_desc_t::referenced_table_id>,
                               id_hash_t>>>;

using reference_row_set_t = bmi::multi_index_container<
    reference_row_t,
    bmi::indexed_by<bmi::hashed_non_unique<bmi::member<reference_row_t, int, &reference_row_t::field_id>, id_hash_t>>>;

template <typename Map>
void prepare_id_map(Map& map) {
  map.max_load_factor(1.0f);
  map.rehash(8);
}

}  // namespace

struct datamodel_c::reference_sets_t {
  reference_set_t references;
  reference_row_set_t rows;
};

datamodel_c::datamodel_c() : references_(std::make_unique<reference_sets_t>()) {
  prepare_id_map(fields_);
  prepare_id_map(tables_);
  prepare_id_map(aliases_);
}

datamodel_c::~datamodel_c() {
  // The tables go first; fields held elsewhere outlive them.
  tables_.clear();
}

datamodel_c::datamodel_c(datamodel_c&& other) noexcept : datamodel_c() { *this = std::move(other); }

datamodel_c& datamodel_c::operator=(datamodel_c&& other) noexcept {
  if (this == &other) return *this;
  std::scoped_lock lock(table_names_mutex_, other.table_names_mutex_);
  tables_.clear();
  fields_ = std::move(other.fields_);
  tables_ = std::move(other.tables_);
  aliases_ = std::move(other.aliases_);
  references_.swap(other.references_);
  table_names_.clear();
  other.clear_unlocked();
  adopt_tables();
  return *this;
}

void datamodel_c::adopt_tables() {
  for (auto& [id, table] : tables_) table->model = this;
}

void datamodel_c::clear_unlocked() {
  tables_.clear();
  fields_.clear();
  aliases_.clear();
  table_names_.clear();
  if (references_) {
    references_->references.clear();
    references_->rows.clear();
  } else {
    references_ = std::make_unique<reference_sets_t>();
  }
}

void datamodel_c::clear() {
  std::lock_guard lock(table_names_mutex_);
  clear_unlocked();
}

const table_desc_t* datamodel_c::table_by_id(int id) const {
  const auto found = tables_.find(id);
  return found == tables_.end() ? nullptr : found->second.get();
}

table_desc_t* datamodel_c::mutable_table(int id) {
  const auto found = tables_.find(id);
  return found == tables_.end() ? nullptr : found->second.get();
}

std::vector<int> datamodel_c::table_ids() const {
  std::vector<int> ids;
  ids.reserve(tables_.size());
  for (const auto& [id, table] : tables_) ids.push_back(id);
  std::sort(ids.begin(), ids.end());
  return ids;
}

int datamodel_c::table_id_by_name(std::string_view name) const {
  std::lock_guard lock(table_names_mutex_);
  if (table_names_.size() != tables_.size()) {
    table_names_.clear();
    for (const auto& [id, table] : tables_) table_names_[platform::ToUpper(table->name)] = id;
  }
  const auto found = table_names_.find(platform::ToUpper(name));
  return found == table_names_.end() ? no_id : found->second;
}

const field_desc_t* datamodel_c::field_by_id(int id) const {
  const auto found = fields_.find(id);
  return found == fields_.end() ? nullptr : found->second.get();
}

bool datamodel_c::add_table(std::unique_ptr<table_desc_t>& table) {
  if (!table || tables_.count(table->id)) return false;
  const std::string upper = platform::ToUpper(table->name);
  if (table_id_by_name(table->name) != no_id) return false;

  std::set<int> groups;
  for (const auto* list : {&table->stored_fields, &table->calculated_fields}) {
    for (const auto& field : *list) {
      groups.insert(field->conflict_group);
      if (fields_.count(field->id)) return false;
    }
  }
  table->conflict_group_count = static_cast<int>(groups.size());
  for (const auto* list : {&table->stored_fields, &table->calculated_fields}) {
    for (const auto& field : *list) fields_.emplace(field->id, field);
  }
  table->model = this;
  const int id = table->id;
  tables_.emplace(id, std::move(table));
  std::lock_guard lock(table_names_mutex_);
  // The map was complete before this table (table_id_by_name above made it so).
  if (table_names_.size() + 1 == tables_.size()) table_names_.emplace(upper, id);
  return true;
}

bool datamodel_c::add_reference(bool soft, int table_id, int target_table_id, const std::vector<int>& field_ids,
                                const index_desc_t* target_index, int delete_action, int update_action) {
  reference_desc_t reference;
  reference.id = static_cast<int>(references_->references.size()) + 1;
  const table_desc_t* table = table_by_id(table_id);
  const table_desc_t* target = table_by_id(target_table_id);
  if (!table || !target || !target_index) return false;
  if (!target_index->primary_key && !target_index->unique) return false;
  if (field_ids.empty() || field_ids.size() != target_index->fields.size()) return false;
  const bool index_of_target = std::any_of(target->indexes.begin(), target->indexes.end(),
                                           [&](const auto& index) { return index.get() == target_index; });
  if (!index_of_target) return false;
  for (std::size_t i = 0; i < field_ids.size(); ++i) {
    const field_desc_t* from = field_by_id(field_ids[i]);
    const field_desc_t* to = field_by_id(target_index->fields[i].field_id);
    if (!from || !to || from->table != table) return false;
    references_->rows.insert({from->id, to->id, reference.id});
    reference.field_ids.push_back(from->id);
    reference.referenced_field_ids.push_back(to->id);
  }
  reference.table_id = table_id;
  reference.referenced_table_id = target_table_id;
  reference.index_name = target_index->name;
  reference.soft = soft;
  reference.update_action = update_action;
  reference.delete_action = delete_action;
  references_->references.insert(std::move(reference));
  return true;
}

const reference_desc_t* datamodel_c::reference_by_id(int id) const {
  const auto& index = references_->references.get<by_id>();
  const auto found = index.find(id);
  return found == index.end() ? nullptr : &*found;
}

std::size_t datamodel_c::reference_count() const { return references_->references.size(); }

std::vector<const reference_desc_t*> datamodel_c::references_of_table(int table_id) const {
  std::vector<const reference_desc_t*> result;
  const auto [first, last] = references_->references.get<by_table>().equal_range(table_id);
  for (auto it = first; it != last; ++it) result.push_back(&*it);
  return result;
}

std::vector<int> datamodel_c::references_of_field(int field_id) const {
  std::vector<int> result;
  if (field_id == no_id) return result;
  const auto [first, last] = references_->rows.equal_range(field_id);
  for (auto it = first; it != last; ++it) result.push_back(it->reference_id);
  return result;
}

const table_alias_desc_t* datamodel_c::alias_by_id(int id) const {
  const auto found = aliases_.find(id);
  return found == aliases_.end() ? nullptr : &found->second;
}

int datamodel_c::alias_table_id(int id) const {
  const table_alias_desc_t* alias = alias_by_id(id);
  return alias ? alias->table_id : id;
}

bool datamodel_c::add_alias(const table_alias_desc_t& alias) {
  if (alias.id <= 0 || tables_.count(alias.id) || aliases_.count(alias.id)) return false;
  aliases_.emplace(alias.id, alias);
  return true;
}

join_path_t datamodel_c::resolve_join_path(int table_id, std::string_view text) const {
  join_path_t path;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string_view element =
        platform::Trim(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    const std::size_t dot = element.find('.');
    const int element_table_id = dot == std::string_view::npos ? table_id : table_id_by_name(element.substr(0, dot));
    const table_desc_t* table = table_by_id(element_table_id);
    if (!table) return {};
    const std::string_view field_name = dot == std::string_view::npos ? element : element.substr(dot + 1);
    const field_desc_t* field = field_by_id(table->field_id_by_name(field_name));
    if (!field || field->table != table) return {};
    path.push_back(field->id);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return path;
}

}  // namespace lumdb
