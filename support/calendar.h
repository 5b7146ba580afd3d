// Calendar dates of the proleptic Gregorian calendar as day numbers: 30 December
// 1899 is day 0 and 1 January 0001 is day -693593.
#pragma once

#include <cstdint>

namespace quenmar {

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1 to 12

// False when year (1 to 9999), month and day do not form a valid date.
bool TryEncodeDate(int year, int month, int day, int32_t& dayNumber);

// The date of a day number; any day before 1 January 0001 gives 0, 0, 0.
void DecodeDate(int32_t dayNumber, int& year, int& month, int& day);

}  // namespace quenmar
