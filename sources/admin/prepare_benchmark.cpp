// The prepare step of a DBF company at the largest sizes the cloud takes.
#include <benchmark/benchmark.h>

#include "app/prepare_benchmark_support.h"
#include "app/desktop/company_identification.h"

namespace prepare_benchmark {

Company OpenCompany(const std::filesystem::path& folder) {
  return {kSourceAdmin, [folder] { return IdentifyCompany(folder.string(), true); }, "1"};
}

}  // namespace prepare_benchmark

namespace {

// Written once for the whole run. The generator adds its edge records to the
// ordinary ones (five customers and six suppliers that the walk reads), so these
// sizes fill both registers to exactly their maximum.
void BM_PrepareDbfCompany(benchmark::State& state) {
  static const prepare_benchmark::SampleCompany company(SAMPLECOMPANY_TOOL, [](const std::string& folder) {
    return std::vector<std::string>{"--out", folder, "--articles", "50000", "--customers", "19995",
                                    "--suppliers", "19994", "--customer-invoices", "20000",
                                    "--supplier-invoices", "20000"};
  });
  prepare_benchmark::MeasurePrepare(state, company.folder(), prepare_benchmark::Registers::kWithinMaximum);
}
BENCHMARK(BM_PrepareDbfCompany)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
