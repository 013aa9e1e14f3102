// libFuzzer target: any bytes as a filter text against the article table of
// the query tests. The parser must throw its runtime_error or give a filter
// that renders, copies and negates, never crash or run out of stack.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "lumdb/query/filter_parser.h"
#include "lumdb/query/query_test_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static lumdb::test::scoped_query_model model;
  const std::string text(reinterpret_cast<const char*>(data), size);
  lumdb::filter_node_t filter;
  try {
    lumdb::parse_filter(filter, *lumdb::test::query_model().table_by_id(lumdb::test::art), text);
  } catch (const std::runtime_error&) {
    return 0;
  }
  lumdb::sql_params_t params;
  (void)lumdb::filter_to_sql(filter, lumdb::test::any_connection(), &lumdb::test::test_aliases(), &params);
  (void)lumdb::filter_to_sql(filter, nullptr, nullptr, nullptr);
  (void)lumdb::filter_join_paths(filter);
  const lumdb::filter_node_t copy(filter);
  (void)copy.equals(filter);
  // Negation multiplies terms out; past the bound it throws, as the parser does.
  lumdb::filter_copy_limit limit(4096);
  try {
    (void)lumdb::filter_to_sql(lumdb::filter_not(filter), nullptr, nullptr, nullptr);
  } catch (const std::length_error&) {
  }
  return 0;
}
