#include "lumdb/record/odbc_platform.h"

#include <array>
#include <clocale>
#include <cstring>

#include <langinfo.h>
#include <sqlite3.h>

#include "platform/folders.h"
#include "platform/text.h"

namespace lumdb {

namespace {
bool starts_with_no_case(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && platform::EqualsNoCase(text.substr(0, prefix.size()), prefix);
}
}  // namespace

std::string map_server_name(std::string_view server) {
  if (server.empty() || server == ".") return "localhost";
  static constexpr std::array<std::string_view, 3> local_prefixes{".\\", "(local)", "(localhost)"};
  for (std::string_view prefix : local_prefixes) {
    if (!starts_with_no_case(server, prefix)) continue;
    // ".\X" keeps its backslash: only the dot names the host.
    const std::size_t host_length = prefix == ".\\" ? 1 : prefix.size();
    return "localhost" + std::string(server.substr(host_length));
  }
  return std::string(server);
}

std::optional<std::string> driver_override() {
  auto value = platform::GetEnvironment(driver_override_variable);
  if (!value || value->empty()) return std::nullopt;
  return value;
}

std::string extra_connection_attributes(const std::vector<std::string>& driver_attributes) {
  static constexpr std::string_view key = "ConnectionAttributes=";
  for (const std::string& attribute : driver_attributes) {
    if (!starts_with_no_case(attribute, key)) continue;
    std::string value(platform::Trim(std::string_view(attribute).substr(key.size())));
    if (!value.empty() && value.back() != ';') value += ';';
    return value;
  }
  return {};
}

bool is_sql_server_dbms(std::string_view dbms_name) { return dbms_name == "Microsoft SQL Server"; }

void use_utf8_for_driver_manager_conversions() {
  if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
}

void set_up_sqlite_for_one_thread_per_connection() {
  static const bool once = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
    return true;
  }();
  (void)once;
}

}  // namespace lumdb
