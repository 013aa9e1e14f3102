#include "app/desktop/identity_number.h"

#include <gtest/gtest.h>

#include "platform/fake/fixed_clock.h"

namespace {

TEST(CheckLuhn, ChecksTheDigitFromTheRight) {
  EXPECT_TRUE(CheckLuhn("0000000000"));
  EXPECT_FALSE(CheckLuhn("0000000001"));
  EXPECT_TRUE(CheckLuhn("8112189876"));
  EXPECT_FALSE(CheckLuhn("8112189875"));
  EXPECT_TRUE(CheckLuhn("18"));  // 1 doubled, then 8: doubling starts at the second-last digit
  EXPECT_TRUE(CheckLuhn("59"));  // 5 doubled is 10, counted as 1
  EXPECT_FALSE(CheckLuhn("81121898a6"));
  EXPECT_FALSE(CheckLuhn("-0"));
  EXPECT_TRUE(CheckLuhn(""));
}

TEST(IsValidIdentityNumber, TableOfCases) {
  // The current year decides the century of a ten-digit number.
  platform::fake::FixedClock clock({2026, 6, 15, 12, 0, 0});
  platform::ScopedClock useClock(clock);
  struct Case {
    const char* text;
    bool valid;
  };
  const Case cases[] = {
      {"811218-9876", true},
      {"8112189876", true},
      {"811218 9876", true},
      {"19811218-9876", true},
      {"198112189876", true},
      {"811218-9875", false},  // check digit
      {"", false},
      {"81121898761", false},      // 11 digits
      {"811218-98x6", false},      // a letter
      {"811218/9876", false},      // another separator
      {"8112789873", true},        // coordination number: day 18 + 60
      {"8112619872", true},        // day 61 is day 1
      {"8112919876", true},        // day 91 is day 31 of December
      {"8112609873", false},       // day 60
      {"8112329878", false},       // day 32
      {"9913011236", false},       // month 13
      {"0002291235", true},        // 29 February 2000
      {"0402291231", true},        // 29 February 2004
      {"19000229-1235", false},    // 1900 is no leap year
      {"000229+1235", false},      // "+" puts it in 1900
      {"+0002291235", true},       // a leading "+" does not change a year not above the current one
      {"2606151237", true},        // 26 is not above 2026's 26: 2026
      {"2706151236", true},        // 27 is: 1927
      {"270615+1236", true},       // and with "+" 1827
      {"18121201-0118", true},     // 1812 is late enough
      {"17991201-0114", false},    // before 1800
      {"5560360793", false},       // an organisation number: month 60, so no person
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidIdentityNumber(c.text), c.valid) << c.text;
  }
}

}  // namespace
