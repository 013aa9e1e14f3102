// The row buffer as the SQL readers use it: a fetched row of 40 columns read
// through the typed getters, and a parameter row filled through the setters
// and text forms. Fields are found through the id index, so the cost per
// access should not grow with the width of the row.
#include <benchmark/benchmark.h>

#include <string>

#include "lumdb/record/field_set.h"

namespace {

using namespace lumdb;

constexpr int kColumnsPerType = 10;

// Ids 1-10 INTEGER, 11-20 NUMERIC(18,2), 21-30 VARCHAR(40), 31-40 DATE.
field_set_c FilledRow() {
  field_set_c row;
  for (int i = 0; i < kColumnsPerType; ++i) {
    row.add_field(1 + i, nullptr, sql_integer);
    row.add_field(11 + i, nullptr, sql_numeric, 18, 2);
    row.add_field(21 + i, nullptr, sql_varchar, 40);
    row.add_field(31 + i, nullptr, sql_date);
  }
  for (int i = 0; i < kColumnsPerType; ++i) {
    row.set_int(1 + i, 1000 + i);
    row.set_double(11 + i, 1234.56 + i);
    row.set_string(21 + i, nullptr, "Björn Bäckström HB");
    row.set_int(31 + i, 2451545 + i);
  }
  return row;
}

void ReadEveryColumn(benchmark::State& state) {
  const field_set_c row = FilledRow();
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (int i = 0; i < kColumnsPerType; ++i) {
      sum += row.get_int(1 + i);
      sum += static_cast<std::int64_t>(row.get_double(11 + i));
      sum += static_cast<std::int64_t>(row.get_string(21 + i).size());
      sum += row.get_date(31 + i).day();
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 4 * kColumnsPerType);
}
BENCHMARK(ReadEveryColumn);

void WriteEveryColumnFromText(benchmark::State& state) {
  field_set_c row = FilledRow();
  for (auto _ : state) {
    for (int i = 0; i < kColumnsPerType; ++i) {
      row.set_string(1 + i, nullptr, "4711");
      row.set_string(11 + i, nullptr, "-98765.43");
      row.set_string(21 + i, nullptr, "Märta Sjögren");
      row.set_string(31 + i, nullptr, "2024-01-31");
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 4 * kColumnsPerType);
}
BENCHMARK(WriteEveryColumnFromText);

void CopyRow(benchmark::State& state) {
  const field_set_c row = FilledRow();
  for (auto _ : state) {
    field_set_c copy(row);
    benchmark::DoNotOptimize(copy.field_count());
  }
}
BENCHMARK(CopyRow);

}  // namespace
