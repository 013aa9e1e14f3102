#pragma once
// Test support: a company folder of DBF tables in a private temp folder.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fake/scoped_environment.h"
#include "tools/fixtures/dbf_writer.h"

namespace reader_walk {

inline fixtures::DbfColumn Char(std::string name, int length = 40) { return {std::move(name), 'C', length}; }
inline fixtures::DbfColumn Logical(std::string name) { return {std::move(name), 'L', 1}; }
inline fixtures::DbfColumn Numeric(std::string name, int length, int decimals = 0) {
  return {std::move(name), 'N', length, decimals};
}

inline fixtures::DbfWriter Table(std::vector<fixtures::DbfColumn> columns) {
  return fixtures::DbfWriter(fixtures::DbfFormat::DBase3, std::move(columns));
}

class CompanyFolder {
 public:
  std::string path() const { return tree_.root().string(); }
  void Write(std::string_view file, const fixtures::DbfWriter& table) const { table.WriteTo(tree_ / file); }
  void WriteText(std::string_view file, std::string_view text) const { tree_.Write(file, text); }

 private:
  platform::fake::TempTree tree_;
};

}  // namespace reader_walk
