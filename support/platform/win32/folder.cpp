#include "support/platform/folder.h"

#include <windows.h>

#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/platform/win32/native.h"

namespace quenmar::platform {

using faults::Call;
using win32::FromWide;
using win32::IsPlainName;
using win32::NotPlain;
using win32::Refused;
using win32::ToNative;

namespace {

HANDLE H(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }


constexpr DWORD kPrivateAccess = DELETE | FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES |
                                 FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
constexpr DWORD kNoDeleteSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

// A folder handle that keeps its path leading to it: others may read and write in
// the folder but not rename or delete it (no delete sharing). Opened on a
// reparse point itself, never through it.
HANDLE OpenPrivateFolderHandle(const std::wstring& native, DWORD& error) {
  const HANDLE handle =
      Refused(Call::kOpen) ? INVALID_HANDLE_VALUE
                           : ::CreateFileW(native.c_str(), kPrivateAccess, kNoDeleteSharing, nullptr, OPEN_EXISTING,
                                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = ::GetLastError();
    return handle;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(handle, &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    // A junction or link where the folder should be: not followed, not used.
    ::CloseHandle(handle);
    error = ERROR_ACCESS_DENIED;
    return INVALID_HANDLE_VALUE;
  }
  return handle;
}

}  // namespace

namespace win32 {

bool IsPlainName(TextView name) {
  return !name.empty() && name != u"." && name != u".." && name.find_first_of(u"\\/:") == TextView::npos &&
         name.find(u'\0') == TextView::npos;
}

IoStatus NotPlain() { return StatusFromError(ERROR_INVALID_NAME); }

}  // namespace win32

void Folder::Close() {
  if (handle_ != -1) ::CloseHandle(H(std::exchange(handle_, -1)));
}

Folder Folder::Open(TextView path, IoStatus& status) {
  const std::wstring native = ToNative(path.empty() ? TextView(u".") : path);
  // The folder the user named: links on the way are followed, and it is shared
  // with everyone, as any folder a program merely looks into.
  const HANDLE handle =
      Refused(Call::kOpen) ? INVALID_HANDLE_VALUE
                           : ::CreateFileW(native.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    status = win32::LastStatus();
    return Folder();
  }
  status = IoStatus();
  return Adopt(reinterpret_cast<intptr_t>(handle), 0, 0, Text(path));
}

Folder Folder::CreatePrivateFolder(TextView prefix, Text& name, IoStatus& status) {
  std::random_device device;
  std::mt19937_64 random(device());
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
    const Text candidate = Text(prefix) + Text(suffix, suffix + 16);
    const std::wstring native = ToNative(path_ + candidate);
    if (Refused(Call::kMakeFolder) || !::CreateDirectoryW(native.c_str(), nullptr)) {
      const DWORD code = ::GetLastError();
      if (code == ERROR_ALREADY_EXISTS) continue;
      status = win32::StatusFromError(code);
      return Folder();
    }
    DWORD error = 0;
    const HANDLE handle = OpenPrivateFolderHandle(native, error);
    if (handle == INVALID_HANDLE_VALUE) {
      // Still ours and empty unless it is gone, but the system would not open it:
      // it goes again (no later run could tell it from another program's). A
      // junction put in its place is removed itself, never what it leads to.
      if (error != ERROR_FILE_NOT_FOUND && !Refused(Call::kRemove)) ::RemoveDirectoryW(native.c_str());
      status = win32::StatusFromError(error == ERROR_FILE_NOT_FOUND ? ERROR_ACCESS_DENIED : error);
      return Folder();
    }
    Folder made = Adopt(reinterpret_cast<intptr_t>(handle), 0, 0, path_ + candidate);
    // A leading dot hides nothing on Windows.
    FILE_BASIC_INFO basic{};
    // Nor is it for the search index, whose reading of a file just written would
    // hold it up.
    basic.FileAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_DIRECTORY;
    (void)::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
    name = candidate;
    status = IoStatus();
    return made;
  }
  status = win32::StatusFromError(ERROR_ALREADY_EXISTS);
  return Folder();
}

Folder Folder::OpenOwnSubfolder(TextView name, IoStatus& status) const {
  if (!IsPlainName(name)) {
    status = NotPlain();
    return Folder();
  }
  DWORD error = 0;
  const HANDLE handle = OpenPrivateFolderHandle(ToNative(path_ + Text(name)), error);
  if (handle == INVALID_HANDLE_VALUE) {
    status = win32::StatusFromError(error);
    return Folder();
  }
  status = IoStatus();
  return Adopt(reinterpret_cast<intptr_t>(handle), 0, 0, path_ + Text(name));
}

File Folder::NewFile(TextView name, IoStatus& status, uint32_t /*permissions*/) const {
  if (!IsPlainName(name)) {
    status = NotPlain();
    return File();
  }
  const HANDLE handle =
      Refused(Call::kOpen)
          ? INVALID_HANDLE_VALUE
          : ::CreateFileW(ToNative(path_ + Text(name)).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    status = win32::LastStatus();
    return File();
  }
  return File::Adopt(reinterpret_cast<intptr_t>(handle), FileAccess::kReadWrite, FileShare::kExclusive, status);
}

File Folder::OpenFile(TextView name, FileAccess access, FileShare share, IoStatus& status) const {
  if (!IsPlainName(name)) {
    status = NotPlain();
    return File();
  }
  const HANDLE handle = Refused(Call::kOpen) ? INVALID_HANDLE_VALUE
                                             : win32::OpenFileHandle(ToNative(path_ + Text(name)), access, share,
                                                                     FILE_FLAG_OPEN_REPARSE_POINT);
  if (handle == INVALID_HANDLE_VALUE) {
    status = win32::LastStatus();
    return File();
  }
  return File::Adopt(reinterpret_cast<intptr_t>(handle), access, share, status);
}

IoStatus Folder::RemoveEntry(TextView name) const {
  if (!IsPlainName(name)) return NotPlain();
  const std::wstring native = ToNative(path_ + Text(name));
  const DWORD attributes = ::GetFileAttributesW(native.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    ::SetFileAttributesW(native.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  // A junction or a folder link is removed itself, never what it leads to.
  const bool folderLink = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  return win32::RetryWhileBusy([&] {
    return !Refused(Call::kRemove) && (folderLink ? ::RemoveDirectoryW(native.c_str()) : ::DeleteFileW(native.c_str()));
  });
}

IoStatus Folder::MoveInto(TextView name, const Folder& target, TextView targetName) const {
  if (!IsPlainName(name) || !IsPlainName(targetName)) return NotPlain();
  return MoveIntoPlace(path_ + Text(name), target.path_ + Text(targetName));
}

IoStatus Folder::FlushToDisk() const { return IoStatus(); }

IoStatus Folder::CheckWritable() const {
  // The access check happens at the open: asking for the rights to add files
  // and folders is refused exactly when making one would be.
  const HANDLE probe = ::CreateFileW(ToNative(path_.empty() ? Text(u".") : path_).c_str(),
                                    FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return win32::LastStatus();
  ::CloseHandle(probe);
  return IoStatus();
}

IoStatus Folder::FreeSpace(uint64_t& bytes) const {
  ULARGE_INTEGER available;
  if (!::GetDiskFreeSpaceExW(ToNative(path_.empty() ? Text(u".\\") : path_).c_str(), &available, nullptr, nullptr)) {
    return win32::LastStatus();
  }
  bytes = available.QuadPart;
  return IoStatus();
}

IoStatus Folder::List(const std::function<void(const Text& name, bool isFolder)>& visit) const {
  // Read through the handle: a search by path would open the folder again, which
  // a private folder's own handle (holding the right to delete it) refuses.
  alignas(8) unsigned char buffer[16384];
  FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
  for (;;) {
    if (!::GetFileInformationByHandleEx(H(handle_), kind, buffer, sizeof buffer)) {
      const DWORD code = ::GetLastError();
      if (code == ERROR_NO_MORE_FILES) return IoStatus();
      return win32::StatusFromError(code);
    }
    kind = FileIdBothDirectoryInfo;
    for (size_t at = 0;;) {
      const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + at);
      const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..") {
        const bool isFolder = (entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                              !(entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        visit(FromWide(name.data(), name.size()), isFolder);
      }
      if (entry->NextEntryOffset == 0) break;
      at += entry->NextEntryOffset;
    }
  }
}

bool Folder::RemoveContents() const {
  if (!IsOpen()) return false;
  std::vector<std::pair<Text, bool>> names;
  if (!List([&](const Text& name, bool isFolder) { names.emplace_back(name, isFolder); }).Ok()) return false;
  bool ok = true;
  for (const auto& [name, isFolder] : names) {
    if (isFolder) {
      IoStatus status;
      Folder child = OpenOwnSubfolder(name, status);
      if (status.Ok()) {
        ok = RemoveSubfolder(name, child) && ok;
        continue;
      }
    }
    const IoStatus removed = RemoveEntry(name);
    ok = (removed.Ok() || removed.code == IoCode::kFileNotFound) && ok;
  }
  return ok;
}

bool Folder::RemoveSubfolder(TextView name, Folder& child) const {
  if (!IsPlainName(name) || !child.IsOpen()) return false;
  const bool emptied = child.RemoveContents();
  // Deleted through the handle that holds it, so nothing swapped in under its
  // name is touched.
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  const bool marked = !Refused(Call::kRemove) && ::SetFileInformationByHandle(H(child.handle_), FileDispositionInfo,
                                                                              &disposition, sizeof disposition) != 0;
  child.Close();
  return emptied && marked;
}

}  // namespace quenmar::platform
