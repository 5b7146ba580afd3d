#include <gtest/gtest.h>

#include "support/utf8.h"

namespace quenmar {
namespace {

TEST(Utf8, RoundTripsAndReplacesEachMaximalInvalidSubpart) {
  EXPECT_EQ(Utf8ToText("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"a\u00E9\u20AC\U0001F600");
  EXPECT_EQ(TextToUtf8(u"a\u00E9\u20AC\U0001F600"), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  // The Unicode standard's example: 61 F1 80 80 E1 80 C2 62 80 63 80 BF 64.
  EXPECT_EQ(Utf8ToText("a\xF1\x80\x80\xE1\x80\xC2" "b\x80" "c\x80\xBF" "d"),
            u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd");
  EXPECT_EQ(Utf8ToText("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // an encoded surrogate
  EXPECT_EQ(Utf8ToText("\xC0\xAF"), u"\uFFFD\uFFFD");              // overlong
  EXPECT_EQ(Utf8ToText("\xE2\x82"), u"\uFFFD");                    // cut short
  EXPECT_EQ(TextToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace quenmar
