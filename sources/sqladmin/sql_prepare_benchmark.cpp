// The prepare step of an SQL company at the largest sizes the cloud takes, on
// SQLite through unixODBC, beside the sqlite3 shell running the readers' own
// SELECTs on the same file with its output to /dev/null. The SELECTs are those
// the SQLite driver traced during one prepare, with their bound values.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>
#include <stdexcept>
#include <string>

#include "app/prepare_benchmark_support.h"
#include "app/desktop/company_identification.h"
#include "app/desktop/desktop_programs.h"
#include "lumdb/record/sqlite3_shell.h"
#include "platform/folders.h"

namespace {

namespace fs = std::filesystem;

// Written once for the whole run by the generator's own program (so that the
// peak memory is the prepare step's), removed when the program ends. Its data
// model is loaded as the desktop environment would load the program's.
class LargestSqlCompany {
 public:
  LargestSqlCompany() {
    const auto made = platform::MakeUniqueFolder(platform::TempFolder(), "conv-sql-bench-");
    if (!made) throw std::runtime_error("no temp folder");
    root_ = *made;
    company_ = (root_ / "Företag" / "Största Bolaget AB").string();
    const fs::path program = root_ / "program";
    const std::string command = std::string(SAMPLECOMPANY_TOOL) + " --sql-out '" + company_ + "' --program '" +
                                program.string() + "' --size max";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("the sample SQL company could not be written");
    LoadDataModelFile(*GetDataModelByProductCode("1"), program.string());
    CaptureSelects();
  }
  ~LargestSqlCompany() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  const std::string& path() const { return company_; }
  std::string database() const { return (fs::path(company_) / "foretag.db").string(); }
  const std::string& selects() const { return selects_; }

 private:
  // One prepare with the driver tracing every statement it runs into a file,
  // through a copy of the driver registration whose connection attributes name it.
  void CaptureSelects() {
    const fs::path sysini = root_ / "odbc";
    const fs::path trace = root_ / "trace.sql";
    fs::create_directories(sysini);
    std::ifstream in(fs::path(ODBC_SYSINI_DIR) / "odbcinst.ini");
    std::ofstream out(sysini / "odbcinst.ini");
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("ConnectionAttributes=", 0) == 0) line += ";TraceFile=" + trace.string();
      out << line << '\n';
    }
    out.close();
    const std::string previous = std::getenv("ODBCSYSINI") ? std::getenv("ODBCSYSINI") : "";
    ::setenv("ODBCSYSINI", sysini.c_str(), 1);
    {
      CMlxImportJob job(kSourceAdmin);
      job.SetSourceCompany(IdentifyCompany(company_, true));
      job.SetPriceListCode("A");
      job.CreateImports();
      job.CheckAll(nullptr);
    }
    ::setenv("ODBCSYSINI", previous.c_str(), 1);
    // The driver writes each statement on a line of its own, ended by ";", after
    // lines "-- parameter N: value" that give its bound values as SQL literals.
    std::ifstream traced(trace);
    std::vector<std::string> parameters;
    for (std::string line; std::getline(traced, line);) {
      if (line.rfind("-- sqlite3_prepare", 0) == 0) {
        parameters.clear();
      } else if (line.rfind("-- parameter ", 0) == 0) {
        parameters.push_back(line.substr(line.find(": ") + 2));
      } else if (line.rfind("SELECT ", 0) == 0) {
        std::size_t next = 0;
        for (const std::string& value : parameters) {
          next = line.find('?', next);
          if (next == std::string::npos) break;
          line.replace(next, 1, value);
          next += value.size();
        }
        selects_ += line + "\n";
      }
    }
  }

  fs::path root_;
  std::string company_;
  std::string selects_;
};

const int kOdbcSysIni = ::setenv("ODBCSYSINI", ODBC_SYSINI_DIR, 0);

LargestSqlCompany& Company() {
  static LargestSqlCompany company;
  return company;
}

void BM_PrepareSqlCompany(benchmark::State& state) {
  const LargestSqlCompany& company = Company();
  prepare_benchmark::MeasurePrepare(
      state, kSourceAdmin, [&company] { return IdentifyCompany(company.path(), true); }, "A");
}
BENCHMARK(BM_PrepareSqlCompany)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same SELECTs through the sqlite3 shell, which prints every row to /dev/null.
void BM_Sqlite3ShellRunsTheReadersSelects(benchmark::State& state) {
  const LargestSqlCompany& company = Company();
  if (company.selects().empty()) {
    state.SkipWithError("the driver traced no SELECT");
    return;
  }
  for (auto _ : state) {
    if (!lumdb::RunSqlite3ToDevNull(company.database(), company.selects())) {
      state.SkipWithError("the sqlite3 shell did not run the SELECTs");
      break;
    }
  }
  const std::string& selects = company.selects();
  state.counters["selects"] = static_cast<double>(std::count(selects.begin(), selects.end(), '\n'));
}
BENCHMARK(BM_Sqlite3ShellRunsTheReadersSelects)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
