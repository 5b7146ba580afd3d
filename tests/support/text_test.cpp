#include <gtest/gtest.h>

#include "common/test_support.h"
#include "support/text.h"

namespace quenmar {
namespace {

struct SubCase { const char16_t* s; long long index, count; const char16_t* expected; };

TEST(SubText, ClampsAtTheEdges) {
  const SubCase cases[] = {
      {u"abcdef", 0, 2, u"ab"}, {u"abcdef", 5, 10, u"ef"}, {u"abcdef", 7, 1, u""},
      {u"abcdef", 2, -1, u""},  {u"", 0, 1, u""},          {u"abcdef", -5, 3, u"abc"},
      {u"abcdef", 2, 3, u"bcd"},
  };
  for (const auto& c : cases) EXPECT_EQ(SubText(c.s, c.index, c.count), c.expected) << c.index << "," << c.count;
}

TEST(DeleteText, ClampsAtTheEdges) {
  const SubCase cases[] = {
      {u"abcdef", 0, 2, u"abcdef"}, {u"abcdef", 5, 10, u"abcd"}, {u"abcdef", 7, 1, u"abcdef"},
      {u"abcdef", 3, 0, u"abcdef"}, {u"abcdef", 1, 10, u""},     {u"abcdef", 2, 2, u"adef"},
  };
  for (const auto& c : cases) {
    Text s = c.s;
    DeleteText(s, c.index, c.count);
    EXPECT_EQ(s, c.expected) << c.index << "," << c.count;
  }
}

TEST(InsertText, ClampsThePosition) {
  struct Case { const char16_t* source; const char16_t* s; long long index; const char16_t* expected; };
  const Case cases[] = {
      {u"-", u"abcdef", 5, u"abcd-ef"}, {u"-", u"abc", 5, u"abc-"}, {u"-", u"abc", 4, u"abc-"},
      {u"-", u"abc", 0, u"-abc"},       {u"", u"abc", 2, u"abc"},   {u"-", u"", 5, u"-"},
  };
  for (const auto& c : cases) {
    Text s = c.s;
    InsertText(c.source, s, c.index);
    EXPECT_EQ(s, c.expected);
  }
}

TEST(FindSubText, FirstOccurrenceOrZero) {
  EXPECT_EQ(FindSubText(u"b", u"abcb"), 2);
  EXPECT_EQ(FindSubText(u"cb", u"abcb"), 3);
  EXPECT_EQ(FindSubText(u"", u"abc"), 0);
  EXPECT_EQ(FindSubText(u"a", u""), 0);
  EXPECT_EQ(FindSubText(u"x", u"abc"), 0);
}

}  // namespace
}  // namespace quenmar
