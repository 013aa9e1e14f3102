#include "lumdb/record/field_set.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include <boost/lexical_cast.hpp>

#include "lumdb/record/numeric128.h"
#include "lumdb/record/text_forms.h"
#include "platform/text.h"

namespace lumdb {
namespace {

using boost::gregorian::date;
using boost::posix_time::ptime;

// Day numbers of 1400-01-01 and 9999-12-31, the calendar's range.
constexpr std::int64_t first_day_number = 2232400;
constexpr std::int64_t last_day_number = 5373484;
constexpr std::int64_t unix_epoch_day_number = 2440588;
constexpr std::int64_t seconds_per_day = 86400;

bool IsText(const field_c& field) { return field.sql_type == sql_varchar || field.sql_type == sql_wvarchar; }

bool PathsMatch(const field_path_t& candidate, const field_path_t& wanted) {
  if (candidate.size() != wanted.size()) return false;
  for (std::size_t i = 0; i < candidate.size(); ++i) {
    if (candidate[i] == -1 || candidate[i] != wanted[i]) return false;
  }
  return true;
}

// The calendar date of a day number; outside 1400 … 9999 the calendar's range error.
date DateOfDayNumber(std::int64_t dayNumber) {
  if (dayNumber < first_day_number || dayNumber > last_day_number) throw boost::gregorian::bad_year();
  const auto ymd = boost::gregorian::gregorian_calendar::from_day_number(static_cast<std::uint32_t>(dayNumber));
  return date(ymd.year, ymd.month, ymd.day);
}

// A stored date that passes the calendar's checks, else not-a-date.
date CheckedDate(int year, int month, int day) {
  if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1400 || year > 9999) return date();
  if (day > boost::gregorian::gregorian_calendar::end_of_month_day(static_cast<unsigned short>(year),
                                                                   static_cast<unsigned short>(month))) {
    return date();
  }
  return date(static_cast<unsigned short>(year), static_cast<unsigned short>(month), static_cast<unsigned short>(day));
}

// A date or time stamp field as a time stamp; not-a-date-time otherwise.
ptime TimestampOf(const field_c& field) {
  if (field.is_null()) return ptime();
  if (field.sql_type == sql_date) {
    const DATE_STRUCT& d = date_value(field);
    const date day = CheckedDate(d.year, d.month, d.day);
    return day.is_special() ? ptime() : ptime(day);
  }
  if (field.sql_type == sql_timestamp) {
    const TIMESTAMP_STRUCT& t = timestamp_value(field);
    const date day = CheckedDate(t.year, t.month, t.day);
    if (day.is_special()) return ptime();
    using namespace boost::posix_time;
    return ptime(day, hours(t.hour) + minutes(t.minute) + seconds(t.second) + microseconds(t.fraction / 1000));
  }
  return ptime();
}

std::int64_t SecondsSinceEpoch(const ptime& t) {
  return (t - ptime(date(1970, 1, 1))).total_seconds();
}

bool InIntRange(std::int64_t v) {
  return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
}
bool InIntRange(double x) { return x >= -2147483648.0 && x <= 2147483647.0; }
bool InInt64Range(double x) { return x >= -9223372036854775808.0 && x < 9223372036854775808.0; }

// Text trimmed and converted as a whole; 0 when it does not convert.
template <class T>
T NumberOfText(const std::string& text) {
  T value{};
  if (!boost::conversion::try_lexical_convert(platform::Trim(text), value)) return T{};
  return value;
}

// The value of a non-NULL field in the wide integer type, before range tests;
// nothing for the types that read as 0.
std::optional<std::int64_t> IntegerOf(const field_c& field) {
  switch (field.sql_type) {
    case sql_bit: return bit_value(field) ? 1 : 0;
    case sql_smallint: return smallint_value(field);
    case sql_integer: return integer_value(field);
    case sql_bigint: return bigint_value(field);
    case sql_numeric: return numeric128::integer_part(numeric_value(field));
    default: return std::nullopt;
  }
}

void StoreDate(field_c& field, const date& day) {
  if (field.sql_type == sql_date) {
    date_value(field) = DATE_STRUCT{static_cast<SQLSMALLINT>(day.year()), static_cast<SQLUSMALLINT>(day.month()),
                                    static_cast<SQLUSMALLINT>(day.day())};
  } else {
    timestamp_value(field) =
        TIMESTAMP_STRUCT{static_cast<SQLSMALLINT>(day.year()), static_cast<SQLUSMALLINT>(day.month()),
                         static_cast<SQLUSMALLINT>(day.day()), 0, 0, 0, 0};
  }
  field.indicator = 0;
}

// 1970-01-01 00:00:00 plus `seconds` into a time stamp field; the calendar's
// range error outside 1400 … 9999.
void StoreSecondsSinceEpoch(field_c& field, std::int64_t seconds) {
  std::int64_t days = seconds / seconds_per_day, rest = seconds % seconds_per_day;
  if (rest < 0) rest += seconds_per_day, --days;
  const date day = DateOfDayNumber(unix_epoch_day_number + days);
  timestamp_value(field) = TIMESTAMP_STRUCT{static_cast<SQLSMALLINT>(day.year()),
                                            static_cast<SQLUSMALLINT>(day.month()),
                                            static_cast<SQLUSMALLINT>(day.day()),
                                            static_cast<SQLUSMALLINT>(rest / 3600),
                                            static_cast<SQLUSMALLINT>(rest / 60 % 60),
                                            static_cast<SQLUSMALLINT>(rest % 60),
                                            0};
  field.indicator = 0;
}

// The field a setter writes, having taken the row's `touched` flag.
field_c* FindAndTouch(const field_set_c& row, std::int32_t id, const field_path_t* path) {
  field_c* field = row.find_field(id, path);
  if (field) field->touched = row.touched;
  return field;
}

}  // namespace

