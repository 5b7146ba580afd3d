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

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace quenmar
