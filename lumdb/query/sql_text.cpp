#include "lumdb/query/sql_text.h"

namespace lumdb {

std::string quote_identifier(std::string_view name) {
  std::string quoted = "[";
  for (char ch : name) {
    quoted += ch;
    if (ch == ']') quoted += ']';
  }
  return quoted + "]";
}

std::string column_type_sql(int sql_type, int size, int decimals) {
  switch (sql_type) {
    case 2:
    case 3:
      return "NUMERIC(" + std::to_string(size) + ", " + std::to_string(decimals) + ")";
    case 4: return "INT";
    case 5: return "SMALLINT";
    case 8: return "DOUBLE PRECISION";
    case 9: return "DATE";
    case 11: return "DATETIME2(6)";
    case 12:
    case -9:
      return "NVARCHAR(" + std::to_string(size) + ")";
    case -1:
    case -10:
      return "NVARCHAR(MAX)";
    case -11: return "UNIQUEIDENTIFIER";
    case -7: return "BIT";
    case -5: return "BIGINT";
    case -4: return "VARBINARY(MAX)";
    case -2: return "BINARY(" + std::to_string(size) + ")";
    default: return {};
  }
}

}  // namespace lumdb
