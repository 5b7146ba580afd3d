#include "archive/dos_time.h"

#include "support/calendar.h"

namespace quenmar {

std::optional<platform::LocalDateTime> DosToDateTime(uint32_t value) {
  const uint32_t d = value >> 16;
  const uint32_t t = value & 0xFFFF;
  platform::LocalDateTime time;
  time.year = static_cast<int>((d >> 9) + 1980);
  time.month = static_cast<int>((d >> 5) & 15);
  time.day = static_cast<int>(d & 31);
  time.hour = static_cast<int>(t >> 11);
  time.minute = static_cast<int>((t >> 5) & 63);
  time.second = static_cast<int>((t & 31) * 2);
  if (time.day < 1 || time.day > DaysInMonth(time.year, time.month)) return std::nullopt;
  if (time.hour >= 24 || time.minute >= 60 || time.second >= 60) return std::nullopt;
  return time;
}

uint32_t DateTimeToDos(const platform::LocalDateTime& time) {
  if (time.year < 1980 || time.year > 2107) return 0;
  const uint32_t t = static_cast<uint32_t>((time.second >> 1) | (time.minute << 5) | (time.hour << 11));
  const uint32_t d = static_cast<uint32_t>(time.day | (time.month << 5) | ((time.year - 1980) << 9));
  return (d << 16) | t;
}

}  // namespace quenmar