field_set_c::field_set_c(const field_set_c& other)
    : touched(other.touched), truncate_text(other.truncate_text), null_on_overflow(other.null_on_overflow) {
  fields_.reserve(other.fields_.size());
  for (const auto& field : other.fields_) {
    auto copy = field->clone();
    copy->touched = touched && field->touched;
    append(std::move(copy));
  }
}

field_set_c& field_set_c::operator=(const field_set_c& other) {
  if (this == &other) return *this;
  field_set_c copy(other);
  for (auto& field : copy.fields_) field->touched = false;
  *this = std::move(copy);
  return *this;
}

field_set_c::field_set_c(field_set_c&& other) noexcept
    : touched(other.touched),
      truncate_text(other.truncate_text),
      null_on_overflow(other.null_on_overflow),
      fields_(std::move(other.fields_)),
      by_id_(std::move(other.by_id_)) {
  other.fields_.clear();
  other.by_id_.clear();
}

field_set_c& field_set_c::operator=(field_set_c&& other) noexcept {
  if (this == &other) return *this;
  fields_ = std::move(other.fields_);
  by_id_ = std::move(other.by_id_);
  other.fields_.clear();
  other.by_id_.clear();
  touched = other.touched;
  truncate_text = other.truncate_text;
  null_on_overflow = other.null_on_overflow;
  return *this;
}

field_set_c::~field_set_c() = default;

void field_set_c::clear() {
  by_id_.clear();
  fields_.clear();
}

bool field_set_c::append(std::unique_ptr<field_c> field) {
  if (find_field(field->id, &field->path)) return false;
  field->position = static_cast<int>(fields_.size());
  fields_.push_back(std::move(field));
  by_id_.emplace(fields_.back()->id, fields_.back().get());
  return true;
}

bool field_set_c::add_field(std::int32_t id, const field_path_t* path, int sql_type, int column_size, int decimals) {
  auto field = make_field(id, path, sql_type, column_size, decimals);
  return field && append(std::move(field));
}

