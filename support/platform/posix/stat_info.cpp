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

// The moment a local calendar time names. Computed from the zone's offset at that
// moment rather than with mktime, which looks at the time zone file on every call.
std::optional<time_t> LocalToTime(const LocalDateTime& time) {
  std::tm tm{};
  tm.tm_year = time.year - 1900;
  tm.tm_mon = time.month - 1;
  tm.tm_mday = time.day;
  tm.tm_hour = time.hour;
  tm.tm_min = time.minute;
  tm.tm_sec = time.second;
  const time_t asUtc = ::timegm(&tm);
  if (asUtc == static_cast<time_t>(-1)) return std::nullopt;
  time_t moment = asUtc;
  // Twice: the offset at the first guess may differ across a daylight-saving change.
  for (int round = 0; round < 2; ++round) {
    std::tm local{};
    if (::localtime_r(&moment, &local) == nullptr) return std::nullopt;
    moment = asUtc - local.tm_gmtoff;
  }
  return moment;
}


}  // namespace quenmar::platform::posix
