#include "lumdb/query/colexpr.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "lumdb/record/sqldb.h"

namespace lumdb {
namespace {

std::unique_ptr<colexpr_c> clone_of(const std::unique_ptr<colexpr_c>& e) {
  return e ? std::make_unique<colexpr_c>(*e) : nullptr;
}

bool same_sub(const std::unique_ptr<colexpr_c>& a, const std::unique_ptr<colexpr_c>& b) {
  if (!a || !b) return !a && !b;
  return a->equals(*b);
}

bool is_integer_type(int t) { return t == -7 || t == -5 || t == 4 || t == 5; }
bool is_text_type(int t) { return t == 12 || t == -9 || t == -1 || t == -10; }

}  // namespace

bool join_key_less::operator()(const join_key_t& a, const join_key_t& b) const {
  if (a.table_id != b.table_id) return a.table_id < b.table_id;
  return std::lexicographical_compare(a.path.begin(), a.path.end(), b.path.begin(), b.path.end());
}

colexpr_c::colexpr_c() = default;

colexpr_c::colexpr_c(int id, int kind) : field_id_(id), kind_(kind) {}

colexpr_c::colexpr_c(int field_id) : field_id_(field_id), kind_(ck_column) {}

colexpr_c::colexpr_c(int field_id, const join_path_t& path, int kind)
    : field_id_(field_id), kind_(kind), path_(path) {}

colexpr_c::colexpr_c(int id, int kind, int type, int size, int decimals)
    : field_id_(id), kind_(kind), explicit_{type, size, decimals} {
  values_.add_field(id, nullptr, type, size, decimals);
}

colexpr_c::colexpr_c(int id, int kind, std::int64_t value, int size, int scale) : field_id_(id), kind_(kind) {
  const field_desc_t* f = constant_field(id);
  if (!f) {
    kind_ = ck_empty;
    return;
  }
  values_.add_field(id, nullptr, f->sql_type, size, scale);
  values_.set_scaled_int64(id, nullptr, value, scale);
}

colexpr_c::colexpr_c(int id, int kind, const std::wstring& text, int size) : field_id_(id), kind_(kind) {
  const field_desc_t* f = constant_field(id);
  if (!f) {
    kind_ = ck_empty;
    return;
  }
  values_.add_field(id, nullptr, f->sql_type, size < 0 ? f->length : size, f->decimals);
  values_.set_wstring(id, nullptr, text);
}

colexpr_c::colexpr_c(constant_tag, int id, int kind, std::variant<bool, int, double> value) : field_id_(id), kind_(kind) {
  const field_desc_t* f = constant_field(id);
  if (!f) {
    kind_ = ck_empty;
    return;
  }
  values_.add_field(id, nullptr, f->sql_type, f->length, f->decimals);
  std::visit(
      [&](auto v) {
        using T = decltype(v);
        if constexpr (std::is_same_v<T, bool>) values_.set_bool(id, nullptr, v);
        else if constexpr (std::is_same_v<T, int>) values_.set_int(id, nullptr, v);
        else values_.set_double(id, nullptr, v);
      },
      value);
}

colexpr_c::colexpr_c(const colexpr_c& other)
    : dbobj_c(other.parent()),
      field_id_(other.field_id_),
      kind_(other.kind_),
      values_(other.values_),
      next_(clone_of(other.next_)),
      main_(clone_of(other.main_)),
      operand_(clone_of(other.operand_)),
      path_(other.path_),
      descending_(other.descending_),
      explicit_(other.explicit_) {}

colexpr_c::colexpr_c(colexpr_c&& other) noexcept
    : dbobj_c(other.parent()),
      field_id_(other.field_id_),
      kind_(other.kind_),
      values_(std::move(other.values_)),
      next_(std::move(other.next_)),
      main_(std::move(other.main_)),
      operand_(std::move(other.operand_)),
      path_(std::move(other.path_)),
      descending_(other.descending_),
      explicit_(other.explicit_) {
  other.path_.clear();
}

colexpr_c& colexpr_c::operator=(const colexpr_c& other) {
  if (this != &other) *this = colexpr_c(other);
  return *this;
}

colexpr_c& colexpr_c::operator=(colexpr_c&& other) noexcept {
  if (this == &other) return *this;
  field_id_ = other.field_id_;
  kind_ = other.kind_;
  values_ = std::move(other.values_);
  next_ = std::move(other.next_);
  main_ = std::move(other.main_);
  operand_ = std::move(other.operand_);
  path_ = std::move(other.path_);
  other.path_.clear();
  descending_ = other.descending_;
  explicit_ = other.explicit_;
  return *this;
}

colexpr_c::~colexpr_c() = default;

void colexpr_c::set_explicit_type(int type, int size, int decimals) { explicit_ = {type, size, decimals}; }

void colexpr_c::set_continuation(const colexpr_c& e) { next_ = std::make_unique<colexpr_c>(e); }
void colexpr_c::set_main_argument(const colexpr_c& e) { main_ = std::make_unique<colexpr_c>(e); }
void colexpr_c::set_parenthesised(const colexpr_c& e) { operand_ = std::make_unique<colexpr_c>(e); }

colexpr_c& colexpr_c::chain_end() {
  colexpr_c* node = this;
  while (node->next_) node = node->next_.get();
  return *node;
}

const field_desc_t* colexpr_c::constant_field(int id) const {
  const datamodel_c* model = datamodel();
  return model ? model->field_by_id(id) : nullptr;
}

int colexpr_c::field_id() const {
  if (field_id_ != -1) return field_id_;
  if (main_) return main_->field_id();
  if (next_) return next_->field_id();
  return -1;
}

value_type_t colexpr_c::value_type(const datamodel_c* model) const {
  if (explicit_.sql_type != 0) return explicit_;
  if (!model) model = datamodel();
  const field_desc_t* f = model ? model->field_by_id(field_id()) : nullptr;
  if (!f) return {};
  return {f->sql_type, f->length, f->decimals};
}

const join_path_t* colexpr_c::join_path() const {
  for (const colexpr_c* node = this; node; node = node->main_.get()) {
    if (!node->path_.empty()) return &node->path_;
  }
  return nullptr;
}

join_key_set_t colexpr_c::used_join_keys() const {
  join_key_set_t keys;
  if (!path_.empty()) keys.insert({path_, table_of_field(field_id())});
  for (const auto* sub : {next_.get(), main_.get(), operand_.get()}) {
    if (sub) keys.merge(sub->used_join_keys());
  }
  return keys;
}

std::set<int> colexpr_c::field_ids_of_table(int table_id) const {
  std::set<int> ids;
  if (field_id_ != -1 && table_of_field(field_id_) == table_id) ids.insert(field_id_);
  for (const auto* sub : {next_.get(), main_.get(), operand_.get()}) {
    if (sub) ids.merge(sub->field_ids_of_table(table_id));
  }
  return ids;
}

bool colexpr_c::equals(const colexpr_c& other) const {
  if (kind_ == ck_empty && other.kind_ == ck_empty) return true;
  if (kind_ != other.kind_) return false;
  if (other.field_id() == -1 || other.field_id() != field_id()) return false;
  if (!same_join_path(path_, other.path_)) return false;
  if (!values_.equals(other.values_) || descending_ != other.descending_) return false;
  if (!(value_type() == other.value_type())) return false;
  return same_sub(operand_, other.operand_) && same_sub(next_, other.next_) && same_sub(main_, other.main_);
}

int colexpr_c::binary_op_type(int l, int r) {
  if (l == r) return l;
  const bool r_integer_or_float = is_integer_type(r) || r == 8 || r == 6;
  if (l == -11 || l == 11) return is_text_type(r) ? r : l;
  if (l == -1 || l == -10) return -10;
  if (l == 12 || l == -9) return -9;
  if (is_integer_type(l)) {
    if (is_integer_type(r)) return -5;
    if (r == 8 || r == 6) return 8;
    if (r == 9) return 4;
    return r;
  }
  if (l == -2) return -2;
  if (l == 2) {
    if (r_integer_or_float) return 2;
    if (r == 9) return 4;
    return r;
  }
  if (l == 6 || l == 8) {
    if (r_integer_or_float) return 8;
    if (r == 9) return 4;
    return r;
  }
  if (l == 9) return r_integer_or_float ? 4 : r;
  return 0;
}

std::string colexpr_c::operator_text(int kind) {
  switch (kind) {
    case 2: case 3: return " + ";
    case 4: case 5: return " - ";
    case 6: case 7: return " * ";
    case 8: case 9: return " / ";
    case 15: return "yy";
    case 16: return "mm";
    case 17: return "dd";
    case 18: return "isoww";
    default: return {};
  }
}

std::string colexpr_c::column_name(const sqldb_c* connection, const alias_map_t* aliases) const {
  const datamodel_c* model = datamodel();
  const field_desc_t* f = field_id_ == -1 || !model ? nullptr : model->field_by_id(field_id_);
  if (!f) return {};
  std::string name = connection ? sqldb_c::quote_identifier(f->name) : f->name;
  if (aliases) {
    auto it = aliases->find({path_, table_of_field(field_id_)});
    if (it != aliases->end() && !it->second.empty()) return it->second + "." + name;
  }
  return name;
}

std::string colexpr_c::constant_literal() const {
  const std::string text = values_.sql_literal(field_id_, nullptr);
  return text.empty() ? "NULL" : text;
}

std::string colexpr_c::value_literal_at(int position) const {
  std::int32_t id = 0;
  const field_path_t* path = nullptr;
  if (!values_.field_key_at(position, id, path)) return {};
  return values_.sql_literal(id, path);
}

std::string colexpr_c::sub_sql(const std::unique_ptr<colexpr_c>& e, const sqldb_c* connection,
                               const alias_map_t* aliases) const {
  return e ? e->to_sql(connection, aliases) : std::string();
}

std::string colexpr_c::to_sql(const sqldb_c* connection, const alias_map_t* aliases) const {
  if (!datamodel()) return {};
  // Kinds that wrap their main argument render nothing without one.
  const bool needs_main = kind_ >= 10 && kind_ <= 39 && kind_ != ck_group_column && kind_ != ck_count &&
                          (kind_ < ck_year || kind_ > ck_iso_year) && kind_ != ck_when && kind_ != ck_else &&
                          kind_ != ck_as_is;
  if (needs_main && !main_) return {};
  const std::string m = sub_sql(main_, connection, aliases);
  const std::string c = sub_sql(next_, connection, aliases);
  auto with_operand = [&](const std::string& rest) {
    return operand_ ? "(" + operand_->to_sql(connection, aliases) + ")" + rest : rest;
  };
  auto type_text = [&] { return sqldb_c::column_type_sql(explicit_.sql_type, explicit_.size, explicit_.decimals, false, false); };
  char buf[64];
  switch (kind_) {
    case ck_column:
    case ck_group_column:
      return column_name(connection, aliases) + c;
    case ck_add_column: case ck_sub_column: case ck_mul_column: case ck_div_column:
      return with_operand(operator_text(kind_) + column_name(connection, aliases) + c);
    case ck_add_constant: case ck_sub_constant: case ck_mul_constant: case ck_div_constant:
      return with_operand(operator_text(kind_) + constant_literal() + c);
    case ck_sum: return "SUM(" + m + ")" + c;
    case ck_max: return "MAX(" + m + ")" + c;
    case ck_min: return "MIN(" + m + ")" + c;
    case ck_avg: return "AVG(" + m + ")" + c;
    case ck_sign: return "SIGN(" + m + ")" + c;
    case ck_upper: return "UPPER(" + m + ")" + c;
    case ck_lower: return "LOWER(" + m + ")" + c;
    case ck_abs: return "ABS(" + m + ")" + c;
    case ck_count: {
      const std::string name = column_name(connection, aliases);
      // COUNT(*) takes no operand: what follows it stands outside.
      if (name.empty()) return "COUNT(*)" + c;
      return "COUNT(" + name + c + ")";
    }
    case ck_year: case ck_month: case ck_day: case ck_iso_week:
      return "DATEPART(" + operator_text(kind_) + ", " + column_name(connection, aliases) + ")" + c;
    case ck_iso_year:
      return "DATEPART(yy, DATEADD(ww, DATEDIFF(d, 0, " + column_name(connection, aliases) + ") / 7, 3))" + c;
    case ck_cast: return "CAST(" + m + " AS " + type_text() + ")" + c;
    case ck_round:
      std::snprintf(buf, sizeof buf, ", %d)", explicit_.decimals);
      return "ROUND(" + m + buf + c;
    case ck_round_truncate:
      std::snprintf(buf, sizeof buf, ", %d, 1)", explicit_.decimals);
      return "ROUND(" + m + buf + c;
    case ck_isnull: return "ISNULL(" + m + ", " + constant_literal() + ")" + c;
    case ck_substring:
      std::snprintf(buf, sizeof buf, ", %d, %d)", explicit_.decimals, explicit_.size);
      return "SUBSTRING(" + m + buf + c;
    case ck_complement: return "~(" + m + ")" + c;
    case ck_null_or_empty:
      return "CASE WHEN " + m + " IS NULL OR " + m + " = '' THEN " + constant_literal() + " ELSE " + m + " END" + c;
    case ck_case: return "CASE " + m + " END" + c;
    case ck_when: {
      const std::string r = main_ ? m : value_literal_at(1);
      if (r.empty()) return {};
      return " WHEN " + constant_literal() + " THEN " + r + c;
    }
    case ck_else: {
      const std::string r = main_ ? m : value_literal_at(0);
      return r.empty() ? std::string() : " ELSE " + r;
    }
    case ck_lower_bound: {
      const std::string r = value_literal_at(1);
      if (r.empty()) return {};
      return "CASE WHEN " + m + " < " + constant_literal() + " THEN " + r + " ELSE " + m + " END";
    }
    case ck_negate: return "-(" + m + ")" + c;
    case ck_as_is:
      // Without an argument the node stands for its constant: the first
      // operand of "10 - X", which keeps its place before the operator.
      if (!main_) return values_.field_count() ? constant_literal() + c : std::string();
      return m + c;
    case ck_try_convert: return "TRY_CONVERT(" + type_text() + ", " + m + ")" + c;
    case ck_utc_to_local: return "DATEADD(hh, DATEDIFF(hh, SYSUTCDATETIME(), SYSDATETIME()), " + m + ")" + c;
    default:
      return {};
  }
}

colexpr_c make_binary_expr(int kind, const colexpr_c& left, const colexpr_c& right) {
  colexpr_c result(left);
  auto appended = std::make_unique<colexpr_c>(right);
  appended->kind_ = kind;
  if (right.kind() >= 10) {
    // An aggregate or function: the operator, then right's whole text.
    appended->field_id_ = -1;
    appended->next_ = std::make_unique<colexpr_c>(right);
  }
  result.chain_end().next_ = std::move(appended);
  const value_type_t l = left.value_type();
  const value_type_t r = right.value_type();
  const int type = colexpr_c::binary_op_type(l.sql_type, r.sql_type);
  result.explicit_ = {type, std::max(l.size, r.size), type == 2 ? std::max(l.decimals, r.decimals) : 0};
  return result;
}

colexpr_c make_isnull_expr(const colexpr_c& x, const std::wstring& text) {
  const int id = x.field_id();
  colexpr_c node = x.explicit_.sql_type != 0
                       ? colexpr_c(id, ck_isnull, x.explicit_.sql_type, x.explicit_.size, x.explicit_.decimals)
                       : colexpr_c(id, ck_isnull, text, -1);
  if (x.explicit_.sql_type != 0) node.values_.set_wstring(id, nullptr, text);
  node.path_ = x.path_;
  node.explicit_ = x.explicit_;
  node.main_ = std::make_unique<colexpr_c>(x);
  return node;
}

}  // namespace lumdb
