#pragma once
// SQL Server text of names and column types, as the statement layer writes them.
#include <string>
#include <string_view>

namespace lumdb {

// "[" + name + "]", every "]" inside doubled so a name cannot end the quote.
std::string quote_identifier(std::string_view name);

// The SQL Server type of a column of ODBC type (size, decimals), without
// collation: NUMERIC(p, s), INT, NVARCHAR(n), DATETIME2(6) and so on; empty
// text for a type without one.
std::string column_type_sql(int sql_type, int size, int decimals);

}  // namespace lumdb
