#include "support/platform/file_info.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "support/platform/paths.h"
#include "support/platform/posix/errors.h"
#include "support/platform/posix/native.h"
#include "support/platform/posix/stat_info.h"

namespace quenmar::platform {

using posix::FromNative;
using posix::ToNative;

IoStatus SetAttributes(TextView path, uint32_t attributes) {
  const std::string native = ToNative(path);
  struct stat st;
  if (::stat(native.c_str(), &st) != 0) return posix::StatusFromErrno(errno, native);
  mode_t mode = st.st_mode & 07777;
  if (attributes & kAttrReadOnly) {
    mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
  } else {
    mode |= S_IWUSR;
  }
  if (mode != (st.st_mode & 07777) && ::chmod(native.c_str(), mode) != 0) {
    return posix::StatusFromErrno(errno, native);
  }
  return IoStatus();
}

IoStatus SetFileTimes(TextView path, const LocalDateTime& time) {
  const std::optional<time_t> seconds = posix::LocalToTime(time);
  if (!seconds) return posix::StatusFromErrno(EINVAL);
  const timespec times[2] = {{*seconds, 0}, {*seconds, 0}};
  const std::string native = ToNative(path);
  if (::utimensat(AT_FDCWD, native.c_str(), times, 0) != 0) return posix::StatusFromErrno(errno, native);
  return IoStatus();
}

LocalDateTime CurrentLocalTime() {
  const time_t now = ::time(nullptr);
  std::tm tm{};
  ::localtime_r(&now, &tm);
  return posix::FromTm(tm);
}

std::optional<LocalDateTime> LocalTimeAfterSetting(const LocalDateTime& time) {
  // As File::SetTimes sets it and File::Describe reads it back.
  const std::optional<time_t> seconds = posix::LocalToTime(time);
  if (!seconds) return std::nullopt;
  struct stat st {};
  st.st_mtim.tv_sec = *seconds;
  return posix::LastWriteOf(st);
}

}  // namespace quenmar::platform
