#include "support/platform/file_info.h"

#include <windows.h>

#include "support/platform/win32/native.h"

namespace quenmar::platform {

IoStatus SetAttributes(TextView path, uint32_t attributes) {
  const DWORD value = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
  if (!::SetFileAttributesW(win32::ToNative(path).c_str(), value)) return win32::LastStatus();
  return IoStatus();
}

IoStatus SetFileTimes(TextView path, const LocalDateTime& time) {
  const std::optional<FILETIME> when = win32::FileTimeFromLocal(time);
  if (!when) return win32::StatusFromError(ERROR_INVALID_PARAMETER);
  const HANDLE file = ::CreateFileW(win32::ToNative(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return win32::LastStatus();
  const BOOL set = ::SetFileTime(file, &*when, nullptr, &*when);
  const IoStatus status = set ? IoStatus() : win32::LastStatus();
  ::CloseHandle(file);
  return status;
}

LocalDateTime CurrentLocalTime() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return LocalDateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::optional<LocalDateTime> LocalTimeAfterSetting(const LocalDateTime& time) {
  // As File::SetTimes sets it and File::Describe reads it back.
  const std::optional<FILETIME> when = win32::FileTimeFromLocal(time);
  if (!when) return std::nullopt;
  return win32::LocalFromFileTime(*when);
}

}  // namespace quenmar::platform
