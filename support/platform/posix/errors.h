// Turns errno into the I/O result codes of the Windows numbering, with strerror's
// text. Internal to the POSIX platform layer.
#pragma once

#include <cerrno>
#include <string>

#include "support/platform/faults.h"
#include "support/platform/files.h"

namespace quenmar::platform::posix {

// Path is the native path of the failed call: ENOENT gives 3 instead of 2 when a
// folder on the way to Path is missing.
IoStatus StatusFromErrno(int err, const std::string& path = std::string());

// True when a test made this call fail (faults.h): errno then holds the error, as
// after a refusal of the OS, and the call is not to be made.
inline bool Refused(faults::Call call) {
  const int err = faults::Take(call);
  if (err != 0) errno = err;
  return err != 0;
}

}  // namespace quenmar::platform::posix
