#include "support/platform/files.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "support/platform/win32/native.h"

namespace quenmar::platform {

using faults::Call;
using win32::Refused;

namespace {

HANDLE H(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Transfers are cut into pieces a DWORD can count.
constexpr int64_t kMaxPiece = int64_t{1} << 30;

}  // namespace

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)),
      sizeAtOpen_(other.sizeAtOpen_),
      modifiedAtOpen_(other.modifiedAtOpen_),
      modeAtOpen_(other.modeAtOpen_),
      lastFailure_(other.lastFailure_) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, -1);
    sizeAtOpen_ = other.sizeAtOpen_;
    modifiedAtOpen_ = other.modifiedAtOpen_;
    modeAtOpen_ = other.modeAtOpen_;
    lastFailure_ = other.lastFailure_;
  }
  return *this;
}

File::~File() { Close(); }

namespace win32 {

HANDLE OpenFileHandle(const std::wstring& native, FileAccess access, FileShare share, DWORD flags) {
  DWORD desired = GENERIC_READ, disposition = OPEN_EXISTING;
  switch (access) {
    case FileAccess::kRead: break;
    case FileAccess::kReadWrite: desired |= GENERIC_WRITE; break;
    // The share mode is checked before anything is emptied, so a file another
    // instance holds is never cut short by a refused opener.
    case FileAccess::kCreate: desired |= GENERIC_WRITE; disposition = CREATE_ALWAYS; break;
    case FileAccess::kOverwrite: desired |= GENERIC_WRITE; disposition = OPEN_ALWAYS; break;
  }
  DWORD shareMode = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  if (share == FileShare::kExclusive) shareMode = 0;
  if (share == FileShare::kReaders) shareMode = FILE_SHARE_READ;
  return ::CreateFileW(native.c_str(), desired, shareMode, nullptr, disposition, FILE_ATTRIBUTE_NORMAL | flags,
                       nullptr);
}

}  // namespace win32

File File::Open(TextView path, FileAccess access, FileShare share, IoStatus& status) {
  if (path.empty()) {
    status = win32::StatusFromError(ERROR_FILE_NOT_FOUND);
    return File();
  }
  const HANDLE handle =
      Refused(Call::kOpen) ? INVALID_HANDLE_VALUE : win32::OpenFileHandle(win32::ToNative(path), access, share, 0);
  if (handle == INVALID_HANDLE_VALUE) {
    status = win32::LastStatus();
    return File();
  }
  return Adopt(reinterpret_cast<intptr_t>(handle), access, share, status);
}

File File::Adopt(intptr_t handle, FileAccess /*access*/, FileShare /*share*/, IoStatus& status) {
  // Disposition and sharing were settled by CreateFileW.
  File file(handle);
  BY_HANDLE_FILE_INFORMATION info;
  if (::GetFileType(H(handle)) != FILE_TYPE_DISK || !::GetFileInformationByHandle(H(handle), &info)) {
    status = NotRegularFile();
    return File();
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    status = win32::StatusFromError(ERROR_ACCESS_DENIED);
    return File();
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    status = NotRegularFile();
    return File();
  }
  file.sizeAtOpen_ = (int64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  file.modifiedAtOpen_ = static_cast<int64_t>((uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                              info.ftLastWriteTime.dwLowDateTime);
  file.modeAtOpen_ = info.dwFileAttributes;
  status = IoStatus();
  return file;
}

IoStatus NotRegularFile() {
  IoStatus status;
  status.code = IoCode::kInvalidFunction;
  status.reason = u"Not a regular file";
  return status;
}

uint32_t File::PermissionsAtOpen() const { return 0; }

IoStatus File::SetAttributes(uint32_t attributes) {
  FILE_BASIC_INFO basic{};  // zero times: left as they are
  basic.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
  if (Refused(Call::kSetAttributes) || !::SetFileInformationByHandle(H(handle_), FileBasicInfo, &basic, sizeof basic)) {
    return win32::LastStatus();
  }
  return IoStatus();
}

int64_t File::Read(void* buffer, int64_t count) {
  auto* out = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    DWORD got = 0;
    const auto piece = static_cast<DWORD>(std::min(count - done, kMaxPiece));
    if (Refused(Call::kRead) || !::ReadFile(H(handle_), out + done, piece, &got, nullptr)) {
      lastFailure_ = win32::LastStatus();
      // Not a short read: that would pass for the end of the file.
      return -1;
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

int64_t File::Write(const void* buffer, int64_t count) {
  const auto* in = static_cast<const char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    DWORD put = 0;
    const auto piece = static_cast<DWORD>(std::min(count - done, kMaxPiece));
    if (Refused(Call::kWrite) || !::WriteFile(H(handle_), in + done, piece, &put, nullptr) ||
        put == 0) {
      lastFailure_ = win32::LastStatus();
      return done > 0 ? done : -1;
    }
    done += put;
  }
  return done;
}

int64_t File::Seek(int64_t position) {
  LARGE_INTEGER to, at;
  to.QuadPart = position;
  if (Refused(Call::kSeek) || !::SetFilePointerEx(H(handle_), to, &at, FILE_BEGIN)) {
    lastFailure_ = win32::LastStatus();
    return -1;
  }
  return at.QuadPart;
}

int64_t File::Size() const {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(H(handle_), &size)) return -1;
  return size.QuadPart;
}

bool File::Describe(LocalDateTime& lastWrite, uint32_t& attributes) const {
  if (handle_ == -1) return false;
  FILETIME written;
  written.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(modifiedAtOpen_) & 0xFFFFFFFF);
  written.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(modifiedAtOpen_) >> 32);
  const std::optional<LocalDateTime> local = win32::LocalFromFileTime(written);
  if (!local) return false;
  lastWrite = *local;
  attributes = modeAtOpen_;
  return true;
}

