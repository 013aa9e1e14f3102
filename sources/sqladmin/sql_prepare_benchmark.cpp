// The prepare step of an SQL company on SQLite through unixODBC, at the largest
// sizes the cloud takes and at twice those, beside the sqlite3 shell running the
// readers' own SELECTs on the same file with every row printed to /dev/null.
// The SELECTs are those the SQLite driver traced during one prepare, with their
// bound values. At twice the largest each register's walk stops at the cloud's
// maximum: what it costs beside the largest shows whether the prepare grows
// with the records it reads or with the tables.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/prepare_benchmark_support.h"
#include "app/desktop/company_identification.h"
#include "app/desktop/desktop_programs.h"
#include "lumdb/record/sqlite3_shell.h"

namespace {

namespace fs = std::filesystem;

// Where the generator puts the company and the program with its data model.
fs::path CompanyFolder(const fs::path& folder) { return folder / "Företag" / "Största Bolaget AB"; }
fs::path ProgramFolder(const fs::path& folder) { return folder / "program"; }
constexpr const char* kPriceListCode = "A";

const int kOdbcSysIni = ::setenv("ODBCSYSINI", ODBC_SYSINI_DIR, 0);

}  // namespace

namespace prepare_benchmark {

// The data model is loaded as the converter's start loads the program's: once a
// process (every company of the generator has the same).
Company OpenCompany(const fs::path& folder) {
  lumdb::datamodel_c& model = *GetDataModelByProductCode("1");
  if (model.table_count() == 0) LoadDataModelFile(model, ProgramFolder(folder).string());
  return {kSourceAdmin, [company = CompanyFolder(folder).string()] { return IdentifyCompany(company, true); },
          kPriceListCode};
}

}  // namespace prepare_benchmark

namespace {

// A sample company of the generator's size `size` ("max", "double"), written
// once for the whole run, with the SELECTs of one prepare over it. "double" is
// over the cloud's maximum, "max" within.
class SqlCompany {
 public:
  SqlCompany(const std::string& size, prepare_benchmark::Registers registers)
      : registers_(registers),
        company_(SAMPLECOMPANY_TOOL, [&size](const std::string& folder) {
          return std::vector<std::string>{"--sql-out", CompanyFolder(folder).string(), "--program",
                                          ProgramFolder(folder).string(), "--size", size};
        }) {
    CaptureSelects();
  }
  const fs::path& folder() const { return company_.folder(); }
  prepare_benchmark::Registers registers() const { return registers_; }
  std::string database() const { return (CompanyFolder(folder()) / "foretag.db").string(); }
  const std::string& selects() const { return selects_; }

 private:
  // One prepare, in a fresh process (the driver manager keeps the registration it
  // read first), with the driver tracing every statement it runs into a file,
  // through a copy of the driver registration whose connection attributes name it.
  void CaptureSelects() {
    const fs::path sysini = folder() / "odbc";
    const fs::path trace = folder() / "trace.sql";
    fs::create_directories(sysini);
    std::ifstream in(fs::path(ODBC_SYSINI_DIR) / "odbcinst.ini");
    std::ofstream out(sysini / "odbcinst.ini");
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("ConnectionAttributes=", 0) == 0) line += ";TraceFile=" + trace.string();
      out << line << '\n';
    }
    out.close();
    if (!prepare_benchmark::PrepareInFreshProcess(folder(), registers_, {"ODBCSYSINI=" + sysini.string()}))
      throw std::runtime_error("the traced prepare failed");
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

  prepare_benchmark::Registers registers_;
  prepare_benchmark::SampleCompany company_;
  std::string selects_;
};

const SqlCompany& Company(const std::string& size) {
  static std::map<std::string, SqlCompany> companies;
  const auto registers =
      size == "double" ? prepare_benchmark::Registers::kOverMaximum : prepare_benchmark::Registers::kWithinMaximum;
  return companies.try_emplace(size, size, registers).first->second;
}

void BM_PrepareSqlCompany(benchmark::State& state, const std::string& size) {
  const SqlCompany& company = Company(size);
  prepare_benchmark::MeasurePrepare(state, company.folder(), company.registers());
}
BENCHMARK_CAPTURE(BM_PrepareSqlCompany, largest, "max")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_PrepareSqlCompany, doubled, "double")->Unit(benchmark::kMillisecond)->Iterations(3);

// The same SELECTs through the sqlite3 shell, with the shell's own CPU time and
// peak memory (the benchmark's time is the wall time of starting and running it).
void BM_Sqlite3ShellRunsTheReadersSelects(benchmark::State& state, const std::string& size) {
  const SqlCompany& company = Company(size);
  if (company.selects().empty()) {
    state.SkipWithError("the driver traced no SELECT");
    return;
  }
  double cpuSeconds = 0;
  long peakKilobytes = 0;
  for (auto _ : state) {
    const auto shell = lumdb::RunSqlite3ToDevNull(company.database(), company.selects());
    if (!shell) {
      state.SkipWithError("the sqlite3 shell did not run the SELECTs");
      return;
    }
    cpuSeconds += shell->cpuSeconds;
    peakKilobytes = std::max(peakKilobytes, shell->peakKilobytes);
  }
  using benchmark::Counter;
  state.counters["shell_cpu_s"] = cpuSeconds / static_cast<double>(state.iterations());
  state.counters["shell_peak"] = Counter(static_cast<double>(peakKilobytes) * 1024, Counter::kDefaults,
                                         Counter::kIs1024);
  const std::string& selects = company.selects();
  state.counters["selects"] = static_cast<double>(std::count(selects.begin(), selects.end(), '\n'));
}
BENCHMARK_CAPTURE(BM_Sqlite3ShellRunsTheReadersSelects, largest, "max")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Sqlite3ShellRunsTheReadersSelects, doubled, "double")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
