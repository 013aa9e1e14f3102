#include "lumdb/record/field.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <type_traits>
#include <typeinfo>

#include <boost/date_time/gregorian/gregorian_types.hpp>
#include <boost/lexical_cast.hpp>

#include "lumdb/record/number_text.h"
#include "lumdb/record/numeric128.h"
#include "lumdb/record/text_forms.h"
#include "platform/text.h"

namespace lumdb {
namespace {

// Bytes per character of each text buffer: UTF-8 needs at most four.
constexpr int utf8_width = 4;
constexpr int utf16_width = 2;

template <class T>
constexpr int code_of() {
  if constexpr (std::is_same_v<T, short>) return sql_smallint;
  else if constexpr (std::is_same_v<T, int>) return sql_integer;
  else if constexpr (std::is_same_v<T, std::int64_t>) return sql_bigint;
  else if constexpr (std::is_same_v<T, double>) return sql_double;
  else if constexpr (std::is_same_v<T, bool>) return sql_bit;
  else if constexpr (std::is_same_v<T, DATE_STRUCT>) return sql_date;
  else if constexpr (std::is_same_v<T, TIMESTAMP_STRUCT>) return sql_timestamp;
  else if constexpr (std::is_same_v<T, SQL_NUMERIC_STRUCT>) return sql_numeric;
  else if constexpr (std::is_same_v<T, SQLGUID>) return sql_guid;
  else if constexpr (std::is_same_v<T, std::string>) return sql_varchar;
  else if constexpr (std::is_same_v<T, std::wstring>) return sql_wvarchar;
  else return sql_binary;
}

template <class T>
constexpr bool is_integer_v = std::is_same_v<T, short> || std::is_same_v<T, int> || std::is_same_v<T, std::int64_t>;
template <class T>
constexpr bool is_buffer_v =
    std::is_same_v<T, std::string> || std::is_same_v<T, std::wstring> || std::is_same_v<T, std::vector<unsigned char>>;

// The element of a field's owned buffer.
template <class T>
using element_of = std::conditional_t<std::is_same_v<T, std::string>, char,
                                      std::conditional_t<std::is_same_v<T, std::wstring>, SQLWCHAR, unsigned char>>;

template <class T>
using storage_of = std::conditional_t<is_buffer_v<T>, std::unique_ptr<element_of<T>[]>, T>;

// A whole number of T's range: an optional sign, then digits and nothing else.
// Any other text raises boost::bad_lexical_cast, as a text that is no number
// does for a double; it never reaches Boost's integer conversion, which
// multiplies in int before it looks at the character (an overflow for SMALLINT).
template <class T>
T ParseWholeNumber(std::string_view text) {
  std::string_view digits = text;
  if (digits.size() > 1 && digits.front() == '+' && digits[1] >= '0' && digits[1] <= '9') digits.remove_prefix(1);
  T value{};
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) throw boost::bad_lexical_cast(typeid(std::string), typeid(T));
  return value;
}

template <class T>
int ThreeWay(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// A stored date checked against the calendar; raises its range errors.
boost::gregorian::date CalendarDate(SQLSMALLINT year, SQLUSMALLINT month, SQLUSMALLINT day) {
  return boost::gregorian::date(year, month, day);
}

// Precision of a numeric column for its range test; one outside 1 to 38
// (a column made without a size) allows the full 38 digits.
int NumericDigits(int columnSize) {
  return columnSize >= 1 && columnSize <= numeric128::max_digits ? columnSize : numeric128::max_digits;
}

}  // namespace

template <class T>
class field_spec_c final : public field_c {
 public:
  field_spec_c(std::int32_t fieldId, const field_path_t* fieldPath, int columnSize, int decimalDigits) {
    id = fieldId;
    if (fieldPath) path = *fieldPath;
    sql_type = code_of<T>();
    if constexpr (is_buffer_v<T> || std::is_same_v<T, SQL_NUMERIC_STRUCT>) column_size = std::max(columnSize, 0);
    if constexpr (std::is_same_v<T, SQL_NUMERIC_STRUCT>) {
      decimals = static_cast<std::int8_t>(decimalDigits);
      data_.precision = static_cast<SQLCHAR>(column_size & 0xFF);
      data_.scale = static_cast<SQLSCHAR>(decimals);
    }
    if constexpr (std::is_same_v<T, std::string>) element_width = utf8_width;
    if constexpr (std::is_same_v<T, std::wstring>) element_width = utf16_width;
    if constexpr (is_buffer_v<T>) {
      data_ = std::make_unique<element_of<T>[]>(capacity());  // zeroed
      value = data_.get();
    } else {
      value = &data_;
    }
  }

