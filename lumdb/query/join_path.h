#pragma once
// A join path: the field ids followed from a query's base table to the table
// of a column. Each element is the field along which one hop leaves the table
// reached so far (the hop follows a reference whose referencing fields include
// it, or an explicit join of a recordset); the empty path is the base table.
#include <vector>

namespace lumdb {

using join_path_t = std::vector<int>;

// Join paths compare with this, not ==: equal when both have the same length
// and every element of `a` is not -1 and equals the element of `b` at its
// place. So two empty paths are equal and a path holding -1 equals no path.
bool same_join_path(const join_path_t& a, const join_path_t& b);

}  // namespace lumdb
