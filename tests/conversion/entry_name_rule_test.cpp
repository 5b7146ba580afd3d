#include <gtest/gtest.h>

#include "common/test_support.h"
#include "conversion/entry_name_rule.h"
#include "support/exceptions.h"

namespace quenmar {
namespace {

enum class Outcome { kName, kRange, kConvert };

struct RuleCase {
  const char16_t* oldName;
  Outcome outcome;
  const char16_t* newName;
};

TEST(ConvertEntryName, RenamesByTheDayBefore) {
  const RuleCase cases[] = {
      {u"2018-10-15-abc-def-ghi.csv", Outcome::kName, u"2018-10-abc-def-ghi-mob.csv"},
      {u"2018-10-15-abc-abc-ghi.csv", Outcome::kName, u"2018-10-abc-abc-ghi-fix.csv"},
      {u"2018-10-01-abc-def-def.csv", Outcome::kName, u"2018-09-abc-def-def-mob.csv"},
      {u"2018-10-01-abc-def-ghi.csv", Outcome::kName, u"2018-09-abc-def-ghi-mob.csv"},
      {u"2019-01-01-P1-P1-X.txt", Outcome::kName, u"2018-12-P1-P1-X-fix.txt"},
      {u"2020-03-01-a-a-b.csv", Outcome::kName, u"2020-02-a-a-b-fix.csv"},
      {u"2018-10-01-abc.csv", Outcome::kName, u"2018-09-abc-mob.csv"},
      {u"2018-10-01-a-a", Outcome::kName, u"2018-09-a-a-fix"},
      {u"2018-10-01.csv", Outcome::kName, u"2018-09-fix.csv"},
      {u"2018-10-01-a-b-c.tar.gz", Outcome::kName, u"2018-09-a-b-c.tar-mob.gz"},
      {u"2018-10-01-a-b-c.", Outcome::kName, u"2018-09-a-b-c-mob."},
      {u"2018.10.01-a-b-c.csv", Outcome::kName, u"2018-09-a-b-c-mob.csv"},
      {u"2018-10-01_abc-def-def.csv", Outcome::kName, u"2018-09_abc-def-def-fix.csv"},
      {u"2018-10-01--a-a.csv", Outcome::kName, u"2018-09--a-a-mob.csv"},
      {u"2018-10-01-\"ab\"-ab-x.csv", Outcome::kName, u"2018-09-\"ab\"-ab-x-fix.csv"},
      {u"2018- 9- 5-a-b-c.txt", Outcome::kName, u"2018-09-a-b-c-mob.txt"},
      {u"2018-x9-05-a-b-c.txt", Outcome::kName, u"2018-09-a-b-c-mob.txt"},
      {u"0999-03-01-a-b-b.txt", Outcome::kName, u" 999-02-a-b-b-mob.txt"},
      {u"0001-01-01-a-b-c.txt", Outcome::kName, u"   0-00-a-b-c-mob.txt"},
      {u"1899-12-31-a-b-c.txt", Outcome::kName, u"1899-12-a-b-c-mob.txt"},
      {u"1899-12-30-a-b-c.txt", Outcome::kName, u""},
      {u"2018-10-5", Outcome::kName, u"2018-10-fix"},
      {u"2018-10-5.csv", Outcome::kConvert, nullptr},
      {u"a.csv", Outcome::kConvert, nullptr},
      {u"", Outcome::kConvert, nullptr},
      {u"abcd-ef-gh-x-y-z.csv", Outcome::kConvert, nullptr},
      {u"20181001-abc-def-def.csv", Outcome::kConvert, nullptr},
      {u"2018-02-29-a-b-c.csv", Outcome::kConvert, nullptr},
      {u"2018-13-01-a-b-c.csv", Outcome::kConvert, nullptr},
      {u"2018-10--1-a-b-c.csv", Outcome::kRange, nullptr},
      {u"sub/2018-10-01-a-b-c.csv", Outcome::kRange, nullptr},
      {u"2018-10-01/x-y-z.csv", Outcome::kName, u"2018-09/x-y-z-mob.csv"},
      {u"2018-10-01/", Outcome::kName, u"2018-09/-fix"},
      // Beyond the everyday: the last valid year, a Windows folder part, signs and
      // hexadecimal years.
      {u"9999-12-31-a-b-c.csv", Outcome::kName, u"9999-12-a-b-c-mob.csv"},
      {u"2018-10-01-a-b-c\\x.y\\z", Outcome::kName, u"2018-09-a-b-c\\x.y\\z-mob"},
      {u"+999-03-01-a-a.csv", Outcome::kName, u" 999-02-a-a-fix.csv"},
      {u"$7E3-01-01-a-a-a.csv", Outcome::kName, u"2018-12-a-a-a-fix.csv"},
      {u"-001-01-01-a.csv", Outcome::kRange, nullptr},
      {u"2024-03-01-\"a-b\"-\"a-b\".csv", Outcome::kName, u"2024-02-\"a-b\"-\"a-b\"-fix.csv"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::U(c.oldName));
    switch (c.outcome) {
      case Outcome::kName: EXPECT_EQ(ConvertEntryName(c.oldName), c.newName); break;
      case Outcome::kRange: EXPECT_THROW(ConvertEntryName(c.oldName), ERangeError); break;
      case Outcome::kConvert: EXPECT_THROW(ConvertEntryName(c.oldName), EConvertError); break;
    }
  }
}

TEST(ConvertEntryName, MessagesOfTheRefusals) {
  try {
    ConvertEntryName(u"2018-10--1.csv");
    FAIL();
  } catch (const ERangeError& e) {
    EXPECT_STREQ(e.what(), "Range check error");
  }
  try {
    ConvertEntryName(u"a.csv");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Invalid argument to date encode");
  }
}

}  // namespace
}  // namespace quenmar
