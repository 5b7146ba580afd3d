#include "support/platform/posix/stat_info.h"

#include <ctime>

#include "support/platform/file_info.h"

namespace quenmar::platform::posix {

uint32_t AttributesOf(const struct stat& st) {
  uint32_t attributes = kAttrArchive;
  if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
  if (S_ISDIR(st.st_mode)) attributes |= kAttrDirectory;
  return attributes;
}

std::optional<LocalDateTime> LastWriteOf(const struct stat& st) {
  std::tm tm{};
  const time_t seconds = st.st_mtim.tv_sec;
  if (::localtime_r(&seconds, &tm) == nullptr) return std::nullopt;
  return FromTm(tm);
}

LocalDateTime FromTm(const std::tm& tm) {
  return LocalDateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace quenmar::platform::posix
