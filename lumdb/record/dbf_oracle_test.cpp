// Our reader against tables written by another implementation (Debian's
// python3-dbf): every record, deletion flag and field text as that library
// reads them back. The tables and the expected texts are made by
// tools/fixtures/python_dbf_oracle.py before this test runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "lumdb/record/dbf_table.h"
#include "platform/files.h"

namespace lumdb {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  for (std::size_t tab; (tab = line.find('\t', at)) != std::string::npos; at = tab + 1) {
    parts.push_back(line.substr(at, tab - at));
  }
  parts.push_back(line.substr(at));
  return parts;
}

TEST(DbfOracle, TablesOfAnotherWriterReadBackFieldForField) {
  const char* folder = std::getenv("DBF_ORACLE_DIR");
  ASSERT_NE(folder, nullptr) << "DBF_ORACLE_DIR is not set";
  const auto expected = platform::ReadWholeFile(std::string(folder) + "/expected.tsv");
  ASSERT_TRUE(expected) << "the oracle wrote no expected.tsv";

  std::map<std::string, std::vector<std::vector<std::string>>> byFile;
  std::istringstream lines(*expected);
  for (std::string line; std::getline(lines, line);) {
    auto parts = SplitTabs(line);
    byFile[parts[0]].push_back(std::vector<std::string>(parts.begin() + 1, parts.end()));
  }
  ASSERT_EQ(byFile.size(), 2u);

  for (const auto& [file, records] : byFile) {
    SCOPED_TRACE(file);
    dbf_table_c table(std::string(folder) + "/" + file);
    ASSERT_TRUE(table.is_open());
    EXPECT_TRUE(table.problems().empty()) << table.problems().front();
    ASSERT_EQ(table.record_count(), static_cast<std::int32_t>(records.size()));
    std::size_t n = 0;
    for (auto ec = table.first(); !ec; ec = table.next(), ++n) {
      const auto& want = records[n];
      ASSERT_EQ(want[0], std::to_string(n));
      EXPECT_EQ(table.is_deleted(), want[1] == "1") << "record " << n;
      ASSERT_EQ(table.fields().size() + 2, want.size());
      for (std::size_t i = 0; i < table.fields().size(); ++i) {
        EXPECT_EQ(table.field_text(static_cast<int>(i)), want[i + 2])
            << "record " << n << " field " << table.fields()[i].name;
      }
    }
    EXPECT_EQ(n, records.size());
  }
}

}  // namespace
}  // namespace lumdb