int field_set_c::add_field_auto_id(int sql_type, int column_size, int decimals) {
  std::int32_t largest = 0;
  for (const auto& field : fields_) largest = std::max(largest, field->id);
  if (largest == std::numeric_limits<std::int32_t>::max()) return -1;
  return add_field(largest + 1, nullptr, sql_type, column_size, decimals) ? largest + 1 : -1;
}

field_set_c field_set_c::select_fields(const std::vector<int>& indexes) const {
  field_set_c selected;
  selected.fields_.reserve(indexes.size());
  for (int index : indexes) {
    const field_c* field = field_at(index);
    if (!field) throw std::range_error("Field index out of range");
    if (!selected.append(field->clone())) throw std::runtime_error("Field copy failed.");
  }
  return selected;
}

field_c* field_set_c::find_field(std::int32_t id, const field_path_t* path) const {
  const auto [begin, end] = by_id_.equal_range(id);
  for (auto it = begin; it != end; ++it) {
    field_c* field = it->second;
    if (path ? PathsMatch(field->path, *path) : field->path.empty()) return field;
  }
  return nullptr;
}

int field_set_c::index_of(std::int32_t id, const field_path_t* path) const {
  const field_c* field = find_field(id, path);
  return field ? field->position : -1;
}

field_c* field_set_c::field_at(int index) const {
  return index >= 0 && index < field_count() ? fields_[static_cast<std::size_t>(index)].get() : nullptr;
}

int field_set_c::field_id_at(int index) const {
  const field_c* field = field_at(index);
  return field ? field->id : -1;
}

bool field_set_c::field_key_at(int index, std::int32_t& id, const field_path_t*& path) const {
  const field_c* field = field_at(index);
  if (!field) return false;
  id = field->id;
  path = field->path.empty() ? nullptr : &field->path;
  return true;
}

void* field_set_c::binding_info(int index, SQLLEN** indicator, SQLSMALLINT* sql_type, SQLLEN* buffer_length,
                                SQLSMALLINT* decimals) const {
  field_c* field = field_at(index);
  if (!field) return nullptr;
  if (indicator) *indicator = &field->indicator;
  if (sql_type) *sql_type = static_cast<SQLSMALLINT>(field->sql_type);
  if (buffer_length) *buffer_length = field->buffer_length();
  if (decimals) *decimals = field->decimals;
  return field->value;
}

bool field_set_c::is_null_at(int index) const {
  const field_c* field = field_at(index);
  return !field || field->is_null();
}

bool field_set_c::set_null(std::int32_t id, const field_path_t* path) {
  field_c* field = find_field(id, path);
  if (!field) return false;
  field->set_null();
  field->touched = touched;
  return true;
}

bool field_set_c::set_null_at(int index) {
  field_c* field = field_at(index);
  if (!field) return false;
  field->set_null();
  field->touched = touched;
  return true;
}

void field_set_c::set_all_null() {
  for (auto& field : fields_) {
    field->set_null();
    field->touched = touched;
  }
}

bool field_set_c::set_string(std::int32_t id, const field_path_t* path, std::string_view text) {
  field_c* field = FindAndTouch(*this, id, path);
  if (!field) return false;
  if (!IsText(*field) && text.empty()) {
    field->set_null();
    return true;
  }
  if (field->set_from_string(text)) return true;
  if (!truncate_text || !IsText(*field)) return false;
  const auto limit = static_cast<std::size_t>(field->column_size);
  if (field->sql_type == sql_varchar) {
    const std::string cut = platform::Utf8Truncate(text, limit);
    return cut.size() < text.size() && field->set_from_string(cut);
  }
  return set_wstring(id, path, widen(text));
}