bool File::Truncate(int64_t size) {
  // The file's position is left where it was, as ftruncate leaves it.
  LARGE_INTEGER zero{}, was, to;
  to.QuadPart = size;
  if (Refused(Call::kTruncate) || !::SetFilePointerEx(H(handle_), zero, &was, FILE_CURRENT)) {
    lastFailure_ = win32::LastStatus();
    return false;
  }
  const bool cut = ::SetFilePointerEx(H(handle_), to, nullptr, FILE_BEGIN) && ::SetEndOfFile(H(handle_));
  if (!cut) lastFailure_ = win32::LastStatus();
  ::SetFilePointerEx(H(handle_), was, nullptr, FILE_BEGIN);
  return cut;
}

IoStatus File::FlushToDisk() {
  if (Refused(Call::kFlush) || !::FlushFileBuffers(H(handle_))) return win32::LastStatus();
  return IoStatus();
}

IoStatus File::SetTimes(const LocalDateTime& time) {
  const std::optional<FILETIME> when = win32::FileTimeFromLocal(time);
  if (!when) return win32::StatusFromError(ERROR_INVALID_PARAMETER);
  // Creation and last write, as extraction gives them.
  if (Refused(Call::kSetTimes) || !::SetFileTime(H(handle_), &*when, nullptr, &*when)) return win32::LastStatus();
  return IoStatus();
}

IoStatus File::SetTimesToNow() {
  // From the clock that CurrentLocalTime reads: GetSystemTimeAsFileTime may lag
  // behind it (under Wine it did, by enough to fall into the previous second).
  SYSTEMTIME utc;
  ::GetSystemTime(&utc);
  FILETIME now;
  if (!::SystemTimeToFileTime(&utc, &now)) return win32::LastStatus();
  if (Refused(Call::kSetTimes) || !::SetFileTime(H(handle_), nullptr, nullptr, &now)) return win32::LastStatus();
  return IoStatus();
}

IoStatus File::Close() {
  if (handle_ == -1) return IoStatus();
  const HANDLE handle = H(std::exchange(handle_, -1));
  // Closed whatever a test makes the call report: the handle must not leak.
  const int injected = faults::Take(Call::kClose);
  if (!::CloseHandle(handle)) return win32::LastStatus();
  if (injected != 0) return win32::StatusFromError(static_cast<DWORD>(injected));
  return IoStatus();
}

IoStatus RemoveFile(TextView path) {
  if (path.empty()) return win32::StatusFromError(ERROR_FILE_NOT_FOUND);
  const std::wstring native = win32::ToNative(path);
  const DWORD attributes = ::GetFileAttributesW(native.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return win32::StatusFromError(ERROR_ACCESS_DENIED);
  }
  return win32::RetryWhileBusy([&] { return !Refused(Call::kRemove) && ::DeleteFileW(native.c_str()); });
}

IoStatus RenameFile(TextView oldPath, TextView newPath) {
  const std::wstring from = win32::ToNative(oldPath), to = win32::ToNative(newPath);
  return win32::RetryWhileBusy(
      [&] { return !Refused(Call::kMove) && ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING); });
}

IoStatus MoveIntoPlace(TextView oldPath, TextView newPath) {
  // Asking for what a replacement needs and sharing everything, the open fails
  // with the sharing violation exactly when another opener refused to share the
  // file: then it is not replaced.
  const HANDLE probe = ::CreateFileW(win32::ToNative(newPath).c_str(), DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    if (code == ERROR_SHARING_VIOLATION) return win32::StatusFromError(code);
  } else {
    ::CloseHandle(probe);
  }
  IoStatus moved = RenameFile(oldPath, newPath);
  // Refused for access where the probe saw no one: the earlier file is read-only,
  // or another program has it open while allowing its deletion (Windows refuses to
  // replace an open file all the same). Told apart, since the user's remedies differ.
  if (moved.code == IoCode::kAccessDenied) {
    const DWORD attributes = ::GetFileAttributesW(win32::ToNative(newPath).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      moved = win32::StatusFromError((attributes & FILE_ATTRIBUTE_READONLY) ? ERROR_FILE_READ_ONLY
                                                                            : ERROR_SHARING_VIOLATION);
    }
  }
  return moved;
}

}  // namespace quenmar::platform
