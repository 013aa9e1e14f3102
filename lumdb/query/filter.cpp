#include "lumdb/query/filter.h"

#include <exception>
#include <set>
#include <stdexcept>

#include "lumdb/record/errors.h"
#include "lumdb/record/shared_constants.h"
#include "platform/text.h"

namespace lumdb {
namespace {

thread_local filter_copy_limit* t_copy_limit = nullptr;

// Long text columns make no field; their constants are held as the short form.
int constant_type(int sql_type) {
  if (sql_type == -1) return 12;
  if (sql_type == -10) return -9;
  return sql_type;
}

bool is_text(int sql_type) { return sql_type == 12 || sql_type == -9; }

bool is_number(int sql_type) {
  return sql_type == sql_smallint || sql_type == sql_integer || sql_type == sql_bigint || sql_type == sql_numeric ||
         sql_type == sql_double;
}

// The length of a text in the units of a text field of this type.
int text_units(int sql_type, const std::string& text) {
  return static_cast<int>(sql_type == -9 ? platform::Utf8ToUtf16(text).size() : platform::Utf8Length(text));
}

const field_desc_t* model_field(const colexpr_c& column) {
  const datamodel_c* model = column.datamodel();
  return model ? model->field_by_id(column.field_id()) : nullptr;
}

// Adds the constant of a term on `column`, typed as the column's value and
// at least `min_size` long, and stores it with `store`; false when refused.
template <class Store>
bool add_typed_constant(field_set_c& values, const colexpr_c& column, int min_size, Store store) {
  const value_type_t t = column.value_type();
  const int id = column.field_id();
  const join_path_t* path = column.join_path();
  return values.add_field(id, path, constant_type(t.sql_type), std::max(t.size, min_size), t.decimals) &&
         store(id, path);
}

std::unique_ptr<filter_node_t> owned_copy(const filter_node_t& node, filter_node_t* parent) {
  auto copy = std::make_unique<filter_node_t>(node);
  copy->parent = parent;
  return copy;
}

std::unique_ptr<filter_node_t> owned_move(filter_node_t&& node, filter_node_t* parent) {
  auto moved = std::make_unique<filter_node_t>(std::move(node));
  moved->parent = parent;
  return moved;
}

filter_node_t* chain_last(filter_node_t* node) {
  while (node->and_next) node = node->and_next.get();
  return node;
}

// Equal both ways: the tree has a branch meaning exactly what other means.
bool same_branch(const filter_node_t& a, const filter_node_t& b) { return a.equals(b) && b.equals(a); }

// A single node holding the term of `node`, without successors.
filter_node_t term_of(const filter_node_t& node) {
  filter_node_t term;
  term.op = node.op;
  term.negated = node.negated;
  term.left = node.left;
  term.right = node.right;
  term.values = node.values;
  term.inline_values = node.inline_values;
  filter_copy_limit::take_one();
  return term;
}

}  // namespace

filter_copy_limit::filter_copy_limit(std::size_t nodes) : left_(nodes), outer_(t_copy_limit) { t_copy_limit = this; }

filter_copy_limit::~filter_copy_limit() { t_copy_limit = outer_; }

void filter_copy_limit::take_one() {
  if (!t_copy_limit) return;
  if (t_copy_limit->left_ == 0) throw std::length_error("filter too large");
  --t_copy_limit->left_;
}

filter_node_t::filter_node_t() = default;

filter_node_t::filter_node_t(const colexpr_c& column, std::nullptr_t) : left(column) {
  const field_desc_t* f = model_field(column);
  const int id = column.field_id();
  if (f && values.add_field(id, nullptr, constant_type(f->sql_type), f->length, f->decimals)) op = fo_equal;
}

filter_node_t::filter_node_t(const colexpr_c& column, int op_code, const char* text) : left(column) {
  const field_desc_t* f = model_field(column);
  if (!f || !text) return;
  const int type = constant_type(f->sql_type);
  const std::string value = text;
  const int size = is_text(type) ? text_units(type, value) : f->length;
  const int decimals = is_text(type) ? 0 : f->decimals;
  const int id = f->id;
  const join_path_t* path = column.join_path();
  try {
    if (values.add_field(id, path, type, size, decimals) && values.parse_string_path(id, path, value)) op = op_code;
  } catch (const std::exception&) {
    // A number that does not parse leaves the filter empty, as any refused constant.
  }
}

filter_node_t::filter_node_t(const colexpr_c& column, int op_code, bool value) : left(column) {
  // A flag kept in a number column is read as set for every value but 0 (-1 and 2
  // too): "= true" is "<> 0" and "<> true" is "= 0", never a comparison with 1.
  // NULL matches neither, as it matches neither "= 1" nor "<> 1" on a BIT.
  int built_op = op_code;
  bool constant = value;
  if (is_number(column.value_type().sql_type) && value && (op_code == fo_equal || op_code == fo_not_equal)) {
    built_op = op_code == fo_equal ? fo_not_equal : fo_equal;
    constant = false;
  }
  if (add_typed_constant(values, column, 0,
                         [&](int id, const join_path_t* path) { return values.set_bool(id, path, constant); }))
    op = built_op;
}

filter_node_t::filter_node_t(const colexpr_c& column, int op_code, const std::string& text) : left(column) {
  const int type = constant_type(column.value_type().sql_type);
  const int length = is_text(type) ? text_units(type, text) : 0;
  if (add_typed_constant(values, column, length,
                         [&](int id, const join_path_t* path) { return values.set_string(id, path, text); }))
    op = op_code;
}

filter_node_t::filter_node_t(const colexpr_c& column, int op_code, double value) : left(column) {
  if (add_typed_constant(values, column, 0,
                         [&](int id, const join_path_t* path) { return values.set_double(id, path, value); }))
    op = op_code;
}

filter_node_t::filter_node_t(const filter_node_t& other)
    : op(other.op),
      negated(other.negated),
      left(other.left),
      right(other.right),
      values(other.values),
      inline_values(other.inline_values) {
  filter_copy_limit::take_one();
  if (other.and_next) and_next = owned_copy(*other.and_next, this);
  if (other.or_alt) or_alt = owned_copy(*other.or_alt, this);
}

filter_node_t::filter_node_t(filter_node_t&& other) noexcept { take_contents(other); }

filter_node_t& filter_node_t::operator=(const filter_node_t& other) {
  filter_node_t copy(other);
  take_contents(copy);
  return *this;
}

filter_node_t& filter_node_t::operator=(filter_node_t&& other) noexcept {
  // Other may live inside this tree: take it out first, then drop the old contents.
  filter_node_t taken(std::move(other));
  filter_node_t old(std::move(*this));
  take_contents(taken);
  return *this;
}

filter_node_t::~filter_node_t() = default;

void filter_node_t::take_contents(filter_node_t& other) noexcept {
  and_next = std::move(other.and_next);
  or_alt = std::move(other.or_alt);
  if (and_next) and_next->parent = this;
  if (or_alt) or_alt->parent = this;
  op = other.op;
  negated = other.negated;
  left = std::move(other.left);
  right = std::move(other.right);
  values = std::move(other.values);
  inline_values = other.inline_values;
}

filter_node_t& filter_node_t::add_and(const filter_node_t& other) { return add_and(filter_node_t(other)); }

filter_node_t& filter_node_t::add_and(filter_node_t&& other) {
  // Each alternative along the chain, and this node's own, gets a copy; the
  // chain's end takes other itself.
  for (filter_node_t* node = and_next.get(); node; node = node->and_next.get()) {
    if (node->or_alt) node->or_alt->add_and(static_cast<const filter_node_t&>(other));
  }
  if (or_alt) or_alt->add_and(static_cast<const filter_node_t&>(other));
  filter_node_t* last = chain_last(this);
  last->and_next = owned_move(std::move(other), last);
  return *this;
}

filter_node_t& filter_node_t::add_or(const filter_node_t& other) { return add_or(filter_node_t(other)); }

filter_node_t& filter_node_t::add_or(filter_node_t&& other) {
  filter_node_t* root = this;
  while (root->parent) root = root->parent;
  if (same_branch(*root, other)) return *this;
  filter_node_t* last = root;
  for (filter_node_t* alt = root->or_alt.get(); alt; alt = alt->or_alt.get()) {
    if (same_branch(*alt, other)) return *this;
    last = alt;
  }
  last->or_alt = owned_move(std::move(other), last);
  return *this;
}

bool filter_node_t::equals(const filter_node_t& other) const {
  if ((and_next && !other.and_next) || (or_alt && !other.or_alt)) return false;
  if (negated != other.negated || op != other.op || !left.equals(other.left) || !right.equals(other.right) ||
      !values.equals(other.values))
    return false;
  if (and_next && !and_next->equals(*other.and_next)) return false;
  if (or_alt && !or_alt->equals(*other.or_alt)) return false;
  return true;
}

filter_node_t filter_and_copy(const filter_node_t& a, const filter_node_t& b) {
  filter_node_t result(a);
  result.add_and(b);
  return result;
}

filter_node_t filter_or_copy(const filter_node_t& a, const filter_node_t& b) {
  filter_node_t result(a);
  result.add_or(b);
  return result;
}

// NOT((t AND rest) OR alt) = (NOT t OR NOT rest) AND NOT alt, built with the
// same AND and OR that build filters, so any shape negates correctly.
filter_node_t filter_not(const filter_node_t& filter) {
  filter_node_t result = term_of(filter);
  result.negated = !filter.negated;
  if (filter.and_next) result.add_or(filter_not(*filter.and_next));
  if (filter.or_alt) result.add_and(filter_not(*filter.or_alt));
  return result;
}

std::string filter_to_sql(const filter_node_t& n, const sqldb_c* connection, const alias_map_t* aliases,
                          sql_params_t* params, bool national_text) {
  // Written as the bare column, or left out, it would select other rows than asked for.
  if (n.is_unbuilt()) throw db_error(make_error<filter_node_t>(bad_query));
  const std::string prefix = n.negated ? "NOT " : "";
  std::string text = prefix + n.left.to_sql(connection, aliases);
  auto op_text = sql_operator_text.find(n.op);
  if (op_text != sql_operator_text.end()) {
    text += " " + op_text->second + " ";
    if (n.right.kind() != ck_empty) {
      text += n.right.to_sql(connection, aliases);
    } else if (n.op == fo_in && n.values.field_count() == 0) {
      // Membership in the empty list: a condition that holds for no row.
      text = prefix + "1 = 0";
    } else {
      if (n.op == fo_in) text += "(";
      for (int i = 0; i < n.values.field_count(); ++i) {
        if ((n.op == fo_equal || n.op == fo_not_equal) && n.values.is_null_at(i)) {
          text.resize(text.size() - (n.op == fo_equal ? 2 : 3));
          text += n.op == fo_equal ? "IS NULL" : "IS NOT NULL";
        } else if (params && !n.inline_values) {
          text += i == 0 ? "?" : ", ?";
          params->emplace_back(&n.values, i);
        } else {
          std::int32_t id = 0;
          const field_path_t* path = nullptr;
          n.values.field_key_at(i, id, path);
          if (i > 0) text += ", ";
          text += n.values.sql_literal(id, path, national_text);
        }
      }
      if (n.op == fo_in) text += ")";
      if (n.op == fo_like) text += " ESCAPE '\\'";
    }
  }
  if (n.and_next) text = text + " AND " + filter_to_sql(*n.and_next, connection, aliases, params, national_text);
  if (n.or_alt) text = "(" + text + " OR " + filter_to_sql(*n.or_alt, connection, aliases, params, national_text) + ")";
  return text;
}

const filter_node_t* first_unbuilt_term(const filter_node_t& filter) {
  if (filter.is_unbuilt()) return &filter;
  const filter_node_t* found = filter.and_next ? first_unbuilt_term(*filter.and_next) : nullptr;
  if (!found && filter.or_alt) found = first_unbuilt_term(*filter.or_alt);
  return found;
}

namespace {

void collect_join_keys(const filter_node_t& n, join_key_set_t& keys) {
  for (int i = 0; i < n.values.field_count(); ++i) {
    std::int32_t id = 0;
    const field_path_t* path = nullptr;
    if (n.values.field_key_at(i, id, path) && path && !path->empty()) keys.insert({*path, table_of_field(id)});
  }
  if (const join_path_t* path = n.left.join_path()) keys.insert({*path, table_of_field(n.left.field_id())});
  if (n.right.kind() != ck_empty) {
    if (const join_path_t* path = n.right.join_path()) keys.insert({*path, table_of_field(n.right.field_id())});
  }
  if (n.and_next) collect_join_keys(*n.and_next, keys);
  if (n.or_alt) collect_join_keys(*n.or_alt, keys);
}

}  // namespace

std::vector<join_key_t> filter_join_paths(const filter_node_t& filter) {
  join_key_set_t keys;
  collect_join_keys(filter, keys);
  return {keys.begin(), keys.end()};
}

}  // namespace lumdb
