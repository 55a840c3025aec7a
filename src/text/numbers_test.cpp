#include "text/numbers.h"

#include <gtest/gtest.h>

#include <limits>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

TEST(TextToIntegerTest, ReadsLikeAtoiAfterFoldingFullWidth) {
  EXPECT_EQ(TextToInteger("-5x"_gbk), -5);
  EXPECT_EQ(TextToInteger(""_gbk), 0);
  EXPECT_EQ(TextToInteger(" 8"_gbk), 8);
  EXPECT_EQ(TextToInteger("\t\r\n+12"_gbk), 12);
  EXPECT_EQ(TextToInteger(Gbk("１０")), 10);
  EXPECT_EQ(TextToInteger(Gbk("10分")), 10);
  EXPECT_EQ(TextToInteger(Gbk("十")), 0);
  EXPECT_EQ(TextToInteger(Gbk("　－３")), -3);  // full-width space and minus
  EXPECT_EQ(TextToInteger("- 5"_gbk), 0);
  // A full-width digit's bytes after a lead byte that is not A3 do not count.
  EXPECT_EQ(TextToInteger(GbkView("\xB0\xB1")), 0);
}

TEST(TextToIntegerTest, SaturatesAtThe32BitLimits) {
  EXPECT_EQ(TextToInteger("2147483647"_gbk), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(TextToInteger("2147483648"_gbk), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(TextToInteger("-2147483648"_gbk), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(TextToInteger("-99999999999999999999999"_gbk),
            std::numeric_limits<int32_t>::min());
  EXPECT_EQ(TextToInteger64("1733616000123"_gbk), 1733616000123LL);
  EXPECT_EQ(TextToInteger64("99999999999999999999"_gbk),
            std::numeric_limits<int64_t>::max());
}

TEST(NumbersTest, TruncateRoundAndFormat) {
  EXPECT_EQ(TruncateToInteger(2.9), 2);
  EXPECT_EQ(TruncateToInteger(-2.9), -2);
  EXPECT_EQ(TruncateToInteger(1e30), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundTo(1.0 / 3.0, 3), 0.333);
  EXPECT_EQ(RoundTo(2.0005, 3), 2.001);
  EXPECT_EQ(RoundTo(-1.5, 0), -2);
  EXPECT_EQ(RoundTo(1234.0, -2), 1200);
  EXPECT_EQ(FormatFloat(1.5), "1.5"_gbk);
  EXPECT_EQ(FormatFloat(2.0), "2"_gbk);
  EXPECT_EQ(FormatFloat(1.0 / 3.0), "0.3333333333333"_gbk);
  EXPECT_EQ(FormatFloat(RoundTo(1.0 / 3.0, 3)), "0.333"_gbk);
  EXPECT_EQ(FormatInteger(-42), "-42"_gbk);
}

}  // namespace
}  // namespace vantry
