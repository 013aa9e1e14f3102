// libFuzzer target: any bytes as a data-model document. Loading must neither
// crash nor touch memory outside its buffers, and a failed load must leave
// the model empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lumdb/query/xml_dmoloader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumdb::datamodel_c model;
  lumdb::xml_dmoloader_c loader("fuzz.xml", model, false);
  loader.set_document(std::string(reinterpret_cast<const char*>(data), size));
  if (!loader.load() && (model.table_count() != 0 || model.reference_count() != 0)) std::abort();
  // Walk what was loaded through the look-ups the query layer uses.
  for (int id : model.table_ids()) {
    const lumdb::table_desc_t* table = model.table_by_id(id);
    (void)model.table_id_by_name(table->name);
    for (const lumdb::field_desc_t* field : table->fields()) {
      if (!field) continue;
      (void)table->field_id_by_name(field->name);
      (void)model.references_of_field(field->id);
      (void)model.resolve_join_path(id, field->name);
      (void)field->values(nullptr);
    }
    (void)model.references_of_table(id);
    (void)table->primary_key_fields();
  }
  return 0;
}
