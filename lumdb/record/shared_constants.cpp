#include "lumdb/record/shared_constants.h"

namespace lumdb {

const std::map<int, std::string> sql_operator_text = {
    {1, "="}, {2, "<"}, {3, ">"}, {4, "<="}, {5, ">="}, {6, "<>"}, {7, "LIKE"}, {8, "IN"},
};

}  // namespace lumdb
