#include <gtest/gtest.h>

#include "common/test_support.h"
#include "support/numbers.h"

namespace quenmar {
namespace {

TEST(StrToIntZero, ReadsDecimalAndHexOrGivesZero) {
  struct Case { const char16_t* text; int32_t expected; };
  const Case cases[] = {
      {u"", 0}, {u"0", 0}, {u"08", 8}, {u" 12", 12}, {u"12 ", 0}, {u"+7", 7}, {u"-7", -7},
      {u"$1F", 31}, {u"x1f", 31}, {u"X1F", 31}, {u"0x10", 16}, {u"0X10", 16}, {u"-0x10", -16},
      {u"-$10", -16}, {u"$", 0}, {u"0x", 0}, {u"-", 0}, {u"+", 0}, {u"1.5", 0},
      {u"2147483647", 2147483647}, {u"2147483648", 0}, {u"-2147483648", INT32_MIN},
      {u"-2147483649", 0}, {u"$FFFFFFFF", -1}, {u"$100000000", 0}, {u"   ", 0}, {u"+-5", 0},
      {u"- 5", 0}, {u"$00000000F", 15}, {u"-$80000000", INT32_MIN}, {u"99999999999", 0},
      {u"\t5", 0}, {u"x9", 9}, {u" 9", 9}, {u"5.", 0}, {u"0xg", 0}, {u"00000000012", 12},
  };
  for (const auto& c : cases) EXPECT_EQ(StrToIntZero(c.text), c.expected) << testing::U(c.text);
}

TEST(ParseInteger, ReportsAPositiveErrorPosition) {
  EXPECT_EQ(ParseInteger(u"42").errorPos, 0);
  EXPECT_GT(ParseInteger(u"4x2").errorPos, 0);
  EXPECT_GT(ParseInteger(u"").errorPos, 0);
  EXPECT_GT(ParseInteger(u"2147483648").errorPos, 0);
}

TEST(IntToStr, WidthAndZeroFill) {
  EXPECT_EQ(IntToStrWidth(5, 4), u"   5");
  EXPECT_EQ(IntToStrWidth(-5, 4), u"  -5");
  EXPECT_EQ(IntToStrWidth(2018, 4), u"2018");
  EXPECT_EQ(IntToStrWidth(12345, 4), u"12345");
  EXPECT_EQ(IntToStrWidth(5, 0), u"5");
  EXPECT_EQ(IntToStrWidth(5, -3), u"5");
  EXPECT_EQ(IntToStrWidth(1, 300), Text(254, u' ') + u"1");
  EXPECT_EQ(IntToStrWidth(INT32_MIN, 0), u"-2147483648");
  EXPECT_EQ(IntToStrZero(5, 2), u"05");
  EXPECT_EQ(IntToStrZero(12, 2), u"12");
  EXPECT_EQ(IntToStrZero(0, 2), u"00");
  EXPECT_EQ(IntToStrZero(123, 2), u"123");
  EXPECT_EQ(IntToStrZero(-5, 4), u"00-5");
  EXPECT_EQ(IntToStrZero(5, 15), Text(11, u'0') + u"5");
  EXPECT_EQ(IntToStrZero(5, INT32_MIN), u"5");
}

}  // namespace
}  // namespace quenmar
