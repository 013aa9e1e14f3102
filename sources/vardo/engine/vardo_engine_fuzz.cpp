// libFuzzer target: any bytes as the table files of a Vardo company (the same
// bytes for CLIENT.DBF and every other table, or CLIENT.DBF intact and the
// bytes for the others). The engine must open, walk and read them without
// crashing or touching memory outside its buffers, whatever the headers claim.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/fake/memory_files.h"
#include "sources/vardo/engine/vardo_engine.h"
#include "tools/fixtures/dbf_writer.h"

namespace {

constexpr const char* kTables[] = {"CLIENT.DBF", "ACCOUNT.DBF", "TEXT.DBF", "HISTORY.DBF", "PERSON.DBF", "LEDGER.DBF",
                                   "INVOICE.DBF", "ARTICLE.DBF", "ACCYEAR.DBF", "SERIES.DBF", "PERSSETTINGS.DBF"};
constexpr std::int32_t kTableIds[] = {0, 1, 7, 8, 9, 11, 12, 14, 16, 17, 21};
constexpr const char* kFieldNames[] = {"ORGNO", "CLNAME", "BEGIN", "END", "ACCCHART", "YEARNO", "ACCNO", "ACCNAME", "TYPE"};

const std::string& IntactClient() {
  static const std::string bytes =
      fixtures::DbfWriter(fixtures::DbfFormat::DBase3, {{"ORGNO", 'C', 15}, {"CLNAME", 'C', 20}})
          .Add({"556677-8899", "Fuzz AB"})
          .Bytes();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool intactClient = data[0] & 1;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  platform::fake::MemoryFileOpener files;
  for (const char* table : kTables) {
    const bool client = std::string(table) == "CLIENT.DBF";
    files.Add(std::string("/fuzz/Firma/") + table, client && intactClient ? IntactClient() : bytes);
  }
  platform::ScopedFileOpener use(files);

  vardo_engine::Engine engine;
  engine.SetErrorHandler([](std::int16_t, std::int32_t, const char*) {});
  engine.SetPath("/fuzz/Firma");
  if (engine.Open("Firma") != 0) return 0;
  char buffer[256];
  for (const std::int32_t table : kTableIds) {
    int records = 0;
    for (auto r = engine.First(table); r == 0 && records < 1000; r = engine.Next(table), ++records) {
      for (std::int32_t field = 1; field <= 40; ++field) {
        const std::int32_t handle = (table << 16) | field;
        engine.String(handle, buffer, sizeof buffer);
        engine.Long(handle);
        engine.Double(handle);
        engine.Bool(handle);
        engine.Date(handle);
      }
      for (const char* name : kFieldNames) engine.String(engine.Field(table, name), buffer, 8);
    }
    engine.Prev(table);
    engine.Last(table);
    engine.Find(table, "1");
  }
  engine.YearNo(0);
  engine.YearNo(1);
  engine.Close();
  return 0;
}