  std::unique_ptr<field_c> clone() const override {
    auto copy = std::make_unique<field_spec_c>(id, &path, column_size, decimals);
    copy->copy_base_from(*this);
    if constexpr (is_buffer_v<T>) {
      std::copy_n(data_.get(), capacity(), copy->data_.get());
    } else {
      copy->data_ = data_;
    }
    return copy;
  }

  bool set_from_string(std::string_view text) override {
    if constexpr (std::is_same_v<T, std::string>) {
      return StoreText(text);
    } else if constexpr (std::is_same_v<T, std::wstring>) {
      return StoreText(to_utf16(widen(text)));
    } else if constexpr (std::is_same_v<T, std::vector<unsigned char>>) {
      return false;
    } else {
      return set_from_wstring(widen(text));
    }
  }

  bool set_from_wstring(std::wstring_view text) override {
    if constexpr (std::is_same_v<T, std::string>) {
      return StoreText(narrow(text));
    } else if constexpr (std::is_same_v<T, std::wstring>) {
      return StoreText(to_utf16(text));
    } else if constexpr (std::is_same_v<T, std::vector<unsigned char>>) {
      return false;
    } else {
      if (text.empty()) {
        set_null();
        return true;
      }
      return StoreFromWide(text);
    }
  }

  std::string to_string() const override {
    if (is_null()) return {};
    if constexpr (is_integer_v<T>) {
      return std::to_string(data_);
    } else if constexpr (std::is_same_v<T, double>) {
      char buffer[64];
      const auto result = std::to_chars(buffer, buffer + sizeof buffer, data_, std::chars_format::general, 17);
      return std::string(buffer, result.ptr);
    } else if constexpr (std::is_same_v<T, bool>) {
      return data_ ? "TRUE" : "FALSE";
    } else if constexpr (std::is_same_v<T, DATE_STRUCT>) {
      return date_to_string(data_);
    } else if constexpr (std::is_same_v<T, TIMESTAMP_STRUCT>) {
      return timestamp_to_string(data_);
    } else if constexpr (std::is_same_v<T, SQL_NUMERIC_STRUCT>) {
      return numeric_to_string(data_);
    } else if constexpr (std::is_same_v<T, SQLGUID>) {
      return guid_to_string(data_);
    } else if constexpr (std::is_same_v<T, std::string>) {
      return std::string(Text());
    } else if constexpr (std::is_same_v<T, std::wstring>) {
      return platform::Utf16ToUtf8(Text());
    } else {
      return {};
    }
  }

  bool parse_string(std::string_view text) override {
    if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, std::wstring>) {
      return set_from_string(text);
    } else if constexpr (std::is_same_v<T, std::vector<unsigned char>>) {
      return false;
    } else {
      if (text.empty()) {
        set_null();
        return true;
      }
      T parsed = data_;
      bool ok;
      if constexpr (is_integer_v<T>) {
        parsed = ParseWholeNumber<T>(text);
        ok = true;
      } else if constexpr (std::is_same_v<T, double>) {
        parsed = boost::lexical_cast<T>(text);  // raises boost::bad_lexical_cast
        ok = true;
      } else if constexpr (std::is_same_v<T, bool>) {
        ok = parse_bool(text, parsed);
      } else if constexpr (std::is_same_v<T, DATE_STRUCT>) {
        ok = parse_date(text, parsed);
      } else if constexpr (std::is_same_v<T, TIMESTAMP_STRUCT>) {
        ok = parse_timestamp(text, parsed);
      } else if constexpr (std::is_same_v<T, SQL_NUMERIC_STRUCT>) {
        ok = parse_numeric(text, parsed) && FitsPrecision(parsed);
      } else {
        ok = parse_guid(text, parsed);
      }
      if (ok) Store(parsed);
      return ok;
    }
  }

