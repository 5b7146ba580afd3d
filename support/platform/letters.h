// Letter case as the OS's own text functions see it, for the whole of Unicode.
#pragma once

#include "support/text.h"

namespace quenmar::platform {

// Text with every letter that has a lower-case form in it; other code units,
// surrogate halves included, as they are.
Text LowerCase(TextView text);

}  // namespace quenmar::platform
