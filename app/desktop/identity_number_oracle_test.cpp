// Our identity-number rule against the npm package "personnummer" over a few
// thousand generated numbers (the cases file is made by identity_number_oracle.sh
// when the tests run).
#include <cstdlib>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "app/desktop/identity_number.h"

namespace {

TEST(IsValidIdentityNumber, AgreesWithThePersonnummerPackage) {
  const char* file = std::getenv("IDENTITY_ORACLE_CASES");
  ASSERT_NE(file, nullptr) << "IDENTITY_ORACLE_CASES is not set";
  std::ifstream in(file);
  ASSERT_TRUE(in) << "cannot read " << file;
  int cases = 0;
  int valid = 0;
  int disagreements = 0;
  for (std::string line; std::getline(in, line);) {
    const auto tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << line;
    const std::string text = line.substr(0, tab);
    const bool expected = line.substr(tab + 1) == "1";
    ++cases;
    valid += expected;
    if (IsValidIdentityNumber(text) != expected && ++disagreements <= 20) {
      ADD_FAILURE() << text << ": the package says " << (expected ? "valid" : "invalid");
    }
  }
  EXPECT_EQ(disagreements, 0);
  EXPECT_GE(cases, 3000);
  // Both verdicts must be well represented, or the comparison proves little.
  EXPECT_GT(valid, cases / 4);
  EXPECT_GT(cases - valid, cases / 10);
}

}  // namespace