  int compare(const field_c& other) const override {
    constexpr bool text = std::is_same_v<T, std::string> || std::is_same_v<T, std::wstring>;
    if (!text && other.sql_type != sql_type) return -2;
    if (is_null() || other.is_null()) return is_null() && other.is_null() ? 0 : (is_null() ? -1 : 1);
    if (text && other.sql_type != sql_type) return -2;
    const auto& that = static_cast<const field_spec_c&>(other);
    if constexpr (is_integer_v<T> || std::is_same_v<T, bool>) {
      return ThreeWay(data_, that.data_);
    } else if constexpr (std::is_same_v<T, double>) {
      return data_ == that.data_ ? 0 : (data_ < that.data_ ? -1 : 1);
    } else if constexpr (std::is_same_v<T, DATE_STRUCT>) {
      return ThreeWay(CalendarDate(data_.year, data_.month, data_.day),
                      CalendarDate(that.data_.year, that.data_.month, that.data_.day));
    } else if constexpr (std::is_same_v<T, TIMESTAMP_STRUCT>) {
      const int byDate = ThreeWay(CalendarDate(data_.year, data_.month, data_.day),
                                  CalendarDate(that.data_.year, that.data_.month, that.data_.day));
      if (byDate != 0) return byDate;
      const auto clock = [](const TIMESTAMP_STRUCT& t) {
        return std::make_tuple(t.hour, t.minute, t.second, t.fraction);
      };
      return ThreeWay(clock(data_), clock(that.data_));
    } else if constexpr (std::is_same_v<T, SQL_NUMERIC_STRUCT>) {
      return CompareNumeric(data_, that.data_);
    } else if constexpr (std::is_same_v<T, SQLGUID>) {
      const boost::uuids::uuid a = uuid_from_guid(data_), b = uuid_from_guid(that.data_);
      const int c = std::memcmp(a.data, b.data, 16);
      return (c > 0) - (c < 0);
    } else if constexpr (std::is_same_v<T, std::string>) {
      return compare_text_nocase(Text(), that.Text());
    } else if constexpr (std::is_same_v<T, std::wstring>) {
      return compare_text_nocase(platform::Utf16ToUtf8(Text()), platform::Utf16ToUtf8(that.Text()));
    } else {
      const int common = std::min(column_size, that.column_size);
      const int c = common > 0 ? std::memcmp(data_.get(), that.data_.get(), static_cast<std::size_t>(common)) : 0;
      if (c != 0) return c < 0 ? -1 : 1;
      // The longer value sorts first when the common part is equal.
      return column_size == that.column_size ? 0 : (column_size > that.column_size ? -1 : 1);
    }
  }

  // Element count of the owned buffer.
  std::size_t capacity() const {
    const auto size = static_cast<std::size_t>(column_size);
    if constexpr (std::is_same_v<T, std::string>) return (size + 1) * utf8_width;
    else if constexpr (std::is_same_v<T, std::wstring>) return size + 1;
    else return size;
  }

  // The stored text up to its NUL, never past the buffer.
  std::string_view Text() const requires(std::is_same_v<T, std::string>) {
    const char* begin = data_.get();
    return {begin, static_cast<std::size_t>(std::find(begin, begin + capacity(), '\0') - begin)};
  }
  std::u16string_view Text() const requires(std::is_same_v<T, std::wstring>) {
    const auto* begin = reinterpret_cast<const char16_t*>(data_.get());
    return {begin, static_cast<std::size_t>(std::find(begin, begin + capacity(), u'\0') - begin)};
  }

