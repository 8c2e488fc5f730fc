#include "base/text_numbers.h"

#include <gtest/gtest.h>

namespace brisel {
namespace {

TEST(TextNumbers, RoundsHalfToEvenAndOverflowsOutOfRange) {
  EXPECT_EQ(ToInt32(2.25), 2);
  EXPECT_EQ(ToInt32(3.5), 4);
  EXPECT_EQ(ToInt32(4.75), 5);
  EXPECT_EQ(ToInt32(8.5), 8);
  EXPECT_EQ(ToInt32(99.75), 100);
  EXPECT_EQ(ToInt32(-2.5), -2);
  EXPECT_EQ(ToInt16("175"), 175);
  EXPECT_EQ(ToInt16(32767.0), 32767);
  EXPECT_EQ(ToInt16(-32768.0), -32768);
  EXPECT_THROW(ToInt16(32767.5), RuntimeError);  // rounds to 32768
  EXPECT_THROW(ToInt16(-32769.0), RuntimeError);
  EXPECT_THROW(ToInt32(2147483648.0), RuntimeError);
  EXPECT_EQ(ToByte(255), 255);
  EXPECT_THROW(ToByte(256), RuntimeError);
  EXPECT_THROW(ToByte(-10), RuntimeError);
}

TEST(TextNumbers, ShortestDecimalTextAndBack) {
  EXPECT_EQ(Text(2.25), "2.25");
  EXPECT_EQ(Text(10), "10");
  EXPECT_EQ(Text(-1), "-1");
  EXPECT_EQ(Text(1 + 1.25 * 80), "101");
  EXPECT_EQ(Text(-0.0), "0");
  EXPECT_EQ(Number(" 7.25"), 7.25);
  EXPECT_EQ(Number("-10"), -10);
  EXPECT_THROW(Number(""), RuntimeError);
  EXPECT_THROW(Number("12a"), RuntimeError);
}

}  // namespace
}  // namespace brisel
