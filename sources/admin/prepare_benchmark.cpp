// The prepare step of a DBF company at the largest sizes the cloud takes: the
// conversion job builds the readers through its factory and checks every kind,
// with the progress texts shown. Peak memory is reported as a counter (kB).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <stdexcept>

#include "app/import_job.h"
#include "app/sources/company_identification.h"
#include "platform/folders.h"
#include "tools/samplecompany/sample_company.h"

namespace {

class CountingProgress : public ProgressSink {
 public:
  void ShowProgress(const std::string& text) override { shown += text.size(); }
  std::size_t shown = 0;
};

// Written once for the whole run, removed when the program ends.
class LargestCompany {
 public:
  LargestCompany() {
    const auto made = platform::MakeUniqueFolder(platform::TempFolder(), "conv-bench-");
    if (!made) throw std::runtime_error("no temp folder");
    folder_ = *made;
    samplecompany::SampleOptions options;
    options.articles = 50000;
    options.customers = 20000;
    options.suppliers = 20000;
    options.customerInvoices = 20000;
    options.supplierInvoices = 20000;
    samplecompany::WriteSampleCompany(folder_, options);
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
  for (auto _ : state) {
    CMlxImportJob job(kSourceAdmin);
    job.SetSourceCompany(IdentifyCompany(folder, true));
    job.SetPriceListCode("1");
    CountingProgress progress;
    job.CreateImports();
    job.CheckAll(&progress);
    benchmark::DoNotOptimize(progress.shown);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_kB"] = static_cast<double>(usage.ru_maxrss);
}
BENCHMARK(BM_PrepareDbfCompany)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
