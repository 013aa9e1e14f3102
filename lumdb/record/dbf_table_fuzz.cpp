// libFuzzer target: any bytes as a DBF file. The reader must neither crash
// nor touch memory outside its buffers, whatever the header claims, and a
// record it reads as damaged (a deletion flag neither blank nor "*", never
// deleted) is a loss of the table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lumdb/record/dbf_table.h"
#include "platform/fake/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::fake::MemoryFileOpener files;
  files.Add("FUZZ.DBF", std::string(reinterpret_cast<const char*>(data), size));
  platform::ScopedFileOpener use(files);
  lumdb::dbf_table_c table("FUZZ.DBF");
  std::string text;
  const int fields = static_cast<int>(table.fields().size());
  int records = 0;
  for (auto ec = table.first(); !ec && records < 10000; ec = table.next(), ++records) {
    if (table.is_damaged() && (table.is_deleted() || table.losses().empty())) std::abort();
    for (int i = -1; i <= fields; ++i) table.field_text(i, text);
  }
  // Random access past the end and back.
  table.read_record(table.record_count());
  table.read_record(records / 2);
  for (int i = 0; i < fields; ++i) (void)table.field_index(table.fields()[static_cast<std::size_t>(i)].name);
  table.close();
  return 0;
}
