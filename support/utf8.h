// Conversions between text (UTF-16) and UTF-8 bytes, used where text meets the OS
// and archive names.
//
// Decoding never fails: each maximal invalid subpart of the input becomes one
// U+FFFD. Encoding turns an unpaired surrogate into U+FFFD.
#pragma once

#include <string>
#include <string_view>

#include "support/text.h"

namespace quenmar {

Text Utf8ToText(std::string_view bytes);
std::string TextToUtf8(TextView text);

// Decodes the sequence at bytes[i] and moves i past it (or past its maximal
// invalid subpart). Returns the code point, or -1 for an invalid subpart.
long DecodeUtf8At(std::string_view bytes, size_t& i);

// Calls Emit with each UTF-16 code unit that Utf8ToText would produce, without
// building the text.
template <class Emit>
void ForEachUtf16Unit(std::string_view bytes, Emit&& emit) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {  // ASCII, by far the common case
      emit(static_cast<char16_t>(byte));
      ++i;
      continue;
    }
    const long cp = DecodeUtf8At(bytes, i);
    if (cp < 0) {
      emit(char16_t{0xFFFD});
    } else if (cp < 0x10000) {
      emit(static_cast<char16_t>(cp));
    } else {
      emit(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      emit(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
  }
}

}  // namespace quenmar
