// 100,000 rows of eight columns read from a SQLite database: through
// sqlstmt_c (unixODBC and the SQLite ODBC driver, every column bound to a
// row buffer field), and by the sqlite3 shell printing the same SELECT to
// /dev/null, for comparison. The database is made once in a fresh folder
// under the temp folder, removed at the end.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "lumdb/record/errors.h"
#include "lumdb/record/field_set.h"
#include "lumdb/record/session.h"
#include "lumdb/record/sqldb.h"
#include "lumdb/record/sqlite3_shell.h"
#include "lumdb/record/sqlstmt.h"
#include "platform/folders.h"

namespace {

constexpr int kRows = 100000;

// The project's own driver registration, unless the caller names another.
const int kOdbcSysIni = ::setenv("ODBCSYSINI", ODBC_SYSINI_DIR, 0);
const char* const kSelect = "SELECT ID, ANTAL, SALDO, NAMN, ORT, REGDAT, BELOPP, ANDRAD FROM KUND";

struct Company {
  Company() {
    const auto folder = platform::MakeUniqueFolder(platform::TempFolder(), "sqlstmt-benchmark-");
    if (!folder) return;
    this->folder = *folder;
    path = (*folder / "company.db").string();
    // An empty file is an empty database (the driver is told never to create one).
    if (std::FILE* empty = std::fopen(path.c_str(), "w")) std::fclose(empty);
  }
  ~Company() {
    session.close();
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
  }
  std::filesystem::path folder;
  std::string path;
  lumdb::session_c session;
};

// Opens the benchmark database, filling it the first time.
Company& BenchmarkCompany() {
  static Company company;
  if (company.session.connection() || company.path.empty()) return company;
  if (company.session.open("", company.path, "", "")) return company;
  lumdb::sqlstmt_c statement(company.session.connection());
  statement.allocate(false);
  statement.exec_direct(
      "CREATE TABLE KUND (ID INT PRIMARY KEY, ANTAL BIGINT, SALDO DOUBLE PRECISION, NAMN NVARCHAR(40), "
      "ORT NVARCHAR(30), REGDAT DATE, BELOPP NUMERIC(15, 2), ANDRAD DATETIME2(6))");
  statement.exec_direct(
      "INSERT INTO KUND WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 100000) "
      "SELECT I, I * 1000003, I / 8.0, 'Åsa Öberg AB ' || I, "
      "CASE I % 3 WHEN 0 THEN 'Göteborg' WHEN 1 THEN 'Malmö' ELSE 'Örebro' END, "
      "'2024-01-31', (I % 100000) || '.25', '2024-01-31 12:34:56.123456' FROM N");
  return company;
}

void FetchThroughSqlstmt(benchmark::State& state) {
  Company& company = BenchmarkCompany();
  lumdb::sqldb_c* db = company.session.connection();
  if (!db) {
    state.SkipWithError("the SQLite database cannot be opened (ODBCSYSINI?)");
    return;
  }
  lumdb::field_set_c row;
  row.add_field(1, nullptr, lumdb::sql_integer);
  row.add_field(2, nullptr, lumdb::sql_bigint);
  row.add_field(3, nullptr, lumdb::sql_double);
  row.add_field(4, nullptr, lumdb::sql_varchar, 40);
  row.add_field(5, nullptr, lumdb::sql_wvarchar, 30);
  row.add_field(6, nullptr, lumdb::sql_date);
  row.add_field(7, nullptr, lumdb::sql_numeric, 15, 2);
  row.add_field(8, nullptr, lumdb::sql_timestamp);
  for (auto _ : state) {
    lumdb::sqlstmt_c statement(db);
    if (statement.allocate(false) || statement.prepare(kSelect)) {
      state.SkipWithError(db->last_diagnostic_text().c_str());
      return;
    }
    for (int i = 0; i < row.field_count(); ++i) statement.bind_column(row, i);
    statement.execute();
    std::int64_t rows = 0;
    std::error_code ec;
    while (!(ec = statement.fetch())) ++rows;
    if (rows != kRows || ec.value() != lumdb::no_data) {
      const std::string why = std::to_string(rows) + " rows, then error " + std::to_string(ec.value()) + ": " +
                              db->last_diagnostic_text();
      state.SkipWithError(why.c_str());
      return;
    }
    benchmark::DoNotOptimize(row.get_int(1));
    state.SetItemsProcessed(state.items_processed() + rows);
  }
}
BENCHMARK(FetchThroughSqlstmt)->Unit(benchmark::kMillisecond);

void Sqlite3ShellToDevNull(benchmark::State& state) {
  const Company& company = BenchmarkCompany();
  for (auto _ : state) {
    if (!lumdb::RunSqlite3ToDevNull(company.path, kSelect)) {
      state.SkipWithError("the sqlite3 shell did not run");
      break;
    }
    state.SetItemsProcessed(state.items_processed() + kRows);
  }
}
BENCHMARK(Sqlite3ShellToDevNull)->Unit(benchmark::kMillisecond);

}  // namespace
