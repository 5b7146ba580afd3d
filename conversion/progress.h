// The gauge's percentage after Done of Count entries.
//
// Computed as the program has always shown it, with 80-bit extended arithmetic:
// Done / Count rounded to a 64-bit significand, times 100 rounded the same way,
// then to the nearest integer with halves to even. So 23 of 40 gives 58 (double
// precision would give 57) and 59 of 200 gives 29 (exact arithmetic would give
// 30). Emulated with integers, so the result is the same whatever long double is.
#pragma once

#include <cstdint>

namespace quenmar {

// REQUIRES: 0 <= done <= count, count > 0.
int ProgressPercent(int32_t done, int32_t count);

}  // namespace quenmar
