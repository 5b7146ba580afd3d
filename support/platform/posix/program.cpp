#include "support/platform/program.h"

#include <limits.h>
#include <unistd.h>

#include <vector>

#include "support/platform/paths.h"
#include "support/platform/posix/native.h"

namespace quenmar::platform {

using posix::FromNative;
using posix::ToNative;

Text ExecutablePath() {
  std::vector<char> buffer(PATH_MAX + 1);
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return Text();
  return FromNative(std::string(buffer.data(), static_cast<size_t>(n)));
}

}  // namespace quenmar::platform
