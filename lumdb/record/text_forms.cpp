#include "lumdb/record/text_forms.h"

#include <stdexcept>

namespace lumdb {
namespace {
[[noreturn]] void NotYet() { throw std::logic_error("not implemented"); }
}  // namespace

bool parse_guid(std::string_view, SQLGUID&) { NotYet(); }
bool parse_guid(std::wstring_view, SQLGUID&) { NotYet(); }
std::string guid_to_string(const SQLGUID&) { NotYet(); }
bool parse_date(std::string_view, DATE_STRUCT&) { NotYet(); }
bool parse_date(std::wstring_view, DATE_STRUCT&) { NotYet(); }
std::wstring date_to_wstring(const DATE_STRUCT&) { NotYet(); }
std::string date_to_string(const DATE_STRUCT&) { NotYet(); }
bool parse_timestamp(std::string_view, TIMESTAMP_STRUCT&) { NotYet(); }
std::wstring timestamp_to_wstring(const TIMESTAMP_STRUCT&) { NotYet(); }
std::string timestamp_to_string(const TIMESTAMP_STRUCT&) { NotYet(); }
bool parse_numeric(std::string_view, SQL_NUMERIC_STRUCT&) { NotYet(); }
bool parse_numeric(std::wstring_view, SQL_NUMERIC_STRUCT&) { NotYet(); }
std::string numeric_to_string(const SQL_NUMERIC_STRUCT&) { NotYet(); }
bool parse_bool(std::string_view, bool&) { NotYet(); }
bool parse_int(std::wstring_view, int&) { NotYet(); }
std::wstring widen(std::string_view) { NotYet(); }
std::string narrow(std::wstring_view) { NotYet(); }
std::u16string to_utf16(std::wstring_view) { NotYet(); }
std::wstring from_utf16(std::u16string_view) { NotYet(); }
int compare_text_nocase(std::string_view, std::string_view) { NotYet(); }
int compare_text_nocase(std::string_view, std::wstring_view) { NotYet(); }
int compare_text_nocase(std::wstring_view, std::string_view) { NotYet(); }
SQLGUID guid_from_uuid(const boost::uuids::uuid&) { NotYet(); }
boost::uuids::uuid uuid_from_guid(const SQLGUID&) { NotYet(); }
scaled_int_t numeric_to_scaled(const SQL_NUMERIC_STRUCT&) { NotYet(); }
bool numeric_from_int64(SQL_NUMERIC_STRUCT&, int, std::int64_t, int, int) { NotYet(); }
std::optional<scaled_int_t> scaled_from_double(double, int) { NotYet(); }

}  // namespace lumdb
