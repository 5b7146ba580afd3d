#include "support/platform/folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/platform/posix/errors.h"
#include "support/platform/posix/native.h"

namespace quenmar::platform {

using faults::Call;
using posix::FromNative;
using posix::Refused;
using posix::ToNative;

namespace {

int Fd(intptr_t handle) { return static_cast<int>(handle); }

// One component: no separator, no "." or "..", no NUL. Anything else could lead
// the *at calls elsewhere than right inside the folder.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

IoStatus NotPlain() { return posix::StatusFromErrno(EINVAL); }

// The names inside the folder Fd, "." and ".." left out, with whether each is a
// folder as lstat sees it. Read through a descriptor of its own, so the folder's
// own stays where it is.
IoStatus ReadNames(int fd, std::vector<std::pair<std::string, bool>>& names) {
  const int listFd = ::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listFd < 0) return posix::StatusFromErrno(errno);
  DIR* dir = ::fdopendir(listFd);
  if (dir == nullptr) {
    const int err = errno;
    ::close(listFd);
    return posix::StatusFromErrno(err);
  }
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    const bool isFolder = ::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
    names.emplace_back(name, isFolder);
  }
  ::closedir(dir);
  return IoStatus();
}

// Opens Name inside the folder Dir (a path when Dir is AT_FDCWD) as a folder and
// describes it; -1 with errno set on failure.
int OpenFolderAt(int dir, const std::string& name, int flags, struct stat& st) {
  const int fd = Refused(Call::kOpen) ? -1 : ::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | flags);
  if (fd < 0) return -1;
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    errno = err;
    return -1;
  }
  return fd;
}

bool IsEmpty(int fd) {
  std::vector<std::pair<std::string, bool>> names;
  return ReadNames(fd, names).Ok() && names.empty();
}

// Removes what is inside the folder Fd. A subfolder is opened without following
// a link, so one exchanged for a link meanwhile is removed as the link it is.
bool RemoveInside(int fd, int depth) {
  std::vector<std::pair<std::string, bool>> names;
  if (!ReadNames(fd, names).Ok()) return false;
  bool ok = true;
  for (const auto& [name, isFolder] : names) {
    if (isFolder && depth < 64) {
      const int sub = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (sub >= 0) {
        struct stat before;
        const bool removed = ::fstat(sub, &before) == 0 && RemoveInside(sub, depth + 1);
        struct stat now;
        // Only the folder just emptied, not whatever bears its name by now.
        const bool same = removed && ::fstatat(fd, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
                          now.st_dev == before.st_dev && now.st_ino == before.st_ino;
        ::close(sub);
        ok = same && !Refused(Call::kRemove) && ::unlinkat(fd, name.c_str(), AT_REMOVEDIR) == 0 && ok;
        continue;
      }
      if (errno != ELOOP && errno != ENOTDIR) {
        ok = false;
        continue;
      }
    }
    // A file, a link, or a folder that became a link: the entry itself goes.
    if ((Refused(Call::kRemove) || ::unlinkat(fd, name.c_str(), 0) != 0) && errno != ENOENT) ok = false;
  }
  return ok;
}

}  // namespace

void Folder::Close() {
  if (handle_ != -1) ::close(Fd(std::exchange(handle_, -1)));
}

Folder Folder::Open(TextView path, IoStatus& status) {
  std::string native = ToNative(path);
  if (native.empty()) native = ".";
  struct stat st;
  const int fd = native.find('\0') == std::string::npos ? OpenFolderAt(AT_FDCWD, native, 0, st) : (errno = ENOENT, -1);
  if (fd < 0) {
    status = posix::StatusFromErrno(errno, native);
    return Folder();
  }
  status = IoStatus();
  return Adopt(fd, st.st_dev, st.st_ino, Text(path));
}

Folder Folder::CreatePrivateFolder(TextView prefix, Text& name, IoStatus& status) {
  std::random_device device;
  std::mt19937_64 random(device());
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
    const std::string candidate = ToNative(prefix) + suffix;
    if (Refused(Call::kMakeFolder) || ::mkdirat(Fd(handle_), candidate.c_str(), 0700) != 0) {
      if (errno == EEXIST) continue;
      status = posix::StatusFromErrno(errno, ToNative(path_) + candidate);
      return Folder();
    }
    struct stat st;
    const int fd = OpenFolderAt(Fd(handle_), candidate, O_NOFOLLOW, st);
    if (fd < 0) {
      const int err = errno;
      status = posix::StatusFromErrno(EACCES);
      // Gone or replaced by a link before it could be opened: not ours to touch.
      if (err == ENOENT || err == ELOOP || err == ENOTDIR) return Folder();
      // Still ours, and empty, but the system would not open it: it goes again
      // (no later run could tell it from another program's), and the system's
      // reason is told.
      if (!Refused(Call::kRemove)) ::unlinkat(Fd(handle_), candidate.c_str(), AT_REMOVEDIR);
      status = posix::StatusFromErrno(err);
      return Folder();
    }
    status = posix::StatusFromErrno(EACCES);
    Folder made = Adopt(fd, st.st_dev, st.st_ino, path_ + FromNative(candidate));
    // What the name leads to now must be what mkdir made: this user's, private,
    // empty, here. A folder of someone else, or another of ours swapped in, is
    // refused; ours, if it was moved away, stays an empty folder wherever it went.
    if (st.st_uid != ::geteuid() || (st.st_mode & 07777) != 0700 || st.st_dev != device_ || !IsEmpty(fd)) {
      return Folder();
    }
    name = FromNative(candidate);
    status = IoStatus();
    return made;
  }
  status = posix::StatusFromErrno(EEXIST);
  return Folder();
}

