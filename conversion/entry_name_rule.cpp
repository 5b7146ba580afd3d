#include "conversion/entry_name_rule.h"

#include "support/calendar.h"
#include "support/exceptions.h"
#include "support/fields.h"
#include "support/file_names.h"
#include "support/numbers.h"
#include "support/platform/paths.h"

namespace quenmar {
namespace {

// A date part must fit the unsigned 16-bit range the calendar works in.
int ReadDatePart(TextView name, long long index, long long count) {
  const int32_t value = StrToIntZero(SubText(name, index, count));
  if (value < 0 || value > 65535) throw ERangeError(u"Range check error");
  return value;
}

}  // namespace

Text ConvertEntryName(TextView oldName) {
  const TextView delimiters = platform::kWindowsDelimiters;
  Text base = StripFileExt(oldName, delimiters);
  const Text ext = FileExtOf(oldName, delimiters);

  const int day = ReadDatePart(oldName, 9, 2);
  const int month = ReadDatePart(oldName, 6, 2);
  const int year = ReadDatePart(oldName, 1, 4);

  int32_t dayNumber = 0;
  if (!TryEncodeDate(year, month, day, dayNumber)) throw EConvertError(u"Invalid argument to date encode");
  if (dayNumber == 0) return Text();

  int prevYear = 0, prevMonth = 0, prevDay = 0;
  DecodeDate(dayNumber - 1, prevYear, prevMonth, prevDay);
  const Text prefix = IntToStrWidth(prevYear, 4) + u"-" + IntToStrZero(prevMonth, 2);

  DeleteText(base, 1, 10);
  Text rest = base;
  NextField(u"-", rest);  // whatever stands between the date and the first "-"
  const Text field2 = NextField(u"-", rest);
  const Text field3 = NextField(u"-", rest);
  const Text suffix = field3 == field2 ? u"-fix" : u"-mob";

  return prefix + base + suffix + ext;
}

}  // namespace quenmar
