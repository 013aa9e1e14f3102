#pragma once
// The data model (schema dictionary) of one database variant: its tables,
// their fields, indexes and references, plus the table aliases, named filters,
// sort orders and field display data that the query layer uses. Filled once
// by a loader (datamodel_loader.h) and read-only afterwards, apart from the
// name maps it builds lazily under its mutexes.
//
// Ids: a table id is 1..32767; a field id is the table id shifted left 16
// bits ORed with the field's number (0..65535), so the high bits of a field
// id name its table. Table-alias ids share the number space of table ids.
// -1 means no table or no field everywhere.
//
// Names keep the file's spelling; every name look-up compares them without
// regard to case (upper-casing by a fixed table that knows the Swedish
// letters, never the system locale).
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <boost/multi_index/hashed_index.hpp>
#include <boost/multi_index/member.hpp>
#include <boost/multi_index/sequenced_index.hpp>
#include <boost/multi_index_container.hpp>

#include "lumdb/query/join_path.h"

namespace lumdb {

inline constexpr int no_id = -1;
inline constexpr int max_table_id = 32767;
inline constexpr int max_field_number = 65535;

constexpr int make_field_id(int table_id, int number) {
  return static_cast<int>((static_cast<unsigned>(table_id) << 16) | static_cast<unsigned>(number));
}
constexpr int table_id_of_field(int field_id) { return field_id >> 16; }  // -1 stays -1
constexpr int field_number_of(int field_id) { return field_id & 0xFFFF; }

// The SQL type code of a field that takes type, length and decimals from the
// field named by its source expression ("AUTO"); every other type code is an
// ODBC SQL type code.
inline constexpr int sql_type_auto = 0;

// How a field gets its value.
enum calc_kind_t : int {
  calc_stored = 0,     // a stored column
  calc_expr = 1,       // "expr": an SQL expression
  calc_left_join = 2,  // "left_join": a column of another table reached through a join path
  calc_value = 3,      // "value"
  calc_app = 4,        // "app": filled by the application
};

// Actions of a reference on update and delete.
enum reference_action_t : int { action_restrict = 0, action_cascade = 1, action_set_null = 2, action_set_default = 3 };

// Backup action of a table.
enum backup_action_t : int { backup_default = 0, backup_maintarget = 1, backup_never = 2 };

// Bits of field_desc_t::format_flags.
inline constexpr std::uint8_t format_given = 0x01;
inline constexpr std::uint8_t format_noseparator = 0x02;
inline constexpr std::uint8_t format_nozero = 0x04;
inline constexpr std::uint8_t format_nozerodec = 0x08;
inline constexpr std::uint8_t format_variabledec = 0x10;
inline constexpr std::uint8_t format_show_value = 0x20;

// One entry of a field's value list: the text shown for a stored value.
struct field_value_t {
  std::string cond;
  std::string value;
  std::string base_value;
};

// Decides whether a value entry applies, from its cond text.
class condition_evaluator_i {
 public:
  virtual ~condition_evaluator_i() = default;
  virtual bool applies(const std::string& cond) const = 0;
};

struct table_desc_t;

struct field_desc_t {
  int id = no_id;
  std::string name;
  int sql_type = sql_type_auto;
  int length = 0;
  int decimals = 0;  // 0..127
  const table_desc_t* table = nullptr;
  bool has_default = false;
  std::string default_value;
  bool nullable = true;
  bool search = false;
  bool search_given = false;  // the file said whether the field is searchable
  bool auto_timestamp = false;
  bool type_from_source = false;  // the type was AUTO when the field was defined
  bool case_sensitive = false;
  int calc_kind = calc_stored;
  std::string text;
  std::string alias;
  std::string cond;
  // The SQL expression; for a left-join field and a type-from-source field a
  // source reference: table name, ".", field name.
  std::string expression;
  int source_field_id = no_id;  // a left-join field with a join path: the field it shows
  join_path_t join_path;        // from this field's table to the source field's table
  int ui_hint = -1;
  int width = 0;
  int conflict_group = -1;
  std::uint8_t format_flags = 0;
  int values_base_field_id = no_id;  // the field whose values the value list translates
  std::vector<field_value_t> value_entries;

