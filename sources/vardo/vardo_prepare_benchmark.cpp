// The prepare step of a Vardo company at the largest sizes the cloud takes,
// every kind read through the database API's function table.
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

#include "app/prepare_benchmark_support.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "sources/vardo/vardo_companies.h"

namespace {

namespace fs = std::filesystem;

// Where the generator puts the company, its Vardo program with our engine, and
// the registry keys that install the program.
fs::path CompanyFolder(const fs::path& folder) { return folder / "VardoData" / "Företag" / "Största Bolaget AB"; }
fs::path ProgramFolder(const fs::path& folder) { return folder / "Vardo"; }
constexpr const char* kRegistryFile = "registry.reg";

}  // namespace

namespace prepare_benchmark {

Company OpenCompany(const fs::path& folder) {
  const auto registry = platform::ReadWholeFile(folder / kRegistryFile);
  if (!registry) throw std::runtime_error("the registry of the sample company could not be read");
  platform::InstallRegistry(std::make_shared<const platform::RegistryStore>(platform::RegistryStore::Parse(*registry)));
  return {kSourceVardo, [company = CompanyFolder(folder).string()] { return IdentifyVardoCompany(company); }, ""};
}

}  // namespace prepare_benchmark

namespace {

// Written once for the whole run. The generator adds its special records to the
// ordinary ones (five articles, three customers and four suppliers that the walk
// reads), so these sizes fill the registers to their maximum.
void BM_PrepareVardoCompany(benchmark::State& state) {
  static const prepare_benchmark::SampleCompany company(
      SAMPLECOMPANY_TOOL,
      [](const std::string& folder) {
        return std::vector<std::string>{"--vardo", "--out", CompanyFolder(folder).string(), "--program",
                                        ProgramFolder(folder).string(), "--articles", "49995", "--customers",
                                        "19997", "--suppliers", "19996", "--customer-invoices", "20000",
                                        "--supplier-invoices", "20000"};
      },
      kRegistryFile);
  prepare_benchmark::MeasurePrepare(state, company.folder(), prepare_benchmark::Registers::kWithinMaximum);
}
BENCHMARK(BM_PrepareVardoCompany)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