bool field_set_c::set_wstring(std::int32_t id, const field_path_t* path, std::wstring_view text) {
  field_c* field = FindAndTouch(*this, id, path);
  if (!field) return false;
  if (!IsText(*field) && text.empty()) {
    field->set_null();
    return true;
  }
  if (field->set_from_wstring(text)) return true;
  if (!truncate_text || !IsText(*field)) return false;
  const auto limit = static_cast<std::size_t>(field->column_size);
  if (field->sql_type == sql_varchar) return set_string(id, path, narrow(text));
  // The first column_size UTF-16 units, one fewer rather than half a surrogate pair.
  const std::u16string units = to_utf16(text);
  if (units.size() <= limit) return false;
  std::size_t keep = limit;
  if (keep > 0 && units[keep - 1] >= 0xD800 && units[keep - 1] <= 0xDBFF) --keep;
  return field->set_from_wstring(from_utf16(std::u16string_view(units).substr(0, keep)));
}

bool field_set_c::parse_string(std::int32_t id, std::string_view text) { return parse_string(id, nullptr, text); }

bool field_set_c::parse_string(std::int32_t id, const field_path_t* path, std::string_view text) {
  field_c* field = FindAndTouch(*this, id, path);
  if (!field) return false;
  if (truncate_text && IsText(*field)) {
    std::string cut;
    if (field->sql_type == sql_varchar) {
      cut = platform::Utf8Truncate(text, static_cast<std::size_t>(field->column_size));
    } else {
      const std::u16string units = platform::Utf8ToUtf16(text);
      std::size_t keep = std::min(units.size(), static_cast<std::size_t>(field->column_size));
      if (keep < units.size() && keep > 0 && units[keep - 1] >= 0xD800 && units[keep - 1] <= 0xDBFF) --keep;
      cut = platform::Utf16ToUtf8(std::u16string_view(units).substr(0, keep));
    }
    return field->parse_string(cut);
  }
  return field->parse_string(text);
}

std::string field_set_c::sql_literal(std::int32_t id, const field_path_t* path, bool national) const {
  const field_c* field = find_field(id, path);
  if (!field) return {};
  if (field->is_null()) return "NULL";
  switch (field->sql_type) {
    case sql_bit:
      return bit_value(*field) ? "1" : "0";
    case sql_date:
    case sql_timestamp:
    case sql_guid:
      return "'" + field->to_string() + "'";
    case sql_varchar:
    case sql_wvarchar: {
      // A Unicode constant: letters outside the server's code page survive.
      std::string literal = national ? "N'" : "'";
      for (char c : field->to_string()) {
        literal.push_back(c);
        if (c == '\'') literal.push_back('\'');
      }
      literal.push_back('\'');
      return literal;
    }
    default:
      return field->to_string();
  }
}

bool field_set_c::copy_value_at(int source_index, const field_set_c& source, int target_index, bool mark) {
  field_c* target = field_at(target_index);
  const field_c* from = source.field_at(source_index);
  if (!target || !from || !copy_value(*target, *from)) return false;
  target->touched = mark && touched;
  return true;
}

bool field_set_c::copy_value_by_id(std::int32_t source_id, std::int32_t target_id, const field_set_c& source,
                                   bool mark) {
  field_c* target = find_field(target_id, nullptr);
  const field_c* from = source.find_field(source_id, nullptr);
  if (!target || !from || target->sql_type != from->sql_type || target->column_size != from->column_size ||
      target->decimals != from->decimals || !copy_value(*target, *from)) {
    return false;
  }
  target->touched = mark && touched;
  return true;
}

bool field_set_c::copy_values_from(const std::vector<std::int32_t>& ids, const field_set_c& source, bool mark) {
  std::vector<std::pair<field_c*, const field_c*>> pairs;
  pairs.reserve(ids.size());
  for (std::int32_t id : ids) {
    field_c* target = find_field(id, nullptr);
    const field_c* from = source.find_field(id, nullptr);
    if (!target || !from || target->sql_type != from->sql_type || target->column_size != from->column_size ||
        target->decimals != from->decimals) {
      return false;
    }
    pairs.emplace_back(target, from);
  }
  bool all = true;
  for (auto [target, from] : pairs) {
    target->touched = mark && touched;
    all = copy_value(*target, *from) && all;
  }
  return all;
}

