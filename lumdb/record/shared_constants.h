#pragma once
// Fixed values the whole library shares: the SQL text of each filter
// comparison and the field ids it reserves for rows it builds itself.
#include <map>
#include <string>

namespace lumdb {

// Filter comparison code -> SQL operator text: 1 "=", 2 "<", 3 ">", 4 "<=",
// 5 ">=", 6 "<>", 7 "LIKE", 8 "IN". Code 0 (the empty filter) has no entry.
extern const std::map<int, std::string> sql_operator_text;

// Reserved field ids, formed like data-model field ids (table in the high 16
// bits, field number in the low 16) with table part 0, so no model field can
// carry them.
inline constexpr int exists_field_id = 32765;   // BIT result of an existence query
inline constexpr int key_field_id = 32766;      // BIGINT field of a recordset's key-set rows
inline constexpr int binary8_field_id = 32767;  // eight-byte BINARY field of a selected-columns row
// The name the recordsets use for the key-set rows' field: the row number of
// the scrollable recordset's position row.
inline constexpr int row_number_field_id = key_field_id;

}  // namespace lumdb
