#pragma once
// Shared by the prepare benchmarks of the source back-ends: the conversion job
// builds a company's readers through its factory and checks every kind, with
// the progress texts shown, as the prepare step does. Peak memory is reported
// as a counter (kB), with what the check let through per kind, so that a kind
// that was skipped shows.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <functional>
#include <string>

#include "app/import_job.h"

namespace prepare_benchmark {

class CountingProgress : public ProgressSink {
 public:
  void ShowProgress(const std::string& text) override { shown += text.size(); }
  std::size_t shown = 0;
};

// `identify` gives the source company, as the company choice would.
inline void MeasurePrepare(benchmark::State& state, int sourceKind, const std::function<SourceCompany()>& identify,
                           const std::string& priceListCode) {
  std::array<std::size_t, kImportKindCount> accepted{};
  for (auto _ : state) {
    CMlxImportJob job(sourceKind);
    job.SetSourceCompany(identify());
    job.SetPriceListCode(priceListCode);
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
  state.counters["articles"] = static_cast<double>(accepted[kImportArticles]);
  state.counters["customers"] = static_cast<double>(accepted[kImportCustomers]);
  state.counters["suppliers"] = static_cast<double>(accepted[kImportSuppliers]);
  state.counters["customer_invoices"] = static_cast<double>(accepted[kImportCustomerLedgerItems]);
  state.counters["supplier_invoices"] = static_cast<double>(accepted[kImportSupplierLedgerItems]);
}

}  // namespace prepare_benchmark
