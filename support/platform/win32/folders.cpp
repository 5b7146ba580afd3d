#include "support/platform/folders.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <random>
#include <string>

#include "support/platform/paths.h"
#include "support/platform/win32/native.h"

namespace quenmar::platform {
namespace {

using win32::FromWide;
using win32::ToNative;

bool IsDots(const wchar_t* name) { return std::wstring_view(name) == L"." || std::wstring_view(name) == L".."; }

bool IsFolder(const std::wstring& native) {
  const DWORD attributes = ::GetFileAttributesW(native.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Removes Path and, when it is a real folder, everything in it. A link or junction
// is removed itself and never followed. Read-only entries lose the bit first.
bool RemoveNative(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  if (attributes & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return ::DeleteFileW(path.c_str()) != 0;
  bool ok = true;
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!IsDots(found.cFileName)) ok = RemoveNative(path + L"\\" + found.cFileName) && ok;
      } while (::FindNextFileW(search, &found));
      ::FindClose(search);
    }
  }
  return ::RemoveDirectoryW(path.c_str()) != 0 && ok;
}

IoStatus Walk(const std::wstring& root, const std::wstring& relative, const std::function<void(const Text&)>& visit) {
  const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return win32::LastStatus();
  IoStatus status;
  do {
    if (IsDots(found.cFileName)) continue;
    const std::wstring rel = relative.empty() ? std::wstring(found.cFileName) : relative + L"/" + found.cFileName;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      status = Walk(root, rel, visit);
      if (!status.Ok()) break;
    } else {
      visit(FromWide(rel));
    }
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return status;
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

}  // namespace

IoStatus CreateFolders(TextView path) {
  const std::wstring native = WithoutTrailingSeparators(ToNative(path));
  if (native.empty()) return IoStatus();
  if (IsFolder(native)) return IoStatus();
  const size_t cut = native.find_last_of(L"\\/");
  if (cut != std::wstring::npos && cut > 0 && native[cut - 1] != L':' && native[cut - 1] != L'?') {
    const IoStatus parent = CreateFolders(FromWide(native.substr(0, cut)));
    if (!parent.Ok()) return parent;
  }
  if (!::CreateDirectoryW(native.c_str(), nullptr)) {
    const DWORD code = ::GetLastError();
    if (code == ERROR_ALREADY_EXISTS && IsFolder(native)) return IoStatus();
    return win32::StatusFromError(code);
  }
  return IoStatus();
}

IoStatus CreateUniqueFolder(TextView parent, TextView prefix, Text& created) {
  std::random_device device;
  std::mt19937_64 random(device());
  Text base(parent);
  if (!base.empty() && base.back() != u'\\' && base.back() != u'/' && base.back() != u':') base += u'\\';
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
    const Text candidate = base + Text(prefix) + Text(suffix, suffix + 16);
    const std::wstring native = ToNative(candidate);
    if (::CreateDirectoryW(native.c_str(), nullptr)) {
      // A leading dot hides nothing on Windows.
      ::SetFileAttributesW(native.c_str(), FILE_ATTRIBUTE_HIDDEN);
      created = candidate;
      return IoStatus();
    }
    const DWORD code = ::GetLastError();
    if (code != ERROR_ALREADY_EXISTS) return win32::StatusFromError(code);
  }
  return win32::StatusFromError(ERROR_ALREADY_EXISTS);
}

bool IsFolder(TextView path) { return !path.empty() && IsFolder(ToNative(path)); }

bool IsNetworkPath(TextView path) {
  const std::wstring wide = win32::ToWide(path);
  const auto separator = [&](size_t at) { return at < wide.size() && (wide[at] == L'\\' || wide[at] == L'/'); };
  if (separator(0) && separator(1)) {
    // "\\?\" and "\\.\" lead to this machine's own names, except "\\?\UNC\".
    if (wide.size() > 2 && (wide[2] == L'?' || wide[2] == L'.') && separator(3)) {
      return wide.compare(4, 4, L"UNC\\") == 0 || wide.compare(4, 4, L"unc\\") == 0;
    }
    return true;
  }
  if (wide.size() >= 2 && wide[1] == L':' && iswalpha(wide[0])) {
    const wchar_t root[] = {wide[0], L':', L'\\', L'\0'};
    return ::GetDriveTypeW(root) == DRIVE_REMOTE;
  }
  return false;
}

bool RemoveTree(TextView path) {
  if (path.empty()) return false;
  // The long form, also for a short root: the paths inside may be long.
  return RemoveNative(WithoutTrailingSeparators(win32::ToLongForm(path)));
}

void ForEachMatch(TextView folder, TextView mask, const std::function<bool(const Text& name)>& visit) {
  Text pattern(folder);
  if (!pattern.empty() && pattern.back() != u'\\' && pattern.back() != u'/' && pattern.back() != u':') pattern += u'\\';
  pattern += mask;
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW(ToNative(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    // The search also matches the short 8.3 names ("x.zipx" through "X~1.ZIP"):
    // the long name must match the mask itself.
    const Text name = FromWide(found.cFileName, std::wcslen(found.cFileName));
    if (!IsDots(found.cFileName) && MatchesMask(name, mask) && !visit(name)) break;
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

IoStatus ListFolder(TextView folder, const std::function<void(const Text& name, bool isFolder)>& visit) {
  Text pattern(folder.empty() ? TextView(u".") : folder);
  if (pattern.back() != u'\\' && pattern.back() != u'/' && pattern.back() != u':') pattern += u'\\';
  pattern += u'*';
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW(ToNative(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return win32::LastStatus();
  do {
    if (IsDots(found.cFileName)) continue;
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                          !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    visit(FromWide(found.cFileName, std::wcslen(found.cFileName)), isFolder);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return IoStatus();
}

IoStatus WalkFiles(TextView root, const std::function<void(const Text&)>& visit) {
  return Walk(WithoutTrailingSeparators(ToNative(root)), std::wstring(), visit);
}

}  // namespace quenmar::platform
