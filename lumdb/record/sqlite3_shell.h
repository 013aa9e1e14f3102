#pragma once
// For the benchmarks that set our SQLite reads beside the sqlite3 shell's: runs
// the shell on a database file with the given SQL, its output (every row of
// every SELECT) going to /dev/null.
#include <optional>
#include <string>

#include "platform/process.h"

namespace lumdb {

// What the shell alone used; nothing when it could not be started or did not
// end successfully.
inline std::optional<platform::EndedProcess> RunSqlite3ToDevNull(const std::string& database, const std::string& sql) {
  auto ended = platform::RunProcess("sqlite3", {database, sql}, {.outputFile = "/dev/null"});
  if (!ended || !ended->Succeeded()) return std::nullopt;
  return ended;
}

}  // namespace lumdb