  // Text that fits (column_size characters; UTF-16 units for wide text) is
  // stored with its NUL; longer text is refused.
  bool StoreText(std::string_view text) requires(std::is_same_v<T, std::string>) {
    if (platform::Utf8Length(text) > static_cast<std::size_t>(column_size) || text.size() >= capacity()) return false;
    std::copy(text.begin(), text.end(), data_.get());
    data_[text.size()] = '\0';
    indicator = SQL_NTS;
    return true;
  }
  bool StoreText(std::u16string_view text) requires(std::is_same_v<T, std::wstring>) {
    if (text.size() > static_cast<std::size_t>(column_size)) return false;
    std::copy(text.begin(), text.end(), data_.get());
    data_[text.size()] = 0;
    indicator = SQL_NTS;
    return true;
  }

  void Store(const T& v) requires(!is_buffer_v<T>) {
    data_ = v;
    if constexpr (std::is_same_v<T, SQL_NUMERIC_STRUCT>) data_.precision = static_cast<SQLCHAR>(column_size & 0xFF);
    indicator = 0;
  }

  bool FitsPrecision(const SQL_NUMERIC_STRUCT& number) const {
    return numeric128::read(number).magnitude <= numeric128::pow10(NumericDigits(column_size)) - 1;
  }

  static int CompareNumeric(const SQL_NUMERIC_STRUCT& a, const SQL_NUMERIC_STRUCT& b) {
    const auto clampScale = [](int s) { return std::clamp(s, 0, numeric128::max_digits); };
    numeric128::value_t va = numeric128::read(a), vb = numeric128::read(b);
    const bool negA = va.negative && va.magnitude != 0, negB = vb.negative && vb.magnitude != 0;
    if (negA != negB) return negA ? -1 : 1;
    int sa = clampScale(a.scale), sb = clampScale(b.scale);
    // Bring the smaller scale up; a product beyond 128 bits is larger than any magnitude.
    int magnitudeOrder;
    const auto scaledOrder = [](numeric128::u128 m, int diff, numeric128::u128 other) {
      const numeric128::u128 factor = numeric128::pow10(diff);
      if (m > ~numeric128::u128{0} / factor) return 1;
      return ThreeWay(m * factor, other);
    };
    if (sa < sb) {
      magnitudeOrder = scaledOrder(va.magnitude, sb - sa, vb.magnitude);
    } else {
      magnitudeOrder = -scaledOrder(vb.magnitude, sa - sb, va.magnitude);
    }
    return negA ? -magnitudeOrder : magnitudeOrder;
  }

  bool StoreFromWide(std::wstring_view text) requires(!is_buffer_v<T>) {
    if constexpr (std::is_same_v<T, short> || std::is_same_v<T, int> || std::is_same_v<T, std::int64_t>) {
      const auto v = number_text::extract_integer(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
      if (!v) return false;
      Store(static_cast<T>(*v));
      return true;
    } else if constexpr (std::is_same_v<T, double>) {
      const auto v = number_text::extract_double(text);
      if (!v) return false;
      Store(*v);
      return true;
    } else if constexpr (std::is_same_v<T, bool>) {
      Store(text.front() == L'T');
      return true;
    } else if constexpr (std::is_same_v<T, DATE_STRUCT>) {
      DATE_STRUCT date{};
      if (!parse_date(text, date)) return false;
      Store(date);
      return true;
    } else if constexpr (std::is_same_v<T, TIMESTAMP_STRUCT>) {
      // A full time stamp keeps its time; otherwise the date at midnight.
      TIMESTAMP_STRUCT stamp{};
      const bool ascii = std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0 && c < 0x80; });
      if (ascii && parse_timestamp(narrow(text), stamp)) {
        Store(stamp);
        return true;
      }
      DATE_STRUCT date{};
      if (!parse_date(text, date)) return false;
      Store(TIMESTAMP_STRUCT{date.year, date.month, date.day, 0, 0, 0, 0});
      return true;
    } else if constexpr (std::is_same_v<T, SQL_NUMERIC_STRUCT>) {
      SQL_NUMERIC_STRUCT number = data_;
      if (!parse_numeric(text, number) || !FitsPrecision(number)) return false;
      Store(number);
      return true;
    } else {
      SQLGUID guid{};
      if (!parse_guid(text, guid)) return false;
      Store(guid);
      return true;
    }
  }

  alignas(8) storage_of<T> data_{};
};