  // The character types: varchar, long varchar and their wide forms.
  bool is_text() const;
  // Null when the field has no default.
  const std::string* default_text() const { return has_default ? &default_value : nullptr; }
  bool show_value() const { return (format_flags & format_show_value) != 0; }
  // (value, base value) of each entry that applies (every entry without an
  // evaluator), sorted by base value, then value, byte by byte.
  std::vector<std::pair<std::string, std::string>> values(const condition_evaluator_i* evaluator) const;
};

struct index_field_t {
  int field_id = no_id;
  bool descending = false;
  bool include = false;  // an included (non-key) field
};

struct index_desc_t {
  std::string name;
  bool primary_key = false;
  bool unique = false;
  bool clustered = false;
  bool automatic = false;  // made by the loader for a reference
  int filter_id = 0;       // a named filter of the table that restricts the index; 0 none
  std::vector<index_field_t> fields;  // key fields first, then included fields
};

// A named filter; the expression is in the filter text grammar.
struct table_filter_t {
  int id = 0;
  std::string expression;
  std::string text;
  std::string cond;
};

struct sort_order_t {
  int id = 0;
  std::vector<int> field_ids;
  std::string text;
  std::string cond;
};

struct autotag_t {
  int id = 0;
  std::string text;
  std::string alias;
  int filter_id = 0;      // 0 none
  int sort_order_id = 0;  // 0 none
};

struct autofetch_field_t {
  int field_id = no_id;
  bool is_default = true;
  int position = 0;
  int width = 0;
};

struct reference_desc_t {
  int id = 0;  // 1, 2, ... in order of registration
  int table_id = no_id;
  std::vector<int> field_ids;
  int referenced_table_id = no_id;
  std::vector<int> referenced_field_ids;  // in the order of the target index's fields
  std::string index_name;
  bool soft = false;
  int update_action = action_restrict;
  int delete_action = action_restrict;
};

// One field's entry in a table alias.
struct field_alias_t {
  int field_id = no_id;
  std::string text;
  std::string alias;
  std::string alias_upper;  // key of the alias collision check
  std::string cond;
  int search = 0;  // 0 inherit, 1 searchable, 2 not searchable
};

// Field alias entries in entry order, unique by field id, with a second
// index on the upper-cased alias text.
using field_alias_set_t = boost::multi_index_container<
    field_alias_t,
    boost::multi_index::indexed_by<
        boost::multi_index::sequenced<>,
        boost::multi_index::hashed_unique<boost::multi_index::member<field_alias_t, int, &field_alias_t::field_id>>,
        boost::multi_index::hashed_non_unique<
            boost::multi_index::member<field_alias_t, std::string, &field_alias_t::alias_upper>>>>;

// A named view of a table with its own field texts and order and a standing filter.
struct table_alias_desc_t {
  int id = no_id;
  int table_id = no_id;
  int filter_id = 0;  // a named filter of the aliased table applied to every query on the alias
  std::string name;
  bool inherit_search = true;
  bool extendable = false;
  field_alias_set_t field_aliases;
};

class datamodel_c;

struct table_desc_t {
  table_desc_t(int id, std::string name);
  table_desc_t(const table_desc_t&) = delete;
  table_desc_t& operator=(const table_desc_t&) = delete;

  int id;
  std::string name;
  const datamodel_c* model = nullptr;  // null until added to a model
  int auto_increment_field_id = no_id;
  std::string target;
  std::string text;
  std::string alias;
  std::string cond;
  int conflict_mode = 0;         // 0 conflicts resolved per record, 1 per field
  int conflict_group_count = 1;  // distinct conflict groups, counted when added
  std::vector<std::shared_ptr<field_desc_t>> stored_fields;      // file order
  std::vector<std::shared_ptr<field_desc_t>> calculated_fields;  // file order
  std::vector<std::unique_ptr<index_desc_t>> indexes;  // the file's, then the automatic ones
  std::map<int, table_filter_t> filters;
  std::map<int, sort_order_t> sort_orders;
  std::vector<autotag_t> autotags;                  // definition order
  std::vector<autofetch_field_t> autofetch_fields;  // by position, then field number
  std::vector<int> auto_timestamp_field_ids;
  // A non-empty view definition makes SELECT statements end in " OPTION (MAXRECURSION 0)".
  std::string view_definition;
  int backup_action = backup_default;
  bool extendable = false;

