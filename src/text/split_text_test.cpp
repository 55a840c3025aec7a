#include "text/split_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SplitTextTest, EmptyPiecesFollowTheRules) {
  EXPECT_THAT(SplitText("x\t\ty"_gbk, "\t"_gbk), ElementsAre("x"_gbk, ""_gbk, "y"_gbk));
  EXPECT_THAT(SplitText("x\t"_gbk, "\t"_gbk), ElementsAre("x"_gbk));
  EXPECT_THAT(SplitText("\tx"_gbk, "\t"_gbk), ElementsAre(""_gbk, "x"_gbk));
  EXPECT_THAT(SplitText("\t"_gbk, "\t"_gbk), ElementsAre(""_gbk));
  EXPECT_THAT(SplitText(""_gbk, "\t"_gbk), IsEmpty());
}

TEST(SplitTextTest, DefaultsEmptySeparatorAndMaximum) {
  EXPECT_THAT(SplitText("a,b"_gbk), ElementsAre("a"_gbk, "b"_gbk));
  EXPECT_THAT(SplitText("a,b"_gbk, ""_gbk), ElementsAre("a,b"_gbk));
  EXPECT_THAT(SplitText("a,b,c,d"_gbk, ","_gbk, 2), ElementsAre("a"_gbk, "b"_gbk));
  EXPECT_THAT(SplitText("a||b"_gbk, "||"_gbk), ElementsAre("a"_gbk, "b"_gbk));
}

TEST(SplitTextTest, SeparatorInsideTwoByteCharacterIsNotACut) {
  // The pair 81 7C carries "|" as its trail byte.
  EXPECT_THAT(SplitText(GbkView("a\x81|b|c"), "|"_gbk),
              ElementsAre(GbkView("a\x81|b"), "c"_gbk));
}

}  // namespace
}  // namespace vantry
