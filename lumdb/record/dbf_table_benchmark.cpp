// Reading a table of 200,000 records and ten fields, every field decoded to
// UTF-8. The table is written once to dbf_benchmark_200k.dbf in the temp
// folder and kept there, so other readers can be timed on the same file.
#include <benchmark/benchmark.h>

#include <string>

#include "lumdb/record/dbf_table.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "tools/fixtures/dbf_writer.h"

namespace {

constexpr int kRecords = 200000;

std::string BenchmarkTable() {
  const auto path = platform::TempFolder() / "dbf_benchmark_200k.dbf";
  fixtures::DbfWriter writer(fixtures::DbfFormat::DBase3,
                             {{"KUNDNR", 'C', 10}, {"NAMN", 'C', 30}, {"POSTADR", 'C', 30}, {"ORT", 'C', 20},
                              {"POSTNR", 'C', 10}, {"SALDO", 'N', 12, 2}, {"ANTAL", 'N', 8}, {"REGDAT", 'D', 8},
                              {"AKTIV", 'L', 1}, {"TEL", 'C', 20}});
  const char* names[] = {"Åsa Öberg AB", "Märta Sjögren", "Björn Bäckström HB", "Göran Ängslund", "Kjell Nyström"};
  const char* cities[] = {"Göteborg", "Malmö", "Umeå", "Västerås", "Örebro"};
  for (int i = 0; i < kRecords; ++i) {
    writer.Add({std::to_string(100000 + i), names[i % 5], "Storgatan " + std::to_string(i % 200), cities[i % 5],
                std::to_string(10000 + i % 89999), std::to_string(i % 100000) + ".25", std::to_string(i % 9999),
                "20240131", i % 2 ? "T" : "F", "031-" + std::to_string(100000 + i)});
  }
  writer.WriteTo(path);
  return path.string();
}

void ReadEveryFieldAsUtf8(benchmark::State& state) {
  static const std::string path = BenchmarkTable();
  std::size_t bytes = 0;
  for (auto _ : state) {
    lumdb::dbf_table_c table(path);
    const int fields = static_cast<int>(table.fields().size());
    std::string text;
    std::int64_t records = 0;
    for (auto ec = table.first(); !ec; ec = table.next(), ++records) {
      for (int i = 0; i < fields; ++i) {
        table.field_text(i, text);
        bytes += text.size();
      }
    }
    if (records != kRecords) state.SkipWithError("the table did not read whole");
    state.SetItemsProcessed(state.items_processed() + records);
  }
  benchmark::DoNotOptimize(bytes);
  state.SetLabel(path);
}
BENCHMARK(ReadEveryFieldAsUtf8)->Unit(benchmark::kMillisecond);

}  // namespace
