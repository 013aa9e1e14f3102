#pragma once
// A session on one SQL company database: owns its connection and gives the
// hooks a derived session may replace around connecting and disconnecting.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "lumdb/record/dbobj.h"

namespace lumdb {

class sqldb_c;

class session_c : public dbobj_c {
 public:
  session_c();
  ~session_c() override;
  session_c(const session_c&) = delete;
  session_c& operator=(const session_c&) = delete;

  session_c* session() const override { return const_cast<session_c*>(this); }

  // Connects (an empty user: trusted connection). A failure leaves the session as it was.
  // A driver manager that refuses ODBC 3.80 throws db_error 105.
  std::error_code open(std::string_view server, std::string_view database, std::string_view user,
                       std::string_view password);
  virtual std::error_code close();
  virtual sqldb_c* connection() const { return connection_.get(); }

  // Called with the tables a unit of work changed, most referenced first.
  virtual void tables_modified(const std::vector<std::int32_t>& table_ids, std::int32_t unit) {}
  virtual std::error_code before_connect();
  virtual std::error_code before_disconnect();
  // Runs "SET DATEFIRST 1" on SQL Server.
  virtual std::error_code on_connected();

  // The driver's words (sqldb_c::last_diagnostic_text) of the last open that
  // could not connect; empty after an open that did.
  const std::string& open_failure_text() const { return open_failure_text_; }

  // Sent to the server as "Application Name" when not empty.
  void set_application_name(std::string name) { application_name_ = std::move(name); }
  const std::string& application_name() const { return application_name_; }

 private:
  std::unique_ptr<sqldb_c> connection_;
  std::string application_name_;
  std::string open_failure_text_;
};

}  // namespace lumdb
