// Loading data-model files of 5 to 50 MB: thousands of tables, each with
// thirty fields, a primary key, a reference to the table before it (and its
// automatic index), a left-join field, a filter, a sort order, autofetch
// fields and a value list. The time per byte should stay flat as the file
// grows (Complexity reports the fit).
#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <string>

#include "lumdb/query/xml_dmoloader.h"
#include "platform/folders.h"

namespace {

std::string Table(int id) {
  const std::string n = std::to_string(id);
  std::string t = "  <table id=\"" + n + "\" name=\"TABELL" + n + "\" text=\"Tabell nummer " + n + " för Åsa\">\n";
  t += "    <field id=\"1\" name=\"NR\" type=\"SQL_INTEGER\" text=\"Nummer\" alias=\"Nr\"/>\n";
  t += "    <field id=\"2\" name=\"FOERRA\" type=\"SQL_INTEGER\" text=\"Föregående\"/>\n";
  for (int f = 3; f <= 30; ++f) {
    t += "    <field id=\"" + std::to_string(f) + "\" name=\"FÄLT" + std::to_string(f) +
         "\" type=\"SQL_WVARCHAR\" len=\"40\" text=\"Fält " + std::to_string(f) + "\\vandra raden\" wid=\"20\"/>\n";
  }
  t += "    <field_values show_value=\"true\"/>\n    <field_value base_value=\"A\" value=\"Aktiv\"/>\n";
  if (id > 1) {
    t += "    <field id=\"31\" name=\"FOERRA_NAMN\" soft=\"true\" calc=\"left_join\" type=\"AUTO\" expr=\"TABELL" +
         std::to_string(id - 1) + ".FÄLT3\" joinpath=\"FOERRA\"/>\n";
  }
  t += "    <index name=\"PK_" + n + "\" primary_key=\"true\"><index_field name=\"NR\"/></index>\n";
  if (id > 1) {
    t += "    <reference table=\"TABELL" + std::to_string(id - 1) + "\" index=\"PK_" + std::to_string(id - 1) +
         "\"><reference_field name=\"FOERRA\"/></reference>\n";
  }
  t += "    <filter id=\"1\" text=\"Aktiva\"> FÄLT3 = 'A' </filter>\n";
  t += "    <sort_order id=\"1\" text=\"Nummer\"><sort_field name=\"NR\"/></sort_order>\n";
  t += "    <autofetch><autofetch_field field=\"NR\"/><autofetch_field field=\"FÄLT3\" position=\"1\"/></autofetch>\n";
  t += "  </table>\n";
  return t;
}

std::string ModelFile(std::size_t megabytes) {
  const auto path = platform::TempFolder() / ("datamodel_benchmark_" + std::to_string(megabytes) + "mb.xml");
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<datamodel>\n";
  for (int id = 1; text.size() < megabytes * 1000000; ++id) text += Table(id);
  text += "</datamodel>\n";
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  return path.string();
}

void LoadModelFile(benchmark::State& state) {
  static std::map<std::size_t, std::string> files;
  const auto megabytes = static_cast<std::size_t>(state.range(0));
  if (!files.count(megabytes)) files[megabytes] = ModelFile(megabytes);
  const std::string& path = files[megabytes];
  std::size_t tables = 0;
  for (auto _ : state) {
    lumdb::datamodel_c model;
    if (!lumdb::xml_dmoloader_c(path, model, false).load()) state.SkipWithError("the model did not load");
    tables = model.table_count();
  }
  state.counters["tables"] = static_cast<double>(tables);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * megabytes * 1000000));
  state.SetComplexityN(static_cast<std::int64_t>(megabytes));
}
BENCHMARK(LoadModelFile)->Arg(5)->Arg(10)->Arg(25)->Arg(50)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace
