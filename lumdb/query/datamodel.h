#pragma once
// The data model (schema dictionary) of one database variant. For now it is
// the empty model: no tables, hence no references. Held by value in the table
// of installed desktop programs and handed out by pointer.
#include <cstdint>
#include <vector>

namespace lumdb {

// One foreign-key reference of a table to another.
struct reference_desc_t {
  std::int32_t table_id = 0;
  std::int32_t referenced_table_id = 0;
};

class datamodel_c {
 public:
  // The references registered for a table; empty for a table without any.
  std::vector<reference_desc_t> references_of_table(std::int32_t table_id) const { return {}; }
};

}  // namespace lumdb
