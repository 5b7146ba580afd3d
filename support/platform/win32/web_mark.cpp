// The mark lives in the file's alternate data stream "Zone.Identifier", which
// NTFS and ReFS keep and carry along when the file is renamed or moved on its
// volume.
#include <windows.h>

#include <atomic>
#include <string>

#include "support/platform/folder.h"
#include "support/platform/web_mark.h"
#include "support/platform/win32/native.h"

namespace quenmar::platform {

using faults::Call;
using win32::Refused;
using win32::ToNative;

namespace internal {

std::optional<std::string> ReadNativeWebMark(TextView path) {
  // Shared with everyone: the mark is looked at, never held. The full path: a
  // relative "x" followed by ":Zone.Identifier" would name a file on drive X.
  const HANDLE stream = ::CreateFileW((win32::ToLongForm(path) + win32::ToWide(kWebMarkStream)).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  // No stream, a volume without streams, or a stream the system keeps from us.
  if (stream == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string mark;
  bool whole = true;
  for (;;) {
    char buffer[4096];
    DWORD got = 0;
    if (!::ReadFile(stream, buffer, sizeof buffer, &got, nullptr) || mark.size() + got > kLongestWebMark) {
      whole = false;
      break;
    }
    if (got == 0) break;
    mark.append(buffer, got);
  }
  ::CloseHandle(stream);
  return whole ? mark : std::string(kInternetZoneMark);
}

}  // namespace internal

namespace win32 {
namespace {
std::atomic<bool> streamsAssumed{false};
}  // namespace
void AssumeNamedStreamsForTests(bool assume) { streamsAssumed = assume; }
}  // namespace win32

IoStatus Folder::WriteNativeWebMark(TextView name, const std::string& mark) const {
  if (!win32::IsPlainName(name)) return win32::NotPlain();
  DWORD flags = 0;
  if (!win32::streamsAssumed &&
      ::GetVolumeInformationByHandleW(reinterpret_cast<HANDLE>(handle_), nullptr, 0, nullptr, nullptr, &flags,
                                      nullptr, 0) &&
      !(flags & FILE_NAMED_STREAMS)) {
    return IoStatus();  // FAT, exFAT, many shares: nowhere to keep it
  }
  // Opened on the file itself, never through a link put in its place; the file
  // was closed a moment ago, so a scanner may still hold it.
  const std::wstring native = ToNative(path_ + Text(name) + kWebMarkStream);
  HANDLE stream = INVALID_HANDLE_VALUE;
  const IoStatus opened = win32::RetryWhileBusy([&] {
    stream = Refused(Call::kOpen) ? INVALID_HANDLE_VALUE
                                  : ::CreateFileW(native.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    return stream != INVALID_HANDLE_VALUE;
  });
  if (!opened.Ok()) return opened;
  const std::string& kept = mark.size() <= kLongestWebMark ? mark : std::string(kInternetZoneMark);
  DWORD written = 0;
  const bool ok = !Refused(Call::kWrite) &&
                  ::WriteFile(stream, kept.data(), static_cast<DWORD>(kept.size()), &written, nullptr) &&
                  written == kept.size() && !Refused(Call::kFlush) && ::FlushFileBuffers(stream);
  const IoStatus status = ok ? IoStatus() : win32::LastStatus();
  ::CloseHandle(stream);
  return status;
}

}  // namespace quenmar::platform
