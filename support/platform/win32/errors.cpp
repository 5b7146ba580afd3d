// Text and time conversions of the Win32 layer.
#include <windows.h>

#include <atomic>
#include <utility>

#include "support/platform/paths.h"
#include "support/platform/win32/native.h"
#include "support/utf8.h"

namespace quenmar::platform::win32 {

std::wstring ToWide(TextView text) { return std::wstring(text.begin(), text.end()); }

Text FromWide(const wchar_t* text, size_t length) { return Text(text, text + length); }

std::wstring ToNative(TextView path) {
  std::wstring wide = ToWide(path);
  // MAX_PATH counts the terminating NUL; folders to create are held to 248.
  if (wide.size() < kMaxFolderPathLength) return wide;
  return ToLongForm(path);
}

std::wstring ToLongForm(TextView path) {
  std::wstring wide = ToWide(path);
  if (wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  const DWORD got = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (got == 0 || got >= needed) return wide;
  full.resize(got);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

namespace {
std::atomic<bool> shortRetryWaits{false};
}  // namespace

void SetShortRetryWaitsForTests(bool shortWaits) { shortRetryWaits = shortWaits; }

IoStatus RetryWhileBusy(const std::function<bool()>& attempt) {
  constexpr DWORD kWaits[] = {10, 20, 40, 80, 160, 320, 370};
  for (const DWORD wait : kWaits) {
    if (attempt()) return IoStatus();
    const DWORD code = ::GetLastError();
    if (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION) return StatusFromError(code);
    ::Sleep(shortRetryWaits ? 1 : wait);
  }
  if (attempt()) return IoStatus();
  return LastStatus();
}

IoStatus StatusFromError(DWORD code) {
  IoStatus status;
  status.code = static_cast<IoCode>(code);  // the numbering is Windows' own
  if (code == 0) return status;
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length > 0 && text != nullptr) {
    std::wstring message(text, length);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
      message.pop_back();
    }
    status.reason = FromWide(message);
  } else {
    status.reason = u"Error " + Utf8ToText(std::to_string(code));
  }
  if (text != nullptr) ::LocalFree(text);
  return status;
}

std::optional<LocalDateTime> LocalFromFileTime(const FILETIME& time) {
  SYSTEMTIME utc, local;
  if (!::FileTimeToSystemTime(&time, &utc)) return std::nullopt;
  // The zone's rules for that date, not today's offset.
  if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return std::nullopt;
  return LocalDateTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

std::optional<FILETIME> FileTimeFromLocal(const LocalDateTime& time) {
  if (time.year < 1601 || time.year > 30827 || time.month < 1 || time.month > 12 || time.day < 1 || time.day > 31 ||
      time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second < 0 || time.second > 59) {
    return std::nullopt;
  }
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(time.year);
  local.wMonth = static_cast<WORD>(time.month);
  local.wDay = static_cast<WORD>(time.day);
  local.wHour = static_cast<WORD>(time.hour);
  local.wMinute = static_cast<WORD>(time.minute);
  local.wSecond = static_cast<WORD>(time.second);
  SYSTEMTIME utc;
  FILETIME result;
  if (!::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !::SystemTimeToFileTime(&utc, &result)) {
    return std::nullopt;
  }
  return result;
}

}  // namespace quenmar::platform::win32

namespace quenmar::platform::faults {

std::vector<NativeError> SampleErrors() {
  std::vector<NativeError> errors;
  for (const auto& [code, name] : {std::pair<DWORD, const char*>{ERROR_DISK_FULL, "ERROR_DISK_FULL"},
                                   {ERROR_SHARING_VIOLATION, "ERROR_SHARING_VIOLATION"},
                                   {ERROR_ACCESS_DENIED, "ERROR_ACCESS_DENIED"}}) {
    errors.push_back({static_cast<int>(code), name, win32::StatusFromError(code).reason});
  }
  return errors;
}

}  // namespace quenmar::platform::faults
