#include "support/calendar.h"

namespace quenmar {
namespace {

constexpr int32_t kDaysBeforeDayZero = 693594;  // 1 January 0001 counts as day 1 of this scale

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, int32_t& dayNumber) {
  if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(year, month)) return false;
  int32_t dayOfYear = day;
  for (int m = 1; m < month; ++m) dayOfYear += DaysInMonth(year, m);
  const int32_t y = year - 1;
  dayNumber = y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - kDaysBeforeDayZero;
  return true;
}

void DecodeDate(int32_t dayNumber, int& year, int& month, int& day) {
  int64_t t = static_cast<int64_t>(dayNumber) + kDaysBeforeDayZero;
  if (t <= 0) {
    year = month = day = 0;
    return;
  }
  t -= 1;
  int64_t y = 1;
  y += (t / 146097) * 400;
  t %= 146097;
  int64_t i = t / 36524;
  int64_t d = t % 36524;
  if (i == 4) { --i; d += 36524; }
  y += i * 100;
  y += (d / 1461) * 4;
  d %= 1461;
  i = d / 365;
  d %= 365;
  if (i == 4) { --i; d += 365; }
  y += i;
  year = static_cast<int>(y);
  month = 1;
  while (d >= DaysInMonth(year, month)) {
    d -= DaysInMonth(year, month);
    ++month;
  }
  day = static_cast<int>(d) + 1;
}

}  // namespace quenmar
