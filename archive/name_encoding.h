// Entry names and comments as bytes and as text: UTF-8, or IBM code page 437 (the
// character set of the IBM PC) for archives that do not mark their names UTF-8.
#pragma once

#include <string_view>

#include "archive/stream.h"
#include "support/text.h"
#include "support/utf8.h"

namespace quenmar {

Text DecodeName(std::string_view bytes, bool utf8);

// True when every byte is below 0x80: then both encodings give one character per
// byte, the byte itself.
bool IsAscii(std::string_view bytes);

// Code page 437, bytes 0x80 to 0xFF; the lower half is ASCII.
extern const char16_t kCp437High[128];

// The character of one code page 437 byte.
inline char16_t Cp437ToUnit(unsigned char byte) {
  return byte < 0x80 ? static_cast<char16_t>(byte) : kCp437High[byte - 0x80];
}

// Calls Emit with each UTF-16 code unit of DecodeName(bytes, utf8), without
// building the text.
template <class Emit>
void ForEachNameUnit(std::string_view bytes, bool utf8, Emit&& emit) {
  if (utf8) {
    ForEachUtf16Unit(bytes, emit);
  } else {
    for (const char c : bytes) emit(Cp437ToUnit(static_cast<unsigned char>(c)));
  }
}
// Characters code page 437 cannot hold become "?".
TBytes EncodeName(TextView text, bool utf8);

}  // namespace quenmar
