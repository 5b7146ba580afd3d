#include "conversion/progress.h"

#include <bit>

namespace quenmar {
namespace {

__extension__ typedef unsigned __int128 u128;

int BitLength(u128 v) {
  const auto high = static_cast<uint64_t>(v >> 64);
  if (high != 0) return 64 + std::bit_width(high);
  return std::bit_width(static_cast<uint64_t>(v));
}

// Rounds numerator / 2^shift to the nearest integer, halves to even.
u128 ShiftRoundEven(u128 numerator, int shift) {
  if (shift <= 0) return numerator << -shift;
  const u128 quotient = numerator >> shift;
  const u128 remainder = numerator & ((u128{1} << shift) - 1);
  const u128 half = u128{1} << (shift - 1);
  if (remainder > half || (remainder == half && (quotient & 1) != 0)) return quotient + 1;
  return quotient;
}

// A positive number held as significand / 2^exponent, the significand rounded to
// 64 bits as the extended format keeps it.
struct Extended {
  u128 significand;
  int exponent;
};

Extended RoundTo64Bits(u128 significand, int exponent) {
  const int excess = BitLength(significand) - 64;
  if (excess > 0) {
    significand = ShiftRoundEven(significand, excess);
    exponent -= excess;
    if (BitLength(significand) > 64) {  // rounding carried into a new bit
      significand >>= 1;
      exponent -= 1;
    }
  }
  return Extended{significand, exponent};
}

// numerator / denominator rounded to a 64-bit significand.
Extended Divide(uint64_t numerator, uint64_t denominator) {
  // Scale so that the quotient has at least 66 significant bits before rounding.
  const int scale = 66 + BitLength(denominator) - BitLength(numerator);
  const u128 scaled = u128{numerator} << scale;
  u128 quotient = scaled / denominator;
  const u128 remainder = scaled % denominator;
  // A sticky bit keeps the rounding of the discarded remainder exact.
  quotient = (quotient << 1) | (remainder != 0 ? 1 : 0);
  return RoundTo64Bits(quotient, scale + 1);
}

}  // namespace

int ProgressPercent(int32_t done, int32_t count) {
  if (count <= 0 || done <= 0) return 0;
  const Extended quotient = Divide(static_cast<uint64_t>(done), static_cast<uint64_t>(count));
  const Extended product = RoundTo64Bits(quotient.significand * 100, quotient.exponent);
  return static_cast<int>(ShiftRoundEven(product.significand, product.exponent));
}

}  // namespace quenmar
