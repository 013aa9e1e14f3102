// The prepare step of a DBF company at the largest sizes the cloud takes: the
// conversion job builds the readers through its factory and checks every kind,
// with the progress texts shown. Peak memory is reported as a counter (kB).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "app/import_job.h"
#include "app/sources/company_identification.h"
#include "platform/folders.h"

namespace {

class CountingProgress : public ProgressSink {
 public:
  void ShowProgress(const std::string& text) override { shown += text.size(); }
  std::size_t shown = 0;
};

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
  const std::string folder = company.path();
  std::array<std::size_t, kImportKindCount> accepted{};
  for (auto _ : state) {
    CMlxImportJob job(kSourceAdmin);
    job.SetSourceCompany(IdentifyCompany(folder, true));
    job.SetPriceListCode("1");
    CountingProgress progress;
    job.CreateImports();
    job.CheckAll(&progress);
    benchmark::DoNotOptimize(progress.shown);
    for (int kind = 0; kind < kImportKindCount; ++kind) {
      const CMlxImportBase* import = job.Import(static_cast<ImportKind>(kind));
      if (!import) continue;
      // A register over its maximum is not walked to its end, which would flatter the figure.
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
BENCHMARK(BM_PrepareDbfCompany)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
