#include "lumdb/record/field_set.h"

#include <stdexcept>

namespace lumdb {
namespace {
[[noreturn]] void NotYet() { throw std::logic_error("not implemented"); }
}  // namespace

field_set_c::field_set_c(const field_set_c&) { NotYet(); }
field_set_c& field_set_c::operator=(const field_set_c&) { NotYet(); }
field_set_c::field_set_c(field_set_c&& other) noexcept
    : touched(other.touched), truncate_text(other.truncate_text), null_on_overflow(other.null_on_overflow),
      fields_(std::move(other.fields_)), by_id_(std::move(other.by_id_)) {}
field_set_c& field_set_c::operator=(field_set_c&&) noexcept { return *this; }
field_set_c::~field_set_c() = default;
void field_set_c::clear() { NotYet(); }
bool field_set_c::add_field(std::int32_t, const field_path_t*, int, int, int) { NotYet(); }
int field_set_c::add_field_auto_id(int, int, int) { NotYet(); }
field_set_c field_set_c::select_fields(const std::vector<int>&) const { NotYet(); }
field_c* field_set_c::find_field(std::int32_t, const field_path_t*) const { NotYet(); }
int field_set_c::index_of(std::int32_t, const field_path_t*) const { NotYet(); }
field_c* field_set_c::field_at(int) const { NotYet(); }
int field_set_c::field_id_at(int) const { NotYet(); }
bool field_set_c::field_key_at(int, std::int32_t&, const field_path_t*&) const { NotYet(); }
void* field_set_c::binding_info(int, SQLLEN**, SQLSMALLINT*, SQLLEN*, SQLSMALLINT*) const { NotYet(); }
bool field_set_c::is_null_at(int) const { NotYet(); }
bool field_set_c::set_null(std::int32_t, const field_path_t*) { NotYet(); }
bool field_set_c::set_null_at(int) { NotYet(); }
void field_set_c::set_all_null() { NotYet(); }
bool field_set_c::set_string(std::int32_t, const field_path_t*, std::string_view) { NotYet(); }
bool field_set_c::set_wstring(std::int32_t, const field_path_t*, std::wstring_view) { NotYet(); }
bool field_set_c::parse_string(std::int32_t, std::string_view) { NotYet(); }
bool field_set_c::parse_string(std::int32_t, const field_path_t*, std::string_view) { NotYet(); }
std::string field_set_c::sql_literal(std::int32_t, const field_path_t*) const { NotYet(); }
bool field_set_c::copy_value_at(int, const field_set_c&, int, bool) { NotYet(); }
bool field_set_c::copy_value_by_id(std::int32_t, std::int32_t, const field_set_c&, bool) { NotYet(); }
bool field_set_c::copy_values_from(const std::vector<std::int32_t>&, const field_set_c&, bool) { NotYet(); }
int field_set_c::compare_field(std::int32_t, const field_set_c&, std::int32_t) const { NotYet(); }
int field_set_c::compare_field_at(int, const field_set_c&) const { NotYet(); }
bool field_set_c::equals(const field_set_c&) const { NotYet(); }
int field_set_c::get_int(std::int32_t, const field_path_t*) const { NotYet(); }
std::int64_t field_set_c::get_int64(std::int32_t, const field_path_t*) const { NotYet(); }
double field_set_c::get_double(std::int32_t, const field_path_t*) const { NotYet(); }
bool field_set_c::get_bool(std::int32_t, const field_path_t*) const { NotYet(); }
boost::gregorian::date field_set_c::get_date(std::int32_t, const field_path_t*) const { NotYet(); }
boost::posix_time::ptime field_set_c::get_timestamp(std::int32_t, const field_path_t*) const { NotYet(); }
boost::uuids::uuid field_set_c::get_guid(std::int32_t, const field_path_t*) const { NotYet(); }
std::wstring field_set_c::get_wstring(std::int32_t, const field_path_t*) const { NotYet(); }
std::string field_set_c::get_string(std::int32_t, const field_path_t*) const { NotYet(); }
bool field_set_c::set_int(std::int32_t, const field_path_t*, int) { NotYet(); }
bool field_set_c::set_int64(std::int32_t, const field_path_t*, std::int64_t) { NotYet(); }
bool field_set_c::set_double(std::int32_t, const field_path_t*, double) { NotYet(); }
bool field_set_c::set_bool(std::int32_t, const field_path_t*, bool) { NotYet(); }
bool field_set_c::set_date(std::int32_t, const field_path_t*, const boost::gregorian::date&) { NotYet(); }
bool field_set_c::set_timestamp(std::int32_t, const field_path_t*, const boost::posix_time::ptime&) { NotYet(); }
bool field_set_c::set_guid(std::int32_t, const field_path_t*, const boost::uuids::uuid&) { NotYet(); }
bool field_set_c::set_scaled_int64(std::int32_t, const field_path_t*, std::int64_t, int) { NotYet(); }
bool field_set_c::append(std::unique_ptr<field_c>) { NotYet(); }
bool field_set_c::store_numeric(field_c&, std::int64_t, int) const { NotYet(); }

}  // namespace lumdb
