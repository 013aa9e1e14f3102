#pragma once
// The filter text parser: turns a named filter of the data-model file, such
// as "AKTIV = TRUE AND (TYP = 1 OR TYP = 2)", into a filter tree whose
// constants are typed like the fields they are compared with.
#include <string>

#include "lumdb/query/filter.h"

namespace lumdb {

// Parses `text` (UTF-8) relative to `table`, whose model must be the one in
// force for expressions (the process default). Empty or blank text gives the
// empty filter. Every error throws std::runtime_error with a fixed text
// ("Filter parse error.", "Invalid field: NAME", ...) and leaves `out` as it
// was.
void parse_filter(filter_node_t& out, const table_desc_t& table, const std::string& text);

}  // namespace lumdb
