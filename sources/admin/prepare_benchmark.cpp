// The prepare step of a DBF company at the largest sizes the cloud takes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "app/prepare_benchmark_support.h"
#include "app/desktop/company_identification.h"
#include "platform/folders.h"

namespace {

// Written once for the whole run, removed when the program ends.
class LargestCompany {
 public:
  // Written by the generator's own program, so that the peak memory below is the prepare step's.
  // The generator adds its edge records to the ordinary ones (five customers and six suppliers
  // that the walk reads), so these sizes fill both registers to exactly their maximum.
  LargestCompany() {
    const auto made = platform::MakeUniqueFolder(platform::TempFolder(), "conv-bench-");
    if (!made) throw std::runtime_error("no temp folder");
    folder_ = *made;
    const std::string command = std::string(SAMPLECOMPANY_TOOL) + " --out '" + folder_.string() +
                                "' --articles 50000 --customers 19995 --suppliers 19994"
                                " --customer-invoices 20000 --supplier-invoices 20000 >/dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("the sample company could not be written");
  }
  ~LargestCompany() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string path() const { return folder_.string(); }

 private:
  std::filesystem::path folder_;
};

void BM_PrepareDbfCompany(benchmark::State& state) {
  static const LargestCompany company;
  prepare_benchmark::MeasurePrepare(
      state, kSourceAdmin, [] { return IdentifyCompany(company.path(), true); }, "1");
}
BENCHMARK(BM_PrepareDbfCompany)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
