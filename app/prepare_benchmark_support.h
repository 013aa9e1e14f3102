#pragma once
// Shared by the prepare benchmarks of the source back-ends, which link
// prepare_benchmark_support.cpp for their main(). Each program writes its
// companies with the sample-company generator, and times the prepare step of
// each (the conversion job builds the company's readers through its factory and
// checks every kind, with the progress texts shown) twice over:
//  - cold: the first prepare of a fresh process, which is what the converter
//    runs. The program starts itself again with a hidden argument for it and
//    takes that process's CPU time (user and system), wall time and peak memory
//    from the kernel; starting the process and opening the company
//    (OpenCompany) are in them. The median of five such processes is shown.
//    The processes are started from a small one forked at the start
//    (platform::StartSmallLauncher), so that their peaks are their own;
//  - warm: prepares repeated in the benchmark's own process after one to warm
//    up, timed by Google Benchmark; its peak memory is the whole process's.
// What the check let through per kind is shown too, so that a kind that was
// skipped shows.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/reader_interfaces/source_company.h"
#include "platform/process.h"

namespace prepare_benchmark {

// A company as the conversion job is told of it.
struct Company {
  int sourceKind = 0;
  std::function<SourceCompany()> identify;  // as the company choice would
  std::string priceListCode;
};

// Defined by each prepare benchmark program: opens a company that it wrote into
// `folder`, having done what the converter does before its prepare step
// (installing the registry, loading the data model). The fresh process of the
// cold prepare calls it too.
Company OpenCompany(const std::filesystem::path& folder);

// A company written by the sample-company generator `tool` into a new folder
// under the temp folder, removed with all it holds at the end. `arguments` gives
// the generator's arguments for that folder; its standard output goes to the
// file `outputName` in the folder when one is named. Being a program of its own,
// the generator leaves the benchmark's peak memory alone. Throws when it fails.
class SampleCompany {
 public:
  SampleCompany(const std::string& tool,
                const std::function<std::vector<std::string>(const std::string& folder)>& arguments,
                const std::string& outputName = {});
  ~SampleCompany();
  SampleCompany(const SampleCompany&) = delete;
  SampleCompany& operator=(const SampleCompany&) = delete;
  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

// A company whose registers are over the cloud's maximum has each walk stop at
// the limit: its counts are those the walk got to. Otherwise a register over its
// maximum is an error, as it would flatter the figure.
enum class Registers { kWithinMaximum, kOverMaximum };

// One prepare of the company in `folder` in a fresh process, with `environment`
// ("NAME=value") set over ours; nothing when it failed (it says why).
std::optional<platform::EndedProcess> PrepareInFreshProcess(const std::filesystem::path& folder, Registers registers,
                                                            const std::vector<std::string>& environment = {});

// Times the prepare of the company in `folder`, cold and warm.
void MeasurePrepare(benchmark::State& state, const std::filesystem::path& folder, Registers registers);

}  // namespace prepare_benchmark