int field_set_c::compare_field(std::int32_t id, const field_set_c& other, std::int32_t other_id) const {
  const field_c* a = find_field(id, nullptr);
  const field_c* b = other.find_field(other_id, nullptr);
  if (!a || !b || a->sql_type != b->sql_type) return -2;
  if (a->is_null() || b->is_null()) return a->is_null() && b->is_null() ? 0 : -2;
  return a->compare(*b);
}

int field_set_c::compare_field_at(int index, const field_set_c& other) const {
  const field_c* a = field_at(index);
  const field_c* b = other.field_at(index);
  if (!a || !b || a->sql_type != b->sql_type) return -2;
  return a->compare(*b);
}

bool field_set_c::equals(const field_set_c& other) const {
  if (field_count() != other.field_count()) return false;
  for (const auto& field : fields_) {
    const field_c* match = other.find_field(field->id, &field->path);
    if (!match || match->sql_type != field->sql_type || match->column_size != field->column_size ||
        match->decimals != field->decimals || field->compare(*match) != 0) {
      return false;
    }
  }
  return true;
}

// Getters.

int field_set_c::get_int(std::int32_t id, const field_path_t* path) const {
  const field_c* field = find_field(id, path);
  if (!field || field->is_null()) return 0;
  switch (field->sql_type) {
    case sql_double: {
      const double x = double_value(*field);
      return InIntRange(x) ? static_cast<int>(x) : 0;
    }
    case sql_date:
    case sql_timestamp: {
      const std::int64_t v = get_int64(id, path);
      return InIntRange(v) ? static_cast<int>(v) : 0;
    }
    case sql_varchar:
    case sql_wvarchar:
      return NumberOfText<int>(field->to_string());
    default: {
      const auto v = IntegerOf(*field);
      return v && InIntRange(*v) ? static_cast<int>(*v) : 0;
    }
  }
}

std::int64_t field_set_c::get_int64(std::int32_t id, const field_path_t* path) const {
  const field_c* field = find_field(id, path);
  if (!field || field->is_null()) return 0;
  switch (field->sql_type) {
    case sql_double: {
      const double x = double_value(*field);
      return InInt64Range(x) ? static_cast<std::int64_t>(x) : 0;
    }
    case sql_date: {
      const date day = get_date(id, path);
      return day.is_special() ? 0 : static_cast<std::int64_t>(day.julian_day());
    }
    case sql_timestamp: {
      const ptime t = get_timestamp(id, path);
      return t.is_special() ? 0 : SecondsSinceEpoch(t);
    }
    case sql_varchar:
    case sql_wvarchar:
      return NumberOfText<std::int64_t>(field->to_string());
    default:
      return IntegerOf(*field).value_or(0);
  }
}

double field_set_c::get_double(std::int32_t id, const field_path_t* path) const {
  const field_c* field = find_field(id, path);
  if (!field || field->is_null()) return 0.0;
  switch (field->sql_type) {
    case sql_double: return double_value(*field);
    case sql_numeric: return numeric128::to_double(numeric_value(*field));
    case sql_date:
    case sql_timestamp:
    case sql_bigint: return static_cast<double>(get_int64(id, path));
    case sql_varchar:
    case sql_wvarchar: return NumberOfText<double>(field->to_string());
    default: return static_cast<double>(IntegerOf(*field).value_or(0));
  }
}

bool field_set_c::get_bool(std::int32_t id, const field_path_t* path) const {
  const field_c* field = find_field(id, path);
  if (!field || field->is_null()) return false;
  switch (field->sql_type) {
    case sql_bit: return bit_value(*field);
    case sql_smallint: return smallint_value(*field) != 0;
    case sql_integer: return integer_value(*field) != 0;
    case sql_bigint: return bigint_value(*field) != 0;
    case sql_numeric: return numeric128::read(numeric_value(*field)).magnitude != 0;  // 0.01 is true
    case sql_double: return double_value(*field) != 0.0;  // a NaN is true
    default: return false;
  }
}

