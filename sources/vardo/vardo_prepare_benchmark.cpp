// The prepare step of a Vardo company at the largest sizes the cloud takes,
// every kind read through the database API's function table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/prepare_benchmark_support.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "sources/vardo/vardo_companies.h"

namespace {

// Written once for the whole run by the generator's own program (so that the
// peak memory is the prepare step's), installed with its Vardo program and
// engine, removed when the program ends. The generator adds its special
// records to the ordinary ones (five articles, three customers and four
// suppliers that the walk reads), so these sizes fill the registers to their
// maximum.
class LargestVardoCompany {
 public:
  LargestVardoCompany() {
    const auto made = platform::MakeUniqueFolder(platform::TempFolder(), "conv-vardo-bench-");
    if (!made) throw std::runtime_error("no temp folder");
    root_ = *made;
    company_ = (root_ / "VardoData" / "Företag" / "Största Bolaget AB").string();
    const std::string command = std::string(SAMPLECOMPANY_TOOL) + " --vardo --out '" + company_ + "' --program '" +
                                (root_ / "Vardo").string() +
                                "' --articles 49995 --customers 19997 --suppliers 19996"
                                " --customer-invoices 20000 --supplier-invoices 20000";
    std::unique_ptr<FILE, int (*)(FILE*)> tool(popen(command.c_str(), "r"), pclose);
    if (!tool) throw std::runtime_error("the sample company could not be written");
    std::string registry;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, tool.get())) > 0;) registry.append(buffer, n);
    if (pclose(tool.release()) != 0) throw std::runtime_error("the sample company could not be written");
    platform::InstallRegistry(
        std::make_shared<const platform::RegistryStore>(platform::RegistryStore::Parse(registry)));
  }
  ~LargestVardoCompany() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  const std::string& path() const { return company_; }

 private:
  std::filesystem::path root_;
  std::string company_;
};

void BM_PrepareVardoCompany(benchmark::State& state) {
  static const LargestVardoCompany company;
  prepare_benchmark::MeasurePrepare(
      state, kSourceVardo, [] { return IdentifyVardoCompany(company.path()); }, "");
}
BENCHMARK(BM_PrepareVardoCompany)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
