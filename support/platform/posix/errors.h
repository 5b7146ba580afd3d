// Turns errno into the I/O result codes of the Windows numbering, with strerror's
// text. Internal to the POSIX platform layer.
#pragma once

#include <string>

#include "support/platform/files.h"

namespace quenmar::platform::posix {

// Path is the native path of the failed call: ENOENT gives 3 instead of 2 when a
// folder on the way to Path is missing.
IoStatus StatusFromErrno(int err, const std::string& path = std::string());

}  // namespace quenmar::platform::posix
