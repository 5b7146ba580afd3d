// The running program itself.
#pragma once

#include "support/text.h"

namespace quenmar::platform {

// Full path of the running executable; empty when the OS does not say.
Text ExecutablePath();

}  // namespace quenmar::platform
