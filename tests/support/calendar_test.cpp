#include <gtest/gtest.h>

#include "support/calendar.h"

namespace quenmar {
namespace {

TEST(Calendar, DayNumbersAroundTheFixedPoints) {
  int32_t n = 0;
  ASSERT_TRUE(TryEncodeDate(1899, 12, 30, n));
  EXPECT_EQ(n, 0);
  ASSERT_TRUE(TryEncodeDate(1, 1, 1, n));
  EXPECT_EQ(n, -693593);
  ASSERT_TRUE(TryEncodeDate(2000, 1, 1, n));
  EXPECT_EQ(n, 36526);
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29, n));
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29, n));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, n));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1, n));
  EXPECT_FALSE(TryEncodeDate(2018, 13, 1, n));
  EXPECT_FALSE(TryEncodeDate(2018, 4, 31, n));
}

TEST(Calendar, DecodeInvertsEncodeOverTheWholeRange) {
  int32_t first = 0, last = 0;
  ASSERT_TRUE(TryEncodeDate(1, 1, 1, first));
  ASSERT_TRUE(TryEncodeDate(9999, 12, 31, last));
  int y = 1, m = 1, d = 1;
  for (int32_t n = first; n <= last; ++n) {
    int year, month, day;
    DecodeDate(n, year, month, day);
    ASSERT_EQ(year * 10000 + month * 100 + day, y * 10000 + m * 100 + d) << n;
    if (++d > DaysInMonth(y, m)) { d = 1; if (++m > 12) { m = 1; ++y; } }
  }
  int year, month, day;
  DecodeDate(first - 1, year, month, day);
  EXPECT_EQ(year + month + day, 0);
}

}  // namespace
}  // namespace quenmar
