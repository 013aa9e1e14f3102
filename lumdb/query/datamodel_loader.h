#pragma once
// Fills one data model from a schema source. A subclass reads the source and
// calls the begin, add, set and end operations below in document order; each
// checks its preconditions and answers true or false, and the subclass treats
// false as a failure of the whole source. After the source has been read,
// `load` resolves what could not be resolved while reading: the references
// between tables (with an automatic foreign-key index where the referencing
// table has none that starts with the reference's first field), the source
// fields of AUTO-typed and left-join fields, and the join paths.
//
// A failed load empties the model and writes one log line saying why.
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "lumdb/query/datamodel.h"

namespace lumdb {

class datamodel_loader_c {
 public:
  // In unresolved mode no cross-reference is checked or resolved: no
  // reference is registered, no automatic index made, no source looked up.
  datamodel_loader_c(datamodel_c& model, bool unresolved);
  virtual ~datamodel_loader_c();
  datamodel_loader_c(const datamodel_loader_c&) = delete;
  datamodel_loader_c& operator=(const datamodel_loader_c&) = delete;

  // Parses, then resolves; true when the model was filled. On failure the
  // model is empty and the log says why.
  bool load();
  // Why the last load failed; empty after a success.
  const std::string& failure() const { return failure_; }

  // Tables. Every operation but begin_table fails when no table is open.
  bool begin_table(int id, std::string_view name);  // id 1..32767
  bool set_target(std::string_view text);
  bool set_text(std::string_view text);
  bool set_alias(std::string_view text);  // only once per table
  bool set_cond(std::string_view text);
  bool set_extendable(bool extendable);
  bool set_conflict_mode(bool per_field);
  int conflict_mode() const;  // 0 when no table is open
  bool set_backup_action(int action);
  bool set_view_definition(std::string_view text);
  bool set_auto_increment_field(int field_id);  // only once per table
  int open_table_id() const;                    // -1 when none
  bool end_table();

  // Fields. add_field needs an open table and makes the new field current;
  // the setters act on the current field.
  bool add_field(int id, std::string_view name, int sql_type, int length, int decimals, int calc_kind);
  bool set_default(std::optional<std::string_view> text);
  bool set_nullable(bool nullable);
  bool set_field_alias(std::string_view text);
  bool set_field_text(std::string_view text);
  bool set_field_cond(std::string_view text);
  bool set_width(int width);
  bool set_auto_timestamp(bool on);  // only a time stamp field may have it
  bool set_case_sensitive(bool on);
  bool set_ui_hint(int hint);
  bool set_search(bool searchable);
  bool set_number_format(bool noseparator, bool nozero, bool nozerodec, bool variabledec);
  bool set_show_value(bool on);
  bool set_expression(std::string_view text);
  bool set_join_path_text(std::string_view text);  // left-join fields only
  bool set_conflict_group(int group);
  bool set_values_base(int field_id);  // a field of the same table
  bool add_field_value(std::string_view base_value, std::string_view value, std::string_view cond);

  // Indexes of the open table.
  bool begin_index(std::string_view name, bool primary_key, bool unique, bool clustered, int filter_id);
  bool add_index_field(int field_id, bool descending, bool include);
  bool end_index(bool automatic);

  // References of the open table, resolved after the parse.
  bool begin_reference(bool soft, std::string_view target_table, std::string_view index_name, int delete_action,
                       int update_action);
  bool add_reference_field(std::string_view name);
  bool end_reference();

  // Named filters, sort orders, autotags and autofetch fields of the open table.
  bool add_filter(int id, std::string_view expression, std::string_view text, std::string_view cond);
  bool add_sort_order(int id, const std::vector<int>& field_ids, std::string_view text, std::string_view cond);
  bool add_autotag(int id, int sort_order_id, int filter_id, std::string_view text, std::string_view alias);
  bool add_autofetch_field(int field_id, bool is_default, int width, int position);  // position 0: next

  // Table aliases (outside tables).
  bool begin_table_alias(std::string_view name, int alias_id, std::string_view table_name, int filter_id);
  bool set_inherit_search(bool inherit);
  bool set_alias_extendable(bool extendable);
  bool add_field_alias(std::string_view field_name, std::string_view text, std::string_view alias,
                       std::string_view cond);
  bool set_field_alias_search(bool searchable);
  bool end_table_alias();

 protected:
  // Reads the source, calling the operations above; false on any failure
  // (set_failure says why).
  virtual bool parse() = 0;
  void set_failure(std::string text) { failure_ = std::move(text); }
  // Names the source (a file path) in the log line of a failed load.
  void set_source_name(std::string name) { source_name_ = std::move(name); }
  // The most recently added field; null when none (or after a failed end_table).
  const field_desc_t* current_field() const;
  bool unresolved() const { return unresolved_; }

 private:
  struct pending_reference_t {
    std::string table_upper;   // the referencing table
    std::string target_upper;  // the target table
    std::string index_upper;   // the target table's index
    bool soft = false;
    bool closed = false;
    int delete_action = action_restrict;
    int update_action = action_restrict;
    std::vector<std::string> field_names;  // as written
  };
  struct pending_source_t {
    std::string join_path_text;
    std::weak_ptr<field_desc_t> field;
  };

  bool reopen_table(std::string_view name);
  bool resolve_references();
  bool make_automatic_index(const reference_desc_t& reference, const pending_reference_t& pending);
  bool resolve_sources();
  bool resolve_source(int field_id, pending_source_t& entry);
  void abandon();
  field_desc_t* field();
  bool fail(std::string text);

  datamodel_c& model_;
  const bool unresolved_;
  std::map<int, std::vector<std::pair<std::string, field_alias_t>>> pending_field_aliases_;
  std::unique_ptr<table_desc_t> owned_table_;  // the open table while it is being read
  table_desc_t* open_table_ = nullptr;         // owned_table_, or a table of the model reopened
  std::unique_ptr<index_desc_t> open_index_;
  std::unique_ptr<table_alias_desc_t> open_alias_;
  std::weak_ptr<field_desc_t> current_field_;
  bool reopened_ = false;
  std::vector<pending_reference_t> pending_references_;
  std::unordered_map<int, pending_source_t> pending_sources_;
  std::map<std::string, int> table_names_;                       // upper-cased name -> id
  std::map<std::pair<std::string, std::string>, int> field_names_;  // (upper field, upper table) -> id
  std::unordered_set<int> open_table_field_ids_;  // ids of the open table's fields
  std::unordered_map<int, field_desc_t*> open_stored_fields_;  // the open table's stored fields by id
  std::string failure_;
  std::string source_name_;
};

}  // namespace lumdb
