#include "app/prepare_benchmark_support.h"

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "app/import_job.h"
#include "platform/folders.h"
#include "platform/process.h"

namespace prepare_benchmark {
namespace {

// Given to the program started again for one cold prepare, with the company's
// folder and what its registers hold.
constexpr std::string_view kColdPrepareArgument = "--cold-prepare";
constexpr std::string_view kWithinMaximum = "within-maximum";
constexpr std::string_view kOverMaximum = "over-maximum";
constexpr int kColdProcesses = 5;

// The kinds with records, each shown by its count.
constexpr std::array<std::pair<ImportKind, const char*>, 5> kCountedKinds = {{
    {kImportArticles, "articles"},
    {kImportCustomers, "customers"},
    {kImportSuppliers, "suppliers"},
    {kImportCustomerLedgerItems, "customer_invoices"},
    {kImportSupplierLedgerItems, "supplier_invoices"},
}};

class CountingProgress final : public ProgressSink {
 public:
  void ShowProgress(const std::string& text) override { shown += text.size(); }
  std::size_t shown = 0;
};

// What the check let through per kind, and whether a register went over its maximum.
struct Checked {
  std::array<std::size_t, kImportKindCount> accepted{};
  bool overMaximum = false;
};

Checked Prepare(const Company& company) {
  CMlxImportJob job(company.sourceKind);
  job.SetSourceCompany(company.identify());
  job.SetPriceListCode(company.priceListCode);
  CountingProgress progress;
  job.CreateImports();
  job.CheckAll(&progress);
  benchmark::DoNotOptimize(progress.shown);
  Checked checked;
  for (int kind = 0; kind < kImportKindCount; ++kind) {
    const CMlxImportBase* import = job.Import(static_cast<ImportKind>(kind));
    if (!import) continue;
    checked.accepted[kind] = import->GetCount();
    if (import->GetMaxCount() > 0 && import->GetCount() > static_cast<std::size_t>(import->GetMaxCount()))
      checked.overMaximum = true;
  }
  return checked;
}

// Why the figures of a prepare would mislead (a kind that read nothing, a walk
// that stopped early or did not); empty when they would not.
std::string Misleading(const Checked& checked, Registers registers) {
  for (const auto& [kind, name] : kCountedKinds) {
    if (checked.accepted[kind] == 0) return std::string("no ") + name + " were read";
  }
  if (checked.overMaximum != (registers == Registers::kOverMaximum))
    return checked.overMaximum ? "a register is over its maximum" : "no register is over its maximum";
  return {};
}

// The fresh process's one prepare.
int RunColdPrepare(const std::filesystem::path& folder, Registers registers) {
  try {
    const std::string misleading = Misleading(Prepare(OpenCompany(folder)), registers);
    if (misleading.empty()) return 0;
    std::cerr << "cold prepare: " << misleading << '\n';
  } catch (const std::exception& e) {
    std::cerr << "cold prepare: " << e.what() << '\n';
  }
  return 1;
}

// The median of the fresh processes by CPU time; nothing when one failed.
std::optional<platform::EndedProcess> MeasureColdPrepare(const std::filesystem::path& folder, Registers registers) {
  std::vector<platform::EndedProcess> ended;
  for (int i = 0; i < kColdProcesses; ++i) {
    const auto process = PrepareInFreshProcess(folder, registers);
    if (!process) return std::nullopt;
    ended.push_back(*process);
  }
  std::sort(ended.begin(), ended.end(), [](const auto& a, const auto& b) { return a.cpuSeconds < b.cpuSeconds; });
  return ended[ended.size() / 2];
}

double Bytes(long kilobytes) { return static_cast<double>(kilobytes) * 1024; }

}  // namespace

SampleCompany::SampleCompany(const std::string& tool,
                             const std::function<std::vector<std::string>(const std::string& folder)>& arguments,
                             const std::string& outputName) {
  const auto made = platform::MakeUniqueFolder(platform::TempFolder(), "conv-bench-");
  if (!made) throw std::runtime_error("no temp folder");
  folder_ = *made;
  const auto ended = platform::RunProcess(
      tool, arguments(folder_.string()), {.outputFile = outputName.empty() ? "/dev/null" : (folder_ / outputName).string()});
  if (!ended || !ended->Succeeded()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    throw std::runtime_error("the sample company could not be written");
  }
}

SampleCompany::~SampleCompany() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::optional<platform::EndedProcess> PrepareInFreshProcess(const std::filesystem::path& folder, Registers registers,
                                                            const std::vector<std::string>& environment) {
  const auto ended = platform::RunProcess(
      platform::OwnExecutable(),
      {std::string(kColdPrepareArgument), folder.string(),
       std::string(registers == Registers::kOverMaximum ? kOverMaximum : kWithinMaximum)},
      {.environment = environment});
  if (!ended || !ended->Succeeded()) return std::nullopt;
  return ended;
}

void MeasurePrepare(benchmark::State& state, const std::filesystem::path& folder, Registers registers) {
  const auto cold = MeasureColdPrepare(folder, registers);
  if (!cold) {
    state.SkipWithError("the cold prepare failed");
    return;
  }
  const Company company = OpenCompany(folder);
  Checked checked = Prepare(company);  // to warm up
  for (auto _ : state) checked = Prepare(company);
  if (const std::string misleading = Misleading(checked, registers); !misleading.empty()) {
    state.SkipWithError(misleading.c_str());
    return;
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  using benchmark::Counter;
  state.counters["cold_cpu_s"] = cold->cpuSeconds;
  state.counters["cold_wall_s"] = cold->wallSeconds;
  state.counters["cold_peak"] = Counter(Bytes(cold->peakKilobytes), Counter::kDefaults, Counter::kIs1024);
  state.counters["warm_peak"] = Counter(Bytes(usage.ru_maxrss), Counter::kDefaults, Counter::kIs1024);
  for (const auto& [kind, name] : kCountedKinds) state.counters[name] = static_cast<double>(checked.accepted[kind]);
}

}  // namespace prepare_benchmark

int main(int argc, char** argv) {
  using namespace prepare_benchmark;
  if (argc == 4 && argv[1] == kColdPrepareArgument && (argv[3] == kWithinMaximum || argv[3] == kOverMaximum))
    return RunColdPrepare(argv[2], argv[3] == kOverMaximum ? Registers::kOverMaximum : Registers::kWithinMaximum);
  platform::StartSmallLauncher();  // while this process is small
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
