#include "support/platform/paths.h"

#include <windows.h>

#include <vector>

#include "support/platform/win32/native.h"

namespace quenmar::platform {

using win32::FromWide;
using win32::ToNative;
using win32::ToWide;

const TextView kDelimiters = kWindowsDelimiters;
const char16_t kPathSeparator = u'\\';
// MAX_PATH (260) counts the terminating NUL; CreateDirectory holds folders to 248.
const size_t kMaxFileNameLength = 259;
const size_t kMaxPathLength = 260;
const size_t kMaxFolderPathLength = 248;

bool HasInvalidNameChar(TextView text) {
  for (const char16_t c : text) {
    if (c < 32 || c == u'"' || c == u'<' || c == u'>' || c == u'|') return true;
  }
  return false;
}

Text FullPath(TextView name) {
  if (name.empty() || HasInvalidNameChar(name)) return Text();
  const std::wstring wide = ToWide(name);
  const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return Text();
  std::vector<wchar_t> buffer(needed);
  const DWORD got = ::GetFullPathNameW(wide.c_str(), needed, buffer.data(), nullptr);
  if (got == 0 || got >= needed) return Text();
  return FromWide(buffer.data(), got);
}

Text GetCurrentDir() {
  const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return Text();
  std::vector<wchar_t> buffer(needed);
  const DWORD got = ::GetCurrentDirectoryW(needed, buffer.data());
  if (got == 0 || got >= needed) return Text();
  return FromWide(buffer.data(), got);
}

IoCode SetCurrentDir(TextView path) {
  if (!::SetCurrentDirectoryW(ToWide(path).c_str())) return win32::StatusFromError(::GetLastError()).code;
  return IoCode::kOk;
}

}  // namespace quenmar::platform