namespace {

template <class T>
field_spec_c<T>& As(field_c& field) {
  if (field.sql_type != code_of<T>()) throw std::bad_cast();
  return static_cast<field_spec_c<T>&>(field);
}

template <class T>
const field_spec_c<T>& As(const field_c& field) {
  if (field.sql_type != code_of<T>()) throw std::bad_cast();
  return static_cast<const field_spec_c<T>&>(field);
}

}  // namespace

SQLLEN field_c::buffer_length() const {
  switch (sql_type) {
    case sql_varchar:
    case sql_wvarchar:
      return static_cast<SQLLEN>(column_size + 1) * element_width;
    case sql_binary:
      return column_size;
    default:
      return 0;
  }
}

void field_c::copy_base_from(const field_c& other) {
  id = other.id;
  sql_type = other.sql_type;
  column_size = other.column_size;
  decimals = other.decimals;
  path = other.path;
  element_width = other.element_width;
  position = other.position;
  touched = false;
  indicator = other.indicator;
}

std::unique_ptr<field_c> make_field(std::int32_t id, const field_path_t* path, int sql_type, int column_size,
                                    int decimals) {
  switch (sql_type) {
    case sql_smallint: return std::make_unique<field_spec_c<short>>(id, path, column_size, decimals);
    case sql_integer: return std::make_unique<field_spec_c<int>>(id, path, column_size, decimals);
    case sql_bigint: return std::make_unique<field_spec_c<std::int64_t>>(id, path, column_size, decimals);
    case sql_double: return std::make_unique<field_spec_c<double>>(id, path, column_size, decimals);
    case sql_bit: return std::make_unique<field_spec_c<bool>>(id, path, column_size, decimals);
    case sql_date: return std::make_unique<field_spec_c<DATE_STRUCT>>(id, path, column_size, decimals);
    case sql_timestamp: return std::make_unique<field_spec_c<TIMESTAMP_STRUCT>>(id, path, column_size, decimals);
    case sql_numeric: return std::make_unique<field_spec_c<SQL_NUMERIC_STRUCT>>(id, path, column_size, decimals);
    case sql_guid: return std::make_unique<field_spec_c<SQLGUID>>(id, path, column_size, decimals);
    case sql_varchar: return std::make_unique<field_spec_c<std::string>>(id, path, column_size, decimals);
    case sql_wvarchar: return std::make_unique<field_spec_c<std::wstring>>(id, path, column_size, decimals);
    case sql_binary:
      return std::make_unique<field_spec_c<std::vector<unsigned char>>>(id, path, column_size, decimals);
    default: return nullptr;
  }
}

