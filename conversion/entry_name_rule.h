// The rule that renames an archive entry.
//
// An entry name starts with a date (year at characters 1-4, month at 6-7, day at
// 9-10). The new name starts with the year and month of the day before that date,
// keeps everything between the date and the extension, and puts "-fix" before the
// extension when the first two "-"-separated fields after the date are equal,
// "-mob" otherwise:
//   2018-10-15-abc-def-ghi.csv  ->  2018-10-abc-def-ghi-mob.csv
//
// Entry names are archive names, not paths of this machine: the rule always splits
// off the extension with the Windows delimiters, so its result is the same on
// every platform.
#pragma once

#include "support/text.h"

namespace quenmar {

// Returns the new name, or "" for the date 30 December 1899. Raises ERangeError
// ("Range check error") when a date part reads as a negative number, and
// EConvertError ("Invalid argument to date encode") when the date is not valid.
Text ConvertEntryName(TextView oldName);

}  // namespace quenmar
