#include "support/platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "support/platform/file_info.h"
#include "support/platform/interrupts.h"
#include "support/platform/paths.h"
#include "support/platform/posix/errors.h"
#include "support/platform/posix/native.h"
#include "support/platform/posix/stat_info.h"

namespace quenmar::platform {

using faults::Call;
using posix::FromNative;
using posix::Refused;
using posix::ToNative;

File::File(File&& other) noexcept
    : handle_(other.handle_),
      sizeAtOpen_(other.sizeAtOpen_),
      modifiedAtOpen_(other.modifiedAtOpen_),
      modeAtOpen_(other.modeAtOpen_),
      lastFailure_(other.lastFailure_) {
  other.handle_ = -1;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    sizeAtOpen_ = other.sizeAtOpen_;
    modifiedAtOpen_ = other.modifiedAtOpen_;
    modeAtOpen_ = other.modeAtOpen_;
    lastFailure_ = other.lastFailure_;
    other.handle_ = -1;
  }
  return *this;
}

File::~File() { Close(); }

namespace {

int Fd(intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

File File::Open(TextView path, FileAccess access, FileShare share, IoStatus& status) {
  const std::string native = ToNative(path);
  if (path.empty() || path.find(u'\0') != TextView::npos) {
    status = posix::StatusFromErrno(ENOENT, native);
    return File();
  }
  // Not blocking: a named pipe with no writer would hold the open forever.
  int flags = O_CLOEXEC | O_NONBLOCK;
  switch (access) {
    case FileAccess::kRead: flags |= O_RDONLY; break;
    case FileAccess::kReadWrite: flags |= O_RDWR; break;
    // Emptied only once the lock is held, so a file another instance holds is
    // never cut short by a refused opener.
    case FileAccess::kCreate:
    case FileAccess::kOverwrite: flags |= O_RDWR | O_CREAT; break;
  }
  const int fd = Refused(Call::kOpen) ? -1 : ::open(native.c_str(), flags, 0666);
  if (fd < 0) {
    status = posix::StatusFromErrno(errno, native);
    return File();
  }
  return Adopt(fd, access, share, status);
}

File File::Adopt(intptr_t handle, FileAccess access, FileShare share, IoStatus& status) {
  const int fd = Fd(handle);
  File file(fd);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    status = posix::StatusFromErrno(errno);
    return File();
  }
  if (S_ISDIR(st.st_mode)) {
    status = posix::StatusFromErrno(EISDIR);
    return File();
  }
  if (!S_ISREG(st.st_mode)) {
    status = NotRegularFile();
    return File();
  }
  // O_NONBLOCK, with which it was opened, stays: reads and writes of a regular
  // file wait for the disk whatever the flag says, and clearing it would cost two
  // calls more for every file (on archives of many small entries, a tenth of the
  // run).
  file.sizeAtOpen_ = static_cast<int64_t>(st.st_size);
  file.modifiedAtOpen_ = static_cast<int64_t>(st.st_mtim.tv_sec);
  file.modeAtOpen_ = static_cast<uint32_t>(st.st_mode);
  // The lock that matches the share mode: other readers take the shared one too.
  if (share != FileShare::kShared && ::flock(fd, (share == FileShare::kReaders ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
    status = posix::StatusFromErrno(errno);
    return File();
  }
  if (access == FileAccess::kCreate && (Refused(Call::kTruncate) || ::ftruncate(fd, 0) != 0)) {
    status = posix::StatusFromErrno(errno);
    return File();
  }
  status = IoStatus();
  return file;
}

IoStatus NotRegularFile() {
  IoStatus status;
  status.code = IoCode::kInvalidFunction;
  status.reason = u"Not a regular file";
  return status;
}

uint32_t File::PermissionsAtOpen() const { return modeAtOpen_ & 07777; }

IoStatus File::SetAttributes(uint32_t attributes) {
  struct stat st;
  if (::fstat(Fd(handle_), &st) != 0) return posix::StatusFromErrno(errno);
  const mode_t mode = (attributes & kAttrReadOnly) ? (st.st_mode & ~mode_t{0222}) : (st.st_mode | S_IWUSR);
  if (Refused(Call::kSetAttributes) || ::fchmod(Fd(handle_), mode & 07777) != 0) return posix::StatusFromErrno(errno);
  return IoStatus();
}

int64_t File::Read(void* buffer, int64_t count) {
  auto* out = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = Refused(Call::kRead) ? -1 : ::read(Fd(handle_), out + done, static_cast<size_t>(count - done));
    if (n < 0) {
      if (errno == EINTR && PendingInterrupt() == 0) continue;
      lastFailure_ = posix::StatusFromErrno(errno);
      // Not a short read: that would pass for the end of the file.
      return -1;
    }
    if (n == 0) break;
    done += n;
  }
  return done;
}

int64_t File::Write(const void* buffer, int64_t count) {
  const auto* in = static_cast<const char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = Refused(Call::kWrite) ? -1 : ::write(Fd(handle_), in + done, static_cast<size_t>(count - done));
    if (n < 0) {
      if (errno == EINTR && PendingInterrupt() == 0) continue;
      lastFailure_ = posix::StatusFromErrno(errno);
      return done > 0 ? done : -1;
    }
    done += n;
  }
  return done;
}

int64_t File::Seek(int64_t position) {
  const off_t at = Refused(Call::kSeek) ? -1 : ::lseek(Fd(handle_), static_cast<off_t>(position), SEEK_SET);
  if (at < 0) {
    lastFailure_ = posix::StatusFromErrno(errno);
    return -1;
  }
  return static_cast<int64_t>(at);
}

int64_t File::Size() const {
  struct stat st;
  if (::fstat(Fd(handle_), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool File::Describe(LocalDateTime& lastWrite, uint32_t& attributes) const {
  if (handle_ == -1) return false;
  struct stat st {};
  st.st_mtim.tv_sec = static_cast<time_t>(modifiedAtOpen_);
  st.st_mode = static_cast<mode_t>(modeAtOpen_);
  const std::optional<LocalDateTime> written = posix::LastWriteOf(st);
  if (!written) return false;
  lastWrite = *written;
  attributes = posix::AttributesOf(st);
  return true;
}

bool File::Truncate(int64_t size) {
  if (Refused(Call::kTruncate) || ::ftruncate(Fd(handle_), static_cast<off_t>(size)) != 0) {
    lastFailure_ = posix::StatusFromErrno(errno);
    return false;
  }
  return true;
}

IoStatus File::FlushToDisk() {
  if (Refused(Call::kFlush) || ::fsync(Fd(handle_)) != 0) return posix::StatusFromErrno(errno);
  return IoStatus();
}

IoStatus File::SetTimes(const LocalDateTime& time) {
  const std::optional<time_t> seconds = posix::LocalToTime(time);
  if (!seconds) return posix::StatusFromErrno(EINVAL);
  const timespec times[2] = {{*seconds, 0}, {*seconds, 0}};
  if (Refused(Call::kSetTimes) || ::futimens(Fd(handle_), times) != 0) return posix::StatusFromErrno(errno);
  return IoStatus();
}

IoStatus File::SetTimesToNow() {
  if (Refused(Call::kSetTimes) || ::futimens(Fd(handle_), nullptr) != 0) return posix::StatusFromErrno(errno);
  return IoStatus();
}

IoStatus File::Close() {
  if (handle_ == -1) return IoStatus();
  const int fd = Fd(handle_);
  handle_ = -1;
  // Closed whatever a test makes the call report: the descriptor must not leak.
  const int injected = faults::Take(Call::kClose);
  // EINTR leaves the descriptor closed on Linux, and nothing of the file lost.
  if (::close(fd) != 0 && errno != EINTR) return posix::StatusFromErrno(errno);
  if (injected != 0) return posix::StatusFromErrno(injected);
  return IoStatus();
}

IoStatus RemoveFile(TextView path) {
  const std::string native = ToNative(path);
  if (path.empty()) return posix::StatusFromErrno(ENOENT, native);
  struct stat st;
  if (::lstat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return posix::StatusFromErrno(EISDIR, native);
  if (Refused(Call::kRemove) || ::unlink(native.c_str()) != 0) return posix::StatusFromErrno(errno, native);
  return IoStatus();
}

IoStatus RenameFile(TextView oldPath, TextView newPath) {
  const std::string from = ToNative(oldPath);
  const std::string to = ToNative(newPath);
  if (Refused(Call::kMove) || ::rename(from.c_str(), to.c_str()) != 0) return posix::StatusFromErrno(errno, to);
  return IoStatus();
}

}  // namespace quenmar::platform

namespace quenmar::platform {

using posix::FromNative;
using posix::ToNative;

IoStatus MoveIntoPlace(TextView oldPath, TextView newPath) {
  const std::string to = ToNative(newPath);
  // Held while the rename happens, so no one takes the file in between. A file we
  // may not read cannot be asked about its lock; the rename then decides alone.
  const int held = ::open(to.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (held >= 0 && ::flock(held, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(held);
    return posix::StatusFromErrno(err, to);
  }
  const IoStatus status = RenameFile(oldPath, newPath);
  if (held >= 0) ::close(held);
  return status;
}

}  // namespace quenmar::platform
