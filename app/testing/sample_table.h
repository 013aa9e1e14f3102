#pragma once
// Test support: one table of a sample company and the kinds that the readers
// reading it feed, for the damage cases and fuzz targets over the company.
#include <string>
#include <vector>

#include "app/reader_interfaces/import_kind.h"

namespace conversion_damage {

struct SampleTable {
  std::string name;
  std::vector<ImportKind> feeds;
  // A company may lack the table (it then has no such records): removed, it
  // costs what it feeds without a row. A table every company has is said missing.
  bool mayBeMissing = true;
};

}  // namespace conversion_damage
