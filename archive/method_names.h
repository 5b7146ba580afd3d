// The names of compression methods that messages use.
#pragma once

#include <cstdint>

#include "support/text.h"

namespace quenmar {

// Named by the method taken modulo 128; "Unknown" for a method without a name.
Text CompressionMethodName(unsigned method);

}  // namespace quenmar
