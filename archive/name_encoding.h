// Entry names and comments as bytes and as text: UTF-8, or IBM code page 437 (the
// character set of the IBM PC) for archives that do not mark their names UTF-8.
#pragma once

#include <string_view>

#include "archive/stream.h"
#include "support/text.h"

namespace quenmar {

Text DecodeName(std::string_view bytes, bool utf8);
// Characters code page 437 cannot hold become "?".
TBytes EncodeName(TextView text, bool utf8);

}  // namespace quenmar
