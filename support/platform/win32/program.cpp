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

// Not yet: a run with several threads crashed now and then under Wine (a page
// fault in a worker thread, on an archive whose extraction fails) and the cause is
// not understood. Until it is, the Windows programs convert one entry at a time.
bool ThreadedConversionAllowed() { return false; }

}  // namespace quenmar::platform
