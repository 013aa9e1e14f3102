#include "lumdb/record/field.h"

#include <stdexcept>

namespace lumdb {
namespace {
[[noreturn]] void NotYet() { throw std::logic_error("not implemented"); }
}  // namespace

SQLLEN field_c::buffer_length() const { NotYet(); }
void field_c::copy_base_from(const field_c&) { NotYet(); }
std::unique_ptr<field_c> make_field(std::int32_t, const field_path_t*, int, int, int) { NotYet(); }
short& smallint_value(field_c&) { NotYet(); }
int& integer_value(field_c&) { NotYet(); }
std::int64_t& bigint_value(field_c&) { NotYet(); }
double& double_value(field_c&) { NotYet(); }
bool& bit_value(field_c&) { NotYet(); }
DATE_STRUCT& date_value(field_c&) { NotYet(); }
TIMESTAMP_STRUCT& timestamp_value(field_c&) { NotYet(); }
SQL_NUMERIC_STRUCT& numeric_value(field_c&) { NotYet(); }
SQLGUID& guid_value(field_c&) { NotYet(); }
const short& smallint_value(const field_c&) { NotYet(); }
const int& integer_value(const field_c&) { NotYet(); }
const std::int64_t& bigint_value(const field_c&) { NotYet(); }
const double& double_value(const field_c&) { NotYet(); }
const bool& bit_value(const field_c&) { NotYet(); }
const DATE_STRUCT& date_value(const field_c&) { NotYet(); }
const TIMESTAMP_STRUCT& timestamp_value(const field_c&) { NotYet(); }
const SQL_NUMERIC_STRUCT& numeric_value(const field_c&) { NotYet(); }
const SQLGUID& guid_value(const field_c&) { NotYet(); }
std::string_view varchar_value(const field_c&) { NotYet(); }
std::u16string_view wvarchar_value(const field_c&) { NotYet(); }
std::span<const unsigned char> binary_value(const field_c&) { NotYet(); }
bool set_binary_value(field_c&, std::span<const unsigned char>) { NotYet(); }

}  // namespace lumdb
