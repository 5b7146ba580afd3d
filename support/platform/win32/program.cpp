#include "support/platform/program.h"

#include <windows.h>

#include <vector>

#include "support/platform/win32/native.h"

namespace quenmar::platform {

Text ExecutablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD got = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (got == 0) return Text();
    if (got < buffer.size()) return win32::FromWide(buffer.data(), got);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace quenmar::platform
