// The prepare step of a Vardo company at the largest sizes the cloud takes:
// the conversion job builds the Vardo readers through its factory and checks
// every kind through the database API's function table, with the progress
// texts shown. Peak memory is reported as a counter (kB).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/import_job.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "sources/vardo/vardo_companies.h"

namespace {

class CountingProgress : public ProgressSink {
 public:
  void ShowProgress(const std::string& text) override { shown += text.size(); }
  std::size_t shown = 0;
};

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
  std::array<std::size_t, kImportKindCount> accepted{};
  for (auto _ : state) {
    CMlxImportJob job(kSourceVardo);
    job.SetSourceCompany(IdentifyVardoCompany(company.path()));
    CountingProgress progress;
    job.CreateImports();
    job.CheckAll(&progress);
    benchmark::DoNotOptimize(progress.shown);
    for (int kind = 0; kind < kImportKindCount; ++kind) {
      const CMlxImportBase* import = job.Import(static_cast<ImportKind>(kind));
      if (!import) continue;
      if (import->GetMaxCount() > 0 && import->GetCount() > static_cast<std::size_t>(import->GetMaxCount())) {
        state.SkipWithError("a register is over its maximum");
      }
      accepted[kind] = import->GetCount();
    }
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_kB"] = static_cast<double>(usage.ru_maxrss);
  // What the check let through, so a kind that was skipped shows.
  state.counters["articles"] = static_cast<double>(accepted[kImportArticles]);
  state.counters["customers"] = static_cast<double>(accepted[kImportCustomers]);
  state.counters["suppliers"] = static_cast<double>(accepted[kImportSuppliers]);
  state.counters["customer_invoices"] = static_cast<double>(accepted[kImportCustomerLedgerItems]);
  state.counters["supplier_invoices"] = static_cast<double>(accepted[kImportSupplierLedgerItems]);
}
BENCHMARK(BM_PrepareVardoCompany)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
