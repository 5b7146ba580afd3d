#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "conversion/progress.h"

namespace quenmar {
namespace {

TEST(ProgressPercent, ExtendedPrecisionExamples) {
  struct Case { int done, count, expected; };
  const Case cases[] = {
      {1, 8, 12}, {2, 8, 25}, {3, 8, 38}, {4, 8, 50}, {5, 8, 62}, {6, 8, 75}, {7, 8, 88}, {8, 8, 100},
      {1, 3, 33}, {2, 3, 67}, {1, 200, 0}, {23, 40, 58}, {59, 200, 29}, {1, 1, 100},
      {65535, 65535, 100}, {1, 2147483647, 0}, {2147483647, 2147483647, 100},
  };
  for (const Case& c : cases) EXPECT_EQ(ProgressPercent(c.done, c.count), c.expected) << c.done << "/" << c.count;
}

// Where long double is the 80-bit extended format, the integer emulation must give
// what the hardware gives, for every share of up to 600 entries.
TEST(ProgressPercent, AgreesWithTheExtendedFormatWhereItExists) {
  if (LDBL_MANT_DIG != 64) GTEST_SKIP() << "long double is not the 80-bit format here";
  for (int count = 1; count <= 600; ++count) {
    for (int done = 1; done <= count; ++done) {
      const volatile long double quotient = static_cast<long double>(done) / static_cast<long double>(count);
      const volatile long double product = quotient * 100.0L;
      const long double rounded = std::nearbyintl(product);
      ASSERT_EQ(ProgressPercent(done, count), static_cast<int>(rounded)) << done << "/" << count;
    }
  }
}

}  // namespace
}  // namespace quenmar
