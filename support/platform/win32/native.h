// Paths and errors as Windows knows them: UTF-16 paths (the long form "\\?\" where
// a path is too long for the plain one), GetLastError codes with their system
// text, and FILETIME conversions by the time-zone rules of the date in question.
// Internal to the Win32 platform layer.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "support/platform/faults.h"
#include "support/platform/files.h"
#include "support/text.h"

namespace quenmar::platform::win32 {

std::wstring ToWide(TextView text);
Text FromWide(const wchar_t* text, size_t length);
inline Text FromWide(const std::wstring& text) { return FromWide(text.data(), text.size()); }

// Path in the form the W calls take: as it is while it is short enough, else the
// full path behind "\\?\" (or "\\?\UNC\" for a share).
std::wstring ToNative(TextView path);
// Path as the full path behind "\\?\" (or "\\?\UNC\"), however short: what is
// built on it by appending names stays valid past the plain form's limit.
std::wstring ToLongForm(TextView path);

// The code as it is and FormatMessageW's text for it, without its line end.
IoStatus StatusFromError(DWORD code);
inline IoStatus LastStatus() { return StatusFromError(::GetLastError()); }

// True when a test made this call fail (faults.h): GetLastError then gives the
// error, as after a refusal of the OS, and the call is not to be made.
inline bool Refused(faults::Call call) {
  const int error = faults::Take(call);
  if (error != 0) ::SetLastError(static_cast<DWORD>(error));
  return error != 0;
}

// Runs Attempt (a Win32 call, true on success, GetLastError on failure) again while
// it fails with access denied (5) or a sharing violation (32): what a virus
// scanner, the indexer or a sync client that opened a file a moment ago gives for
// a rename or a delete. Waits longer each time, about a second in all, then
// returns the failure that stands. ShortWaits: tests make the waits a millisecond.
IoStatus RetryWhileBusy(const std::function<bool()>& attempt);
void SetShortRetryWaitsForTests(bool shortWaits);

// Tests: writes a mark of the web (web_mark.h) as on a volume that keeps streams,
// whatever the volume says (Wine's say they keep none, and keep them as files).
void AssumeNamedStreamsForTests(bool assume);

// One component of a folder's own: no separator, no "." or "..", no stream
// (":"), no NUL. Anything else could lead a folder's call elsewhere than right
// inside it. NotPlain is the failure for any other name.
bool IsPlainName(TextView name);
IoStatus NotPlain();

// CreateFileW with what File::Open asks for Access and Share, plus Flags.
HANDLE OpenFileHandle(const std::wstring& native, FileAccess access, FileShare share, DWORD flags);

std::optional<LocalDateTime> LocalFromFileTime(const FILETIME& time);
std::optional<FILETIME> FileTimeFromLocal(const LocalDateTime& time);

}  // namespace quenmar::platform::win32
