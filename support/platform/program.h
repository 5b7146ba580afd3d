// The running program itself.
#pragma once

#include "support/text.h"

namespace quenmar::platform {

// Full path of the running executable; empty when the OS does not say.
Text ExecutablePath();

// Whether a run may compress entries on several threads on this platform.
bool ThreadedConversionAllowed();

}  // namespace quenmar::platform
