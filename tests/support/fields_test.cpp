#include <gtest/gtest.h>

#include "common/test_support.h"
#include "support/fields.h"

namespace quenmar {
namespace {

TEST(ExtractField, PlainAndQuotedFields) {
  struct Case { const char16_t* before; const char16_t* sep; bool trim; const char16_t* field; const char16_t* after; };
  const Case cases[] = {
      {u"abc,def", u",", false, u"abc", u"def"},
      {u"abc", u",", false, u"abc", u""},
      {u"", u",", false, u"", u""},
      {u",x", u",", false, u"", u"x"},
      {u"-abc-def", u"-", false, u"", u"abc-def"},
      {u"a::b::c", u"::", false, u"a", u"b::c"},
      {u"*.ZIP|*.ZIP", u"|", false, u"*.ZIP", u"*.ZIP"},
      {u"a\"b,c", u",", false, u"a\"b", u"c"},
      {u"\"abc\",def", u",", false, u"abc", u"def"},
      {u"\"a,b\",c", u",", false, u"a,b", u"c"},
      {u"\"ab\"\"c\",x", u",", false, u"ab\"c", u"x"},
      {u"\"\"\"a\"\"\",b", u",", false, u"\"a\"", u"b"},
      {u"\"\",x", u",", false, u"", u"x"},
      {u"\"abc\"", u",", false, u"abc", u""},
      {u"\"abc,def", u",", false, u"abc,def", u""},
      {u"\"ab\"c,d", u",", false, u"\"ab\"c", u"d"},
      {u"\"a\"b", u",", false, u"\"a\"b", u""},
      {u"\"a\"\",b", u",", false, u"a\",b", u""},
      {u"\"a\"b\"", u",", false, u"a\"b", u""},
      {u"\"", u",", false, u"", u""},
      {u"\"abc\"", u"\"", false, u"", u"abc\""},
      {u"\"a,b\",c", u"\x01", false, u"\"a,b\",c", u""},
      {u"\"ab\" ,x", u",", false, u"\"ab\" ", u"x"},
      {u"ab  ,x", u",", true, u"ab", u"x"},
      {u"\"ab  \",x", u",", true, u"ab", u"x"},
      {u"\"ab\" ,x", u",", true, u"\"ab", u"x"},
      {u"\"a,b\"::c", u"::", false, u"\"a,b\"::c", u""},
  };
  for (const auto& c : cases) {
    Text source = c.before;
    SCOPED_TRACE(testing::U(c.before));
    EXPECT_EQ(ExtractField(c.trim, c.sep, source), c.field);
    EXPECT_EQ(source, c.after);
  }
}

TEST(TrimTrailingSpaces, BlanksOnly) {
  EXPECT_EQ(TrimTrailingSpaces(u"ab  "), u"ab");
  EXPECT_EQ(TrimTrailingSpaces(u"   "), u"");
  EXPECT_EQ(TrimTrailingSpaces(u"a\t "), u"a\t");
  EXPECT_EQ(TrimTrailingSpaces(u""), u"");
}

}  // namespace
}  // namespace quenmar