  std::size_t field_count() const { return stored_fields.size() + calculated_fields.size(); }
  // Null unless the model knows the id and the field is this table's.
  const field_desc_t* field_by_id(int field_id) const;
  // -1 when the table has no field of that name; among two of one name the later wins.
  int field_id_by_name(std::string_view field_name) const;
  // The fields in presentation order: of the table (alias -1 or the table's
  // own id), or as an alias of it orders them. An unknown alias, or one of
  // another table, gives an empty list; an alias entry whose field is not
  // this table's gives a null entry.
  std::vector<const field_desc_t*> fields(int alias_id = no_id) const;
  // The fields of the first primary-key index, in index order; empty without one.
  std::vector<int> primary_key_fields() const;
  const table_filter_t* filter_by_id(int filter_id) const;

 private:
  mutable std::mutex field_names_mutex_;
  mutable std::map<std::string, int> field_names_;  // upper-cased name -> id, built lazily
};

// 32-bit FNV-1a over the four bytes of an id, least significant first.
struct id_hash_t {
  std::size_t operator()(int id) const noexcept;
};

class datamodel_c {
 public:
  datamodel_c();
  ~datamodel_c();
  datamodel_c(const datamodel_c&) = delete;
  datamodel_c& operator=(const datamodel_c&) = delete;
  // Moves the contents (the tables learn their new model); the lazily built
  // name map is rebuilt on its next use.
  datamodel_c(datamodel_c&& other) noexcept;
  datamodel_c& operator=(datamodel_c&& other) noexcept;

  const table_desc_t* table_by_id(int id) const;
  int table_id_by_name(std::string_view name) const;  // -1 when unknown
  const field_desc_t* field_by_id(int id) const;
  std::size_t table_count() const { return tables_.size(); }
  std::vector<int> table_ids() const;  // ascending

  // On true the model owns the table (`table` is emptied); on false the
  // caller keeps it and the model is unchanged.
  bool add_table(std::unique_ptr<table_desc_t>& table);
  // Registers a reference to `target_index`, which must be a primary-key or
  // unique index of the target table with as many fields as `field_ids`.
  bool add_reference(bool soft, int table_id, int target_table_id, const std::vector<int>& field_ids,
                     const index_desc_t* target_index, int delete_action, int update_action);

  const reference_desc_t* reference_by_id(int id) const;
  std::size_t reference_count() const;
  // The outgoing references of a table, in no fixed order.
  std::vector<const reference_desc_t*> references_of_table(int table_id) const;
  // The ids of the references in which the field is a referencing field; empty for -1.
  std::vector<int> references_of_field(int field_id) const;

  const table_alias_desc_t* alias_by_id(int id) const;
  // The aliased table's id for an alias id; any other id comes back unchanged.
  int alias_table_id(int id) const;

  // The field ids named by a join path text ("KUNDNR, KUND.LANDKOD"): an
  // element without a table name is a field of `table_id`, one with a table
  // name ("TABLE.FIELD") a field of that table. Empty when any element does
  // not resolve.
  join_path_t resolve_join_path(int table_id, std::string_view text) const;

  // Empties the model: tables, fields, aliases and references.
  void clear();

 private:
  friend class datamodel_loader_c;
  struct reference_sets_t;

  table_desc_t* mutable_table(int id);
  // A copy of the alias joins the model when its id is positive and no table
  // or alias has it.
  bool add_alias(const table_alias_desc_t& alias);
  void adopt_tables();
  void clear_unlocked();

  std::unordered_map<int, std::shared_ptr<field_desc_t>, id_hash_t> fields_;
  std::unordered_map<int, std::unique_ptr<table_desc_t>, id_hash_t> tables_;
  std::unordered_map<int, table_alias_desc_t, id_hash_t> aliases_;
  mutable std::mutex table_names_mutex_;
  mutable std::map<std::string, int> table_names_;  // upper-cased name -> id
  std::unique_ptr<reference_sets_t> references_;
};

}  // namespace lumdb
