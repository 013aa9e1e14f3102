#include "lumdb/query/datamodel_loader.h"

#include <algorithm>
#include <set>

#include "platform/log.h"
#include "platform/text.h"

namespace lumdb {

namespace {

// Prefix of the name of every automatic foreign-key index.
constexpr std::string_view kAutomaticIndexPrefix = "IX_KOLMADM_";
constexpr int kTimestampType = 11;

}  // namespace

datamodel_loader_c::datamodel_loader_c(datamodel_c& model, bool unresolved) : model_(model), unresolved_(unresolved) {}

datamodel_loader_c::~datamodel_loader_c() = default;

const field_desc_t* datamodel_loader_c::current_field() const { return current_field_.lock().get(); }

field_desc_t* datamodel_loader_c::field() { return current_field_.lock().get(); }

bool datamodel_loader_c::fail(std::string text) {
  if (failure_.empty()) failure_ = std::move(text);
  return false;
}

// ---- the load ----

bool datamodel_loader_c::load() {
  failure_.clear();
  if (parse() && resolve_references() && resolve_sources()) return true;
  abandon();
  std::string line = "Datamodellen kunde inte läsas: ";
  if (!source_name_.empty()) line += source_name_ + ": ";
  WriteLog(line + (failure_.empty() ? std::string("okänt fel") : failure_));
  return false;
}

void datamodel_loader_c::abandon() {
  if (reopened_) {
    open_table_ = nullptr;
  } else if (owned_table_) {
    table_names_.erase(platform::ToUpper(owned_table_->name));
    owned_table_.reset();
    open_table_ = nullptr;
  }
  open_index_.reset();
  open_alias_.reset();
  current_field_.reset();
  // Nothing half-made stays behind: a failed model is empty, aliases and
  // references included, so it reads as "no tables" everywhere.
  model_.clear();
  pending_references_.clear();
  pending_sources_.clear();
  reopened_ = false;
}

// ---- tables ----

bool datamodel_loader_c::begin_table(int id, std::string_view name) {
  if (open_table_) return fail("en tabell är redan öppen");
  if (id < 1 || id > max_table_id) return fail("tabell-id utanför 1..32767: " + std::to_string(id));
  owned_table_ = std::make_unique<table_desc_t>(id, std::string(name));
  open_table_ = owned_table_.get();
  open_table_field_ids_.clear();
  open_stored_fields_.clear();
  table_names_[platform::ToUpper(name)] = id;
  return true;
}

bool datamodel_loader_c::set_target(std::string_view text) {
  if (!open_table_) return false;
  open_table_->target = text;
  return true;
}

bool datamodel_loader_c::set_text(std::string_view text) {
  if (!open_table_) return false;
  open_table_->text = text;
  return true;
}

bool datamodel_loader_c::set_alias(std::string_view text) {
  if (!open_table_) return false;
  if (!open_table_->alias.empty()) return false;
  open_table_->alias = text;
  return true;
}

bool datamodel_loader_c::set_cond(std::string_view text) {
  if (!open_table_) return false;
  open_table_->cond = text;
  return true;
}

bool datamodel_loader_c::set_extendable(bool extendable) {
  if (!open_table_) return false;
  open_table_->extendable = extendable;
  return true;
}

bool datamodel_loader_c::set_conflict_mode(bool per_field) {
  if (!open_table_) return false;
  open_table_->conflict_mode = per_field ? 1 : 0;
  return true;
}

int datamodel_loader_c::conflict_mode() const { return open_table_ ? open_table_->conflict_mode : 0; }

bool datamodel_loader_c::set_backup_action(int action) {
  if (!open_table_) return false;
  open_table_->backup_action = action;
  return true;
}

bool datamodel_loader_c::set_view_definition(std::string_view text) {
  if (!open_table_) return false;
  open_table_->view_definition = text;
  return true;
}

bool datamodel_loader_c::set_auto_increment_field(int field_id) {
  if (!open_table_) return false;
  if (open_table_->auto_increment_field_id != no_id) return false;
  open_table_->auto_increment_field_id = field_id;
  return true;
}

int datamodel_loader_c::open_table_id() const { return open_table_ ? open_table_->id : no_id; }

bool datamodel_loader_c::end_table() {
  if (!open_table_ || open_index_ || open_table_->stored_fields.empty()) return false;
  if (reopened_) {
    std::set<int> groups;
    for (const auto* list : {&open_table_->stored_fields, &open_table_->calculated_fields}) {
      for (const auto& field : *list) {
        groups.insert(field->conflict_group);
        auto& slot = model_.fields_[field->id];
        if (!slot) slot = field;
      }
    }
    open_table_->conflict_group_count = static_cast<int>(groups.size());
    open_table_ = nullptr;
    reopened_ = false;
    return true;
  }
  if (!model_.add_table(owned_table_)) {
    current_field_.reset();
    return fail("tabellen " + owned_table_->name + " krockar med en tidigare tabell (id, namn eller fält-id)");
  }
  open_table_ = nullptr;
  return true;
}

bool datamodel_loader_c::reopen_table(std::string_view name) {
  if (open_table_ || reopened_) return false;
  const int id = model_.table_id_by_name(name);
  table_desc_t* table = model_.mutable_table(id);
  if (!table) return false;
  open_table_ = table;
  reopened_ = true;
  open_table_field_ids_.clear();
  open_stored_fields_.clear();
  for (const auto& field : table->stored_fields) open_stored_fields_.emplace(field->id, field.get());
  for (const auto* list : {&table->stored_fields, &table->calculated_fields}) {
    for (const auto& field : *list) open_table_field_ids_.insert(field->id);
  }
  return true;
}

// ---- fields ----

bool datamodel_loader_c::add_field(int id, std::string_view name, int sql_type, int length, int decimals,
                                   int calc_kind) {
  if (!open_table_) return false;
  if (table_id_of_field(id) != open_table_->id) return fail("fält-id hör inte till tabellen");
  if (decimals < 0 || decimals > 127) return fail("dec utanför 0..127: " + std::to_string(decimals));
  const auto key = std::make_pair(platform::ToUpper(name), platform::ToUpper(open_table_->name));
  if (field_names_.count(key)) return fail("fältet " + std::string(name) + " finns redan i tabellen");
  // Stored and calculated fields alike: two fields of one id would share one
  // slot of the model's field map.
  if (!open_table_field_ids_.insert(id).second) {
    return fail("fält-id " + std::to_string(field_number_of(id)) + " används redan i tabellen");
  }
  auto created = std::make_shared<field_desc_t>();
  created->id = id;
  created->name = name;
  created->sql_type = sql_type;
  created->length = length;
  created->decimals = decimals;
  created->calc_kind = calc_kind;
  created->table = open_table_;
  created->type_from_source = sql_type == sql_type_auto;
  (calc_kind != calc_stored ? open_table_->calculated_fields : open_table_->stored_fields).push_back(created);
  if (calc_kind == calc_stored) open_stored_fields_.emplace(id, created.get());
  current_field_ = created;
  field_names_.emplace(key, id);
  return true;
}

bool datamodel_loader_c::set_default(std::optional<std::string_view> text) {
  field_desc_t* f = field();
  if (!f) return false;
  f->has_default = text.has_value();
  f->default_value = text ? std::string(*text) : std::string();
  return true;
}

bool datamodel_loader_c::set_nullable(bool nullable) {
  field_desc_t* f = field();
  if (!f) return false;
  f->nullable = nullable;
  return true;
}

bool datamodel_loader_c::set_field_alias(std::string_view text) {
  field_desc_t* f = field();
  if (!f) return false;
  f->alias = text;
  return true;
}

bool datamodel_loader_c::set_field_text(std::string_view text) {
  field_desc_t* f = field();
  if (!f) return false;
  f->text = text;
  return true;
}

bool datamodel_loader_c::set_field_cond(std::string_view text) {
  field_desc_t* f = field();
  if (!f) return false;
  f->cond = text;
  return true;
}

bool datamodel_loader_c::set_width(int width) {
  field_desc_t* f = field();
  if (!f) return false;
  f->width = width;
  return true;
}

bool datamodel_loader_c::set_auto_timestamp(bool on) {
  field_desc_t* f = field();
  if (!f) return false;
  if (on && f->sql_type != kTimestampType) return fail("autots på fältet " + f->name + ", som inte är en tidsstämpel");
  f->auto_timestamp = on;
  if (!open_table_) return true;
  auto& ids = open_table_->auto_timestamp_field_ids;
  ids.erase(std::remove(ids.begin(), ids.end(), f->id), ids.end());
  if (on) ids.push_back(f->id);
  return true;
}

bool datamodel_loader_c::set_case_sensitive(bool on) {
  field_desc_t* f = field();
  if (!f) return false;
  f->case_sensitive = on;
  return true;
}

bool datamodel_loader_c::set_ui_hint(int hint) {
  field_desc_t* f = field();
  if (!f) return false;
  f->ui_hint = hint == f->length ? -1 : hint;
  return true;
}

bool datamodel_loader_c::set_search(bool searchable) {
  field_desc_t* f = field();
  if (!f) return false;
  f->search = searchable;
  f->search_given = true;
  return true;
}

bool datamodel_loader_c::set_number_format(bool noseparator, bool nozero, bool nozerodec, bool variabledec) {
  field_desc_t* f = field();
  if (!f) return false;
  std::uint8_t flags = f->format_flags & ~(format_given | format_noseparator | format_nozero | format_nozerodec |
                                           format_variabledec);
  flags |= format_given;
  if (noseparator) flags |= format_noseparator;
  if (nozero) flags |= format_nozero;
  if (nozerodec) flags |= format_nozerodec;
  if (variabledec) flags |= format_variabledec;
  f->format_flags = flags;
  return true;
}

bool datamodel_loader_c::set_show_value(bool on) {
  field_desc_t* f = field();
  if (!f) return false;
  f->format_flags = on ? (f->format_flags | format_show_value) : (f->format_flags & ~format_show_value);
  return true;
}

bool datamodel_loader_c::set_expression(std::string_view text) {
  field_desc_t* f = field();
  if (!f) return false;
  f->expression = text;
  if (f->sql_type == sql_type_auto) {
    auto& entry = pending_sources_[f->id];
    entry.field = current_field_;
  }
  return true;
}

bool datamodel_loader_c::set_join_path_text(std::string_view text) {
  field_desc_t* f = field();
  if (!f) return false;
  if (f->calc_kind != calc_left_join) return false;
  auto& entry = pending_sources_[f->id];
  entry.join_path_text = text;
  entry.field = current_field_;
  return true;
}

bool datamodel_loader_c::set_conflict_group(int group) {
  field_desc_t* f = field();
  if (!f) return false;
  f->conflict_group = group;
  return true;
}

bool datamodel_loader_c::set_values_base(int field_id) {
  field_desc_t* f = field();
  if (!f) return false;
  if (table_id_of_field(field_id) != table_id_of_field(f->id)) return false;
  f->values_base_field_id = field_id;
  return true;
}

bool datamodel_loader_c::add_field_value(std::string_view base_value, std::string_view value, std::string_view cond) {
  field_desc_t* f = field();
  if (!f) return false;
  for (const auto& entry : f->value_entries) {
    if (platform::EqualsNoCase(entry.base_value, base_value)) return false;
  }
  f->value_entries.push_back({std::string(cond), std::string(value), std::string(base_value)});
  return true;
}

// ---- indexes ----

bool datamodel_loader_c::begin_index(std::string_view name, bool primary_key, bool unique, bool clustered,
                                     int filter_id) {
  if (!open_table_ || open_index_) return false;
  for (const auto& index : open_table_->indexes) {
    if (clustered && index->clustered) return false;
    if (primary_key && index->primary_key) return false;
    if (platform::EqualsNoCase(index->name, name)) return false;
  }
  open_index_ = std::make_unique<index_desc_t>();
  open_index_->name = name;
  open_index_->primary_key = primary_key;
  open_index_->unique = unique;
  open_index_->clustered = clustered;
  open_index_->filter_id = filter_id;
  return true;
}

bool datamodel_loader_c::add_index_field(int field_id, bool descending, bool include) {
  if (!open_index_ || !open_table_ || !open_stored_fields_.count(field_id)) return false;
  open_index_->fields.push_back({field_id, descending, include});
  return true;
}

bool datamodel_loader_c::end_index(bool automatic) {
  if (!open_index_ || !open_table_ || open_index_->fields.empty()) return false;
  const bool key_of_unique = open_index_->primary_key || (open_index_->unique && open_index_->filter_id < 1);
  for (const auto& entry : open_index_->fields) {
    const auto found = open_stored_fields_.find(entry.field_id);
    if (found == open_stored_fields_.end()) return false;
    if (!entry.include && key_of_unique) found->second->nullable = false;
  }
  std::stable_partition(open_index_->fields.begin(), open_index_->fields.end(),
                        [](const index_field_t& entry) { return !entry.include; });
  open_index_->automatic = automatic;
  open_table_->indexes.push_back(std::move(open_index_));
  return true;
}

// ---- references ----

bool datamodel_loader_c::begin_reference(bool soft, std::string_view target_table, std::string_view index_name,
                                         int delete_action, int update_action) {
  if (!open_table_) return false;
  if (soft && (delete_action != action_restrict || update_action != action_restrict)) return false;
  pending_reference_t reference;
  reference.table_upper = platform::ToUpper(open_table_->name);
  reference.target_upper = platform::ToUpper(target_table);
  reference.index_upper = platform::ToUpper(index_name);
  reference.soft = soft;
  reference.delete_action = delete_action;
  reference.update_action = update_action;
  pending_references_.push_back(std::move(reference));
  return true;
}

bool datamodel_loader_c::add_reference_field(std::string_view name) {
  if (!open_table_ || pending_references_.empty()) return false;
  auto& reference = pending_references_.back();
  if (reference.closed || reference.table_upper != platform::ToUpper(open_table_->name)) return false;
  reference.field_names.emplace_back(name);
  return true;
}

bool datamodel_loader_c::end_reference() {
  if (!open_table_ || pending_references_.empty()) return false;
  auto& reference = pending_references_.back();
  if (reference.closed || reference.table_upper != platform::ToUpper(open_table_->name)) return false;
  if (reference.field_names.empty()) return false;
  reference.closed = true;
  return true;
}

// ---- filters, sort orders, autotags, autofetch fields ----

bool datamodel_loader_c::add_filter(int id, std::string_view expression, std::string_view text,
                                    std::string_view cond) {
  if (!open_table_) return false;
  auto& filters = open_table_->filters;
  const auto found = filters.find(id);
  if (found != filters.end() &&
      (expression.empty() || platform::EqualsNoCase(found->second.expression, expression))) {
    found->second.text = text;
    if (!cond.empty()) found->second.cond = cond;
    return true;
  }
  filters[id] = table_filter_t{id, std::string(expression), std::string(text), std::string(cond)};
  return true;
}

bool datamodel_loader_c::add_sort_order(int id, const std::vector<int>& field_ids, std::string_view text,
                                        std::string_view cond) {
  if (!open_table_) return false;
  auto& orders = open_table_->sort_orders;
  const auto found = orders.find(id);
  if (found != orders.end()) {
    const bool same_fields = field_ids.empty() || same_join_path(field_ids, found->second.field_ids);
    if (same_fields) {
      found->second.text = text;
      if (!cond.empty()) found->second.cond = cond;
      return true;
    }
    orders.erase(found);
  }
  for (int field_id : field_ids) {
    if (table_id_of_field(field_id) != open_table_->id) return false;
  }
  orders.emplace(id, sort_order_t{id, field_ids, std::string(text), std::string(cond)});
  return true;
}

bool datamodel_loader_c::add_autotag(int id, int sort_order_id, int filter_id, std::string_view text,
                                     std::string_view alias) {
  if (!open_table_) return false;
  const bool accepted = filter_id == 0 || unresolved_ ||
                        (open_table_->filters.count(filter_id) &&
                         (sort_order_id == 0 || open_table_->sort_orders.count(sort_order_id)));
  if (!accepted) return false;
  autotag_t tag{id, std::string(text), std::string(alias), filter_id, sort_order_id};
  auto& tags = open_table_->autotags;
  const auto found = std::find_if(tags.begin(), tags.end(), [&](const autotag_t& t) { return t.id == id; });
  if (found != tags.end()) {
    *found = std::move(tag);
  } else {
    tags.push_back(std::move(tag));
  }
  return true;
}

bool datamodel_loader_c::add_autofetch_field(int field_id, bool is_default, int width, int position) {
  if (!open_table_) return false;
  auto& list = open_table_->autofetch_fields;
  const auto by_position = [](const autofetch_field_t& a, const autofetch_field_t& b) {
    if (a.position != b.position) return a.position < b.position;
    return field_number_of(a.field_id) < field_number_of(b.field_id);
  };
  const auto found = field_id == no_id ? list.end()
                                       : std::find_if(list.begin(), list.end(), [&](const autofetch_field_t& e) {
                                           return e.field_id == field_id;
                                         });
  if (found != list.end()) {
    found->is_default = is_default;
    found->width = width;
    if (position != 0 && position != found->position) {
      found->position = position;
      std::stable_sort(list.begin(), list.end(), by_position);
    }
    return true;
  }
  if (position != 0) {
    for (auto& entry : list) {
      if (entry.position >= position) ++entry.position;
    }
  }
  if (!open_table_field_ids_.count(field_id)) return false;
  const int placed = position != 0 ? position : static_cast<int>(list.size());
  list.push_back({field_id, is_default, placed, width});
  if (position != 0) std::stable_sort(list.begin(), list.end(), by_position);
  return true;
}

// ---- table aliases ----

bool datamodel_loader_c::begin_table_alias(std::string_view name, int alias_id, std::string_view table_name,
                                           int filter_id) {
  if (open_alias_) return false;
  const table_desc_t* table = model_.table_by_id(model_.table_id_by_name(table_name));
  if (!table) return false;
  if (!unresolved_ && filter_id != 0 && !table->filter_by_id(filter_id)) return false;
  open_alias_ = std::make_unique<table_alias_desc_t>();
  open_alias_->id = alias_id;
  open_alias_->table_id = table->id;
  open_alias_->filter_id = filter_id;
  open_alias_->name = name;
  return true;
}

bool datamodel_loader_c::set_inherit_search(bool inherit) {
  if (!open_alias_) return false;
  open_alias_->inherit_search = inherit;
  return true;
}

bool datamodel_loader_c::set_alias_extendable(bool extendable) {
  if (!open_alias_) return false;
  open_alias_->extendable = extendable;
  return true;
}

bool datamodel_loader_c::add_field_alias(std::string_view field_name, std::string_view text, std::string_view alias,
                                         std::string_view cond) {
  if (!open_alias_) return false;
  field_alias_t entry{no_id, std::string(text), std::string(alias), platform::ToUpper(alias), std::string(cond), 0};
  if (unresolved_) {
    pending_field_aliases_[open_alias_->id].emplace_back(std::string(field_name), std::move(entry));
    return true;
  }
  const table_desc_t* table = model_.table_by_id(open_alias_->table_id);
  entry.field_id = table ? table->field_id_by_name(field_name) : no_id;
  if (entry.field_id == no_id) return false;
  auto& entries = open_alias_->field_aliases;
  if (!alias.empty()) {
    // Looked up as written, not upper-cased: an alias in capitals collides
    // with an earlier one in any case, one in small letters never does.
    const auto [first, last] = entries.get<2>().equal_range(std::string(alias));
    for (auto it = first; it != last; ++it) {
      if (it->field_id != entry.field_id) return false;
    }
  }
  entries.get<1>().erase(entry.field_id);
  entries.push_back(std::move(entry));
  return true;
}

bool datamodel_loader_c::set_field_alias_search(bool searchable) {
  if (!open_alias_) return false;
  const int search = searchable ? 1 : 2;
  if (unresolved_) {
    auto& pending = pending_field_aliases_[open_alias_->id];
    if (pending.empty()) return false;
    pending.back().second.search = search;
    return true;
  }
  auto& entries = open_alias_->field_aliases;
  if (entries.empty()) return false;
  entries.modify(std::prev(entries.end()), [search](field_alias_t& entry) { entry.search = search; });
  return true;
}

bool datamodel_loader_c::end_table_alias() {
  if (!open_alias_) return false;
  const auto alias = std::move(open_alias_);
  if (!model_.add_alias(*alias)) {
    return fail("alias-id " + std::to_string(alias->id) + " för " + alias->name + " är upptaget eller inte positivt");
  }
  return true;
}

// ---- resolution ----

bool datamodel_loader_c::resolve_references() {
  if (unresolved_) return true;
  for (const auto& pending : pending_references_) {
    const auto describe = [&] { return "referensen från " + pending.table_upper + " till " + pending.target_upper; };
    const auto target_entry = table_names_.find(pending.target_upper);
    const auto table_entry = table_names_.find(pending.table_upper);
    if (target_entry == table_names_.end() || table_entry == table_names_.end()) {
      return fail(describe() + ": okänd tabell");
    }
    const table_desc_t* target = model_.table_by_id(target_entry->second);
    const table_desc_t* table = model_.table_by_id(table_entry->second);
    if (!target || !table) return fail(describe() + ": okänd tabell");

    std::vector<int> field_ids;
    for (const auto& name : pending.field_names) {
      const auto found = field_names_.find({platform::ToUpper(name), pending.table_upper});
      if (found == field_names_.end()) return fail(describe() + ": okänt fält " + name);
      field_ids.push_back(found->second);
    }
    const auto index = std::find_if(target->indexes.begin(), target->indexes.end(), [&](const auto& candidate) {
      return platform::ToUpper(candidate->name) == pending.index_upper;
    });
    if (index == target->indexes.end()) return fail(describe() + ": okänt index " + pending.index_upper);
    if (!model_.add_reference(pending.soft, table->id, target->id, field_ids, index->get(), pending.delete_action,
                              pending.update_action)) {
      return fail(describe() + ": indexet " + (*index)->name + " passar inte referensen");
    }
    const bool has_index = std::any_of(table->indexes.begin(), table->indexes.end(), [&](const auto& candidate) {
      return !candidate->fields.empty() && candidate->fields.front().field_id == field_ids.front();
    });
    if (!has_index) make_automatic_index(*model_.reference_by_id(static_cast<int>(model_.reference_count())), pending);
  }
  return true;
}

// An index over the reference's fields, with the rest of the primary key
// included, so that a join along the reference need not scan the table.
bool datamodel_loader_c::make_automatic_index(const reference_desc_t& reference, const pending_reference_t& pending) {
  const table_desc_t* table = model_.table_by_id(reference.table_id);
  if (!table || !reopen_table(table->name)) return false;
  std::string name(kAutomaticIndexPrefix);
  name += pending.table_upper;
  for (const auto& field : pending.field_names) name += field;
  name += pending.soft ? "_SFK" : "_FK";
  bool made = false;
  if (begin_index(name, false, false, false, 0)) {
    made = true;
    for (int field_id : reference.field_ids) made = add_index_field(field_id, false, false) && made;
    for (int field_id : open_table_->primary_key_fields()) {
      if (std::find(reference.field_ids.begin(), reference.field_ids.end(), field_id) == reference.field_ids.end()) {
        made = add_index_field(field_id, false, true) && made;
      }
    }
    // A reference over a calculated field gets no index: an index holds
    // stored columns only.
    made = made && end_index(true);
    open_index_.reset();
  }
  end_table();
  return made;
}

bool datamodel_loader_c::resolve_sources() {
  if (unresolved_) return true;
  // An AUTO field whose source is itself AUTO takes its type only once that
  // source has its own: each entry first resolves the chain of entries it
  // depends on, deepest first.
  std::unordered_set<int> resolving;
  std::vector<int> order;
  order.reserve(pending_sources_.size());
  for (const auto& [field_id, entry] : pending_sources_) order.push_back(field_id);
  std::sort(order.begin(), order.end());
  for (int start : order) {
    std::vector<int> chain{start};
    while (true) {
      const auto found = pending_sources_.find(chain.back());
      const auto entry_field = found == pending_sources_.end() ? nullptr : found->second.field.lock();
      if (!entry_field || !entry_field->type_from_source) break;
      const std::size_t dot = entry_field->expression.find('.');
      if (dot == std::string::npos) break;
      const table_desc_t* table =
          model_.table_by_id(model_.table_id_by_name(std::string_view(entry_field->expression).substr(0, dot)));
      const int source_id =
          table ? table->field_id_by_name(std::string_view(entry_field->expression).substr(dot + 1)) : no_id;
      const auto source = pending_sources_.find(source_id);
      if (source == pending_sources_.end()) break;
      if (std::find(chain.begin(), chain.end(), source_id) != chain.end()) {
        return fail("fältet " + entry_field->name + " får sin typ i en cirkel av AUTO-fält");
      }
      chain.push_back(source_id);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      const auto found = pending_sources_.find(*it);
      if (found == pending_sources_.end()) continue;
      if (!resolve_source(found->first, found->second)) return false;
      pending_sources_.erase(found);
    }
  }
  pending_sources_.clear();
  return true;
}

bool datamodel_loader_c::resolve_source(int field_id, pending_source_t& entry) {
  const auto target = entry.field.lock();
  if (!target) return true;
  const std::string_view expression = target->expression;
  const std::size_t dot = expression.find('.');
  const auto describe = [&] { return "fältet " + target->name + " (" + std::string(expression) + ")"; };
  if (dot == std::string_view::npos) return fail(describe() + ": källan saknar \".\"");
  const auto table_entry = table_names_.find(platform::ToUpper(expression.substr(0, dot)));
  const table_desc_t* table = table_entry == table_names_.end() ? nullptr : model_.table_by_id(table_entry->second);
  if (!table) return fail(describe() + ": okänd tabell");
  const field_desc_t* source = model_.field_by_id(table->field_id_by_name(expression.substr(dot + 1)));
  if (!source || source->table != table) return fail(describe() + ": okänt fält");
  if (target->type_from_source) {
    target->sql_type = source->sql_type;
    target->length = source->length;
    target->decimals = source->decimals;
  }
  if (!entry.join_path_text.empty()) {
    target->join_path = model_.resolve_join_path(table_id_of_field(target->id), entry.join_path_text);
  }
  if (!target->join_path.empty()) target->source_field_id = source->id;
  return true;
}

}  // namespace lumdb