short& smallint_value(field_c& field) { return As<short>(field).data_; }
int& integer_value(field_c& field) { return As<int>(field).data_; }
std::int64_t& bigint_value(field_c& field) { return As<std::int64_t>(field).data_; }
double& double_value(field_c& field) { return As<double>(field).data_; }
bool& bit_value(field_c& field) { return As<bool>(field).data_; }
DATE_STRUCT& date_value(field_c& field) { return As<DATE_STRUCT>(field).data_; }
TIMESTAMP_STRUCT& timestamp_value(field_c& field) { return As<TIMESTAMP_STRUCT>(field).data_; }
SQL_NUMERIC_STRUCT& numeric_value(field_c& field) { return As<SQL_NUMERIC_STRUCT>(field).data_; }
SQLGUID& guid_value(field_c& field) { return As<SQLGUID>(field).data_; }
const short& smallint_value(const field_c& field) { return As<short>(field).data_; }
const int& integer_value(const field_c& field) { return As<int>(field).data_; }
const std::int64_t& bigint_value(const field_c& field) { return As<std::int64_t>(field).data_; }
const double& double_value(const field_c& field) { return As<double>(field).data_; }
const bool& bit_value(const field_c& field) { return As<bool>(field).data_; }
const DATE_STRUCT& date_value(const field_c& field) { return As<DATE_STRUCT>(field).data_; }
const TIMESTAMP_STRUCT& timestamp_value(const field_c& field) { return As<TIMESTAMP_STRUCT>(field).data_; }
const SQL_NUMERIC_STRUCT& numeric_value(const field_c& field) { return As<SQL_NUMERIC_STRUCT>(field).data_; }
const SQLGUID& guid_value(const field_c& field) { return As<SQLGUID>(field).data_; }

std::string_view varchar_value(const field_c& field) { return As<std::string>(field).Text(); }
std::u16string_view wvarchar_value(const field_c& field) { return As<std::wstring>(field).Text(); }

std::span<const unsigned char> binary_value(const field_c& field) {
  const auto& binary = As<std::vector<unsigned char>>(field);
  return {binary.data_.get(), binary.capacity()};
}

bool set_binary_value(field_c& field, std::span<const unsigned char> bytes) {
  if (field.sql_type != sql_binary) return false;
  auto& binary = As<std::vector<unsigned char>>(field);
  if (bytes.size() > binary.capacity()) return false;
  std::copy(bytes.begin(), bytes.end(), binary.data_.get());
  std::fill(binary.data_.get() + bytes.size(), binary.data_.get() + binary.capacity(), 0);
  field.indicator = static_cast<SQLLEN>(bytes.size());
  return true;
}

bool copy_value(field_c& target, const field_c& source) {
  if (target.sql_type != source.sql_type) return false;
  const int type = source.sql_type;
  if ((type == sql_varchar || type == sql_wvarchar || type == sql_binary) &&
      target.column_size != source.column_size) {
    return false;
  }
  switch (type) {
    case sql_smallint: As<short>(target).data_ = As<short>(source).data_; break;
    case sql_integer: As<int>(target).data_ = As<int>(source).data_; break;
    case sql_bigint: As<std::int64_t>(target).data_ = As<std::int64_t>(source).data_; break;
    case sql_double: As<double>(target).data_ = As<double>(source).data_; break;
    case sql_bit: As<bool>(target).data_ = As<bool>(source).data_; break;
    case sql_date: As<DATE_STRUCT>(target).data_ = As<DATE_STRUCT>(source).data_; break;
    case sql_timestamp: As<TIMESTAMP_STRUCT>(target).data_ = As<TIMESTAMP_STRUCT>(source).data_; break;
    case sql_numeric: As<SQL_NUMERIC_STRUCT>(target).data_ = As<SQL_NUMERIC_STRUCT>(source).data_; break;
    case sql_guid: As<SQLGUID>(target).data_ = As<SQLGUID>(source).data_; break;
    case sql_varchar: {
      const auto text = As<std::string>(source).Text();
      std::copy(text.begin(), text.end(), As<std::string>(target).data_.get());
      if (text.size() < As<std::string>(target).capacity()) As<std::string>(target).data_[text.size()] = '\0';
      break;
    }
    case sql_wvarchar: {
      const auto text = As<std::wstring>(source).Text();
      std::copy(text.begin(), text.end(), As<std::wstring>(target).data_.get());
      if (text.size() < As<std::wstring>(target).capacity()) As<std::wstring>(target).data_[text.size()] = 0;
      break;
    }
    default: {
      const auto& from = As<std::vector<unsigned char>>(source);
      std::copy_n(from.data_.get(), from.capacity(), As<std::vector<unsigned char>>(target).data_.get());
      break;
    }
  }
  target.indicator = source.indicator;
  return true;
}

}  // namespace lumdb
