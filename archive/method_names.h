// The names of compression methods that messages use.
#pragma once

#include <cstdint>

#include "support/text.h"

namespace quenmar {

// Named by the method taken modulo 128; "Unknown" for a method without a name.
Text CompressionMethodName(unsigned method);

// The whole method number and its name, "12 (BZIP2)"; a number past 127 is
// named "Unknown", whatever it is modulo 128.
Text CompressionMethodNumberAndName(unsigned method);

}  // namespace quenmar