date field_set_c::get_date(std::int32_t id, const field_path_t* path) const {
  const field_c* field = find_field(id, path);
  if (!field) return date();
  const ptime t = TimestampOf(*field);
  return t.is_special() ? date() : t.date();
}

ptime field_set_c::get_timestamp(std::int32_t id, const field_path_t* path) const {
  const field_c* field = find_field(id, path);
  return field ? TimestampOf(*field) : ptime();
}

boost::uuids::uuid field_set_c::get_guid(std::int32_t id, const field_path_t* path) const {
  const field_c* field = find_field(id, path);
  if (!field || field->is_null() || field->sql_type != sql_guid) return boost::uuids::uuid{};
  return uuid_from_guid(guid_value(*field));
}

std::wstring field_set_c::get_wstring(std::int32_t id, const field_path_t* path) const {
  const field_c* field = find_field(id, path);
  if (!field || field->is_null()) return {};
  if (field->sql_type == sql_wvarchar) return from_utf16(wvarchar_value(*field));
  return widen(field->to_string());
}

std::string field_set_c::get_string(std::int32_t id, const field_path_t* path) const {
  const field_c* field = find_field(id, path);
  if (!field || field->is_null()) return {};
  if (field->sql_type == sql_bit) return bit_value(*field) ? "1" : "0";
  return field->to_string();
}

// Setters.

bool field_set_c::store_numeric(field_c& field, std::int64_t v, int scale) const {
  if (scale < 0 || scale > numeric128::max_digits) return false;  // no overflow: no number at all
  SQL_NUMERIC_STRUCT number = numeric_value(field);
  const int digits = field.column_size >= 1 && field.column_size <= numeric128::max_digits ? field.column_size
                                                                                            : numeric128::max_digits;
  if (!numeric128::store(number, field.decimals, numeric128::from_int64(v), field.column_size & 0xFF, scale,
                         digits)) {
    if (!null_on_overflow) return false;
    field.set_null();
    return true;
  }
  numeric_value(field) = number;
  field.indicator = 0;
  return true;
}

bool field_set_c::set_int(std::int32_t id, const field_path_t* path, int v) {
  field_c* field = FindAndTouch(*this, id, path);
  if (!field) return false;
  // Beyond set_int64 only this: a day number below 1 is no date.
  if (field->sql_type == sql_date && v < 0) {
    field->set_null();
    return true;
  }
  return set_int64(id, path, v);
}

bool field_set_c::set_int64(std::int32_t id, const field_path_t* path, std::int64_t v) {
  field_c* field = FindAndTouch(*this, id, path);
  if (!field) return false;
  switch (field->sql_type) {
    case sql_numeric:
      return store_numeric(*field, v, 0);
    case sql_integer:
      if (!InIntRange(v)) return false;
      integer_value(*field) = static_cast<int>(v);
      break;
    case sql_smallint:
      if (v < -32768 || v > 32767) return false;
      smallint_value(*field) = static_cast<short>(v);
      break;
    case sql_double:
      double_value(*field) = static_cast<double>(v);
      break;
    case sql_bigint:
      bigint_value(*field) = v;
      break;
    case sql_date:
      if (v == 0) {
        field->set_null();
        return true;
      }
      StoreDate(*field, DateOfDayNumber(v));
      break;
    case sql_timestamp:
      if (v == 0) {
        field->set_null();
        return true;
      }
      StoreSecondsSinceEpoch(*field, v);
      break;
    default:
      return false;
  }
  field->indicator = 0;
  return true;
}

