#include "lumdb/record/session.h"

#include <new>

#include "lumdb/record/errors.h"
#include "lumdb/record/sqldb.h"
#include "lumdb/record/sqlstmt.h"

namespace lumdb {

session_c::session_c() : dbobj_c(nullptr) {}

session_c::~session_c() = default;

std::error_code session_c::before_connect() { return success; }
std::error_code session_c::before_disconnect() { return success; }

std::error_code session_c::open(std::string_view server, std::string_view database, std::string_view user,
                                std::string_view password) {
  if (const std::error_code refused = before_connect()) return refused;
  std::unique_ptr<sqldb_c> fresh(new (std::nothrow) sqldb_c(this));
  if (!fresh) return make_error<session_c>(not_ready);
  if (const std::error_code failed = fresh->connect(server, database, user, password, application_name_)) {
    open_failure_text_ = fresh->last_diagnostic_text();
    return failed;
  }
  open_failure_text_.clear();
  connection_ = std::move(fresh);
  if (const std::error_code failed = on_connected()) {
    close();
    return failed;
  }
  return success;
}

std::error_code session_c::close() {
  if (!connection_) return success;
  if (const std::error_code refused = before_disconnect()) return refused;
  connection_->disconnect();
  connection_.reset();
  return success;
}

std::error_code session_c::on_connected() {
  sqldb_c* db = connection();
  if (!db || !db->is_sql_server()) return success;  // the week starts on Monday in SQL Server's own terms only
  sqlstmt_c statement(db);
  if (const std::error_code failed = statement.allocate(false)) return failed;
  if (const std::error_code failed = statement.exec_direct("SET DATEFIRST 1")) return failed;
  return statement.more_results();
}

}  // namespace lumdb
