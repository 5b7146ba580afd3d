// Integers in text: a strict parse of a whole text, and formatting to a width.
#pragma once

#include <cstdint>

#include "support/text.h"

namespace quenmar {

struct ParseResult {
  int32_t value = 0;
  // 0 on success; otherwise the position at or just after the first character
  // the parse refuses (1-based, always positive).
  long long errorPos = 0;
};

// Reads the whole text as a 32-bit integer: leading blanks, one optional sign,
// then decimal digits, or a "$", "x", "X", "0x" or "0X" prefix and hexadecimal
// digits (32 bits, two's complement) to the very end.
ParseResult ParseInteger(TextView text);

// The value of ParseInteger, or 0 when the text cannot be read.
int32_t StrToIntZero(TextView text);

// Decimal form, filled with blanks on the left to Width (at most 255); never cut.
Text IntToStrWidth(int32_t value, int32_t width);

// Decimal form, with Width minus its length zeros in front (at most 11), put in
// front of a minus sign too: (-5, 4) gives "00-5".
Text IntToStrZero(int32_t value, int32_t width);

}  // namespace quenmar