bool field_set_c::set_double(std::int32_t id, const field_path_t* path, double x) {
  field_c* field = FindAndTouch(*this, id, path);
  if (!field) return false;
  switch (field->sql_type) {
    case sql_bit:
      bit_value(*field) = x != 0.0;
      break;
    case sql_bigint:
      if (!InInt64Range(x)) return false;
      bigint_value(*field) = static_cast<std::int64_t>(x);
      break;
    case sql_numeric: {
      const auto scaled = scaled_from_double(x, field->decimals);
      return scaled && store_numeric(*field, scaled->value, scaled->scale);
    }
    case sql_integer:
      if (!InIntRange(x)) return false;
      integer_value(*field) = static_cast<int>(x);
      break;
    case sql_smallint:
      if (!(x >= -32768.0 && x <= 32767.0)) return false;
      smallint_value(*field) = static_cast<short>(x);
      break;
    case sql_double:
      double_value(*field) = x;
      break;
    case sql_date:
      // Outside the int range counts as below 1: NULL.
      return set_int(id, path, InIntRange(x) ? static_cast<int>(x) : 0);
    default:
      return false;
  }
  field->indicator = 0;
  return true;
}

bool field_set_c::set_bool(std::int32_t id, const field_path_t* path, bool b) {
  field_c* field = FindAndTouch(*this, id, path);
  if (!field) return false;
  switch (field->sql_type) {
    case sql_integer:
    case sql_smallint:
    case sql_bigint:
    case sql_numeric:
      return set_int(id, path, b ? 1 : 0);
    case sql_double:
      return set_double(id, path, b ? 1.0 : 0.0);
    case sql_bit:
      bit_value(*field) = b;
      field->indicator = 0;
      return true;
    default:
      return false;
  }
}

bool field_set_c::set_date(std::int32_t id, const field_path_t* path, const date& day) {
  field_c* field = FindAndTouch(*this, id, path);
  if (!field) return false;
  if (field->sql_type != sql_date && field->sql_type != sql_timestamp) return false;
  if (day.is_special()) throw boost::gregorian::bad_year();
  StoreDate(*field, day);
  return true;
}

bool field_set_c::set_timestamp(std::int32_t id, const field_path_t* path, const ptime& stamp) {
  field_c* field = find_field(id, path);
  if (!field || field->sql_type != sql_timestamp) return false;
  field->touched = touched;
  if (stamp.is_special()) throw boost::gregorian::bad_year();
  const date day = stamp.date();
  const std::int64_t micros = stamp.time_of_day().total_microseconds();
  timestamp_value(*field) = TIMESTAMP_STRUCT{static_cast<SQLSMALLINT>(day.year()),
                                             static_cast<SQLUSMALLINT>(day.month()),
                                             static_cast<SQLUSMALLINT>(day.day()),
                                             static_cast<SQLUSMALLINT>(micros / 3600000000),
                                             static_cast<SQLUSMALLINT>(micros / 60000000 % 60),
                                             static_cast<SQLUSMALLINT>(micros / 1000000 % 60),
                                             static_cast<SQLUINTEGER>(micros % 1000000 * 1000)};
  field->indicator = 0;
  return true;
}

bool field_set_c::set_guid(std::int32_t id, const field_path_t* path, const boost::uuids::uuid& guid) {
  field_c* field = find_field(id, path);
  if (!field || field->sql_type != sql_guid) return false;
  field->touched = touched;
  guid_value(*field) = guid_from_uuid(guid);
  field->indicator = 0;
  return true;
}

bool field_set_c::set_scaled_int64(std::int32_t id, const field_path_t* path, std::int64_t v, int scale) {
  field_c* field = FindAndTouch(*this, id, path);
  if (!field) return false;
  switch (field->sql_type) {
    case sql_numeric:
      return store_numeric(*field, v, scale);
    case sql_integer:
    case sql_smallint:
    case sql_bigint:
      return scale == 0 && set_int64(id, path, v);
    case sql_double:
      if (scale < 0 || scale > 19) return false;
      double_value(*field) = static_cast<double>(v) / std::pow(10.0, scale);
      field->indicator = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace lumdb