Folder Folder::OpenOwnSubfolder(TextView name, IoStatus& status) const {
  const std::string native = ToNative(name);
  if (!IsPlainName(native)) {
    status = NotPlain();
    return Folder();
  }
  struct stat st;
  const int fd = OpenFolderAt(Fd(handle_), native, O_NOFOLLOW, st);
  if (fd < 0) {
    status = posix::StatusFromErrno(errno);
    return Folder();
  }
  Folder folder = Adopt(fd, st.st_dev, st.st_ino, path_ + Text(name));
  if (st.st_uid != ::geteuid()) {
    status = posix::StatusFromErrno(EACCES);
    return Folder();
  }
  status = IoStatus();
  return folder;
}

File Folder::NewFile(TextView name, IoStatus& status, uint32_t permissions) const {
  const std::string native = ToNative(name);
  if (!IsPlainName(native)) {
    status = NotPlain();
    return File();
  }
  // Made and locked under a name of its own, then linked to Name: an opener that
  // asks for the lock never finds the file under Name unlocked. The link, unlike
  // a rename, fails rather than replace a file that bears Name already.
  const std::string making = native + ".making";
  const int flags = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  const int fd = Refused(Call::kOpen)
                     ? -1
                     : ::openat(Fd(handle_), making.c_str(), flags, static_cast<mode_t>(permissions & 0777));
  if (fd < 0) {
    status = posix::StatusFromErrno(errno);
    return File();
  }
  File file = File::Adopt(fd, FileAccess::kReadWrite, FileShare::kExclusive, status);
  if (status.Ok() &&
      (Refused(Call::kOpen) || ::linkat(Fd(handle_), making.c_str(), Fd(handle_), native.c_str(), 0) != 0)) {
    status = posix::StatusFromErrno(errno);
    file = File();
  }
  if (!Refused(Call::kRemove)) ::unlinkat(Fd(handle_), making.c_str(), 0);
  return file;
}

File Folder::OpenFile(TextView name, FileAccess access, FileShare share, IoStatus& status) const {
  const std::string native = ToNative(name);
  if (!IsPlainName(native)) {
    status = NotPlain();
    return File();
  }
  int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  flags |= access == FileAccess::kRead ? O_RDONLY : O_RDWR;
  if (access == FileAccess::kCreate || access == FileAccess::kOverwrite) flags |= O_CREAT;
  const int fd = Refused(Call::kOpen) ? -1 : ::openat(Fd(handle_), native.c_str(), flags, 0600);
  if (fd < 0) {
    status = posix::StatusFromErrno(errno == ELOOP ? EACCES : errno);
    return File();
  }
  return File::Adopt(fd, access, share, status);
}

IoStatus Folder::RemoveEntry(TextView name) const {
  const std::string native = ToNative(name);
  if (!IsPlainName(native)) return NotPlain();
  if (Refused(Call::kRemove) || ::unlinkat(Fd(handle_), native.c_str(), 0) != 0) return posix::StatusFromErrno(errno);
  return IoStatus();
}

IoStatus Folder::MoveInto(TextView name, const Folder& target, TextView targetName) const {
  const std::string from = ToNative(name);
  const std::string to = ToNative(targetName);
  if (!IsPlainName(from) || !IsPlainName(to)) return NotPlain();
  // Held while the rename happens, so no one takes the file in between. A file we
  // may not read cannot be asked about its lock; the rename then decides alone.
  const int held = ::openat(Fd(target.handle_), to.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (held >= 0 && ::flock(held, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(held);
    return posix::StatusFromErrno(err);
  }
  IoStatus status;
  if (Refused(Call::kMove) || ::renameat(Fd(handle_), from.c_str(), Fd(target.handle_), to.c_str()) != 0) {
    status = posix::StatusFromErrno(errno, ToNative(target.path_) + to);
  }
  if (held >= 0) ::close(held);
  return status;
}

IoStatus Folder::FlushToDisk() const {
  if (Refused(Call::kFlush) || ::fsync(Fd(handle_)) != 0) return posix::StatusFromErrno(errno);
  return IoStatus();
}

IoStatus Folder::CheckWritable() const {
  if (::faccessat(Fd(handle_), ".", W_OK | X_OK, AT_EACCESS) != 0) return posix::StatusFromErrno(errno);
  return IoStatus();
}

IoStatus Folder::FreeSpace(uint64_t& bytes) const {
  struct statvfs vfs;
  if (::fstatvfs(Fd(handle_), &vfs) != 0) return posix::StatusFromErrno(errno);
  bytes = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
  return IoStatus();
}

IoStatus Folder::List(const std::function<void(const Text& name, bool isFolder)>& visit) const {
  std::vector<std::pair<std::string, bool>> names;
  const IoStatus status = ReadNames(Fd(handle_), names);
  if (!status.Ok()) return status;
  for (const auto& [name, isFolder] : names) visit(FromNative(name), isFolder);
  return IoStatus();
}

bool Folder::RemoveContents() const { return IsOpen() && RemoveInside(Fd(handle_), 0); }

bool Folder::RemoveSubfolder(TextView name, Folder& child) const {
  const std::string native = ToNative(name);
  if (!IsPlainName(native) || !child.IsOpen()) return false;
  bool ok = child.RemoveContents();
  struct stat now;
  const bool same = ::fstatat(Fd(handle_), native.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(now.st_mode) &&
                    now.st_dev == child.device_ && now.st_ino == child.inode_;
  child.Close();
  return same && !Refused(Call::kRemove) && ::unlinkat(Fd(handle_), native.c_str(), AT_REMOVEDIR) == 0 && ok;
}

}  // namespace quenmar::platform
