#include <gtest/gtest.h>

#include "common/test_support.h"
#include "support/filter_ext.h"

namespace quenmar {
namespace {

TEST(ApplyFilterExt, GivesTheSelectedFiltersExtension) {
  struct Case { const char16_t* in; const char16_t* filter; int index; const char16_t* out; bool result; };
  const Case cases[] = {
      {u"report", u"*.ZIP|*.ZIP", 1, u"report.ZIP", true},
      {u"C:\\data\\report.txt", u"Text|*.txt|Archive|*.ZIP", 2, u"C:\\data\\report.ZIP", true},
      {u"C:\\data\\report.txt", u"Text|*.txt|Archive|*.ZIP", 1, u"C:\\data\\report.txt", true},
      {u"a.txt", u"*.*|*.*", 1, u"a.txt", false},
      {u"report.", u"*.ZIP|*.ZIP", 1, u"report.ZIP", true},
      {u"C:\\rel.2\\readme", u"*.ZIP|*.ZIP", 1, u"C:\\rel.2\\readme.ZIP", true},
      {u"a", u"T|*.txt", 5, u"a.txt", true},
      {u"a", u"All|*.ZIP;*.JAR", 1, u"a.ZIP;*.JAR", true},
      {u"a.txt", u"All|*", 1, u"a.txt", false},
      {u"a.txt", u"All|*", 0, u"a.All", true},
  };
  for (const auto& c : cases) {
    Text name = c.in;
    SCOPED_TRACE(testing::U(c.in));
    EXPECT_EQ(ApplyFilterExt(name, c.filter, c.index, platform::kWindowsDelimiters), c.result);
    EXPECT_EQ(name, c.out);
  }
  Text posix = u"/home/u/rel.2/readme";
  EXPECT_TRUE(ApplyFilterExt(posix, u"*.ZIP|*.ZIP", 1, platform::kPosixDelimiters));
  EXPECT_EQ(posix, u"/home/u/rel.2/readme.ZIP");
}

}  // namespace
}  // namespace quenmar
