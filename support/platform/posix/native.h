// Paths in the OS's encoding, UTF-8. Internal to the POSIX platform layer.
#pragma once

#include <string>

#include "support/text.h"
#include "support/utf8.h"

namespace quenmar::platform::posix {

inline std::string ToNative(TextView path) { return TextToUtf8(path); }
inline Text FromNative(const std::string& path) { return Utf8ToText(path); }

}  // namespace quenmar::platform::posix
