#include "text/split_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SplitTextTest, EmptyPiecesFollowTheRules) {
  EXPECT_THAT(SplitText("x\t\ty", "\t"), ElementsAre("x", "", "y"));
  EXPECT_THAT(SplitText("x\t", "\t"), ElementsAre("x"));
  EXPECT_THAT(SplitText("\tx", "\t"), ElementsAre("", "x"));
  EXPECT_THAT(SplitText("\t", "\t"), ElementsAre(""));
  EXPECT_THAT(SplitText("", "\t"), IsEmpty());
}

TEST(SplitTextTest, DefaultsEmptySeparatorAndMaximum) {
  EXPECT_THAT(SplitText("a,b"), ElementsAre("a", "b"));
  EXPECT_THAT(SplitText("a,b", ""), ElementsAre("a,b"));
  EXPECT_THAT(SplitText("a,b,c,d", ",", 2), ElementsAre("a", "b"));
  EXPECT_THAT(SplitText("a||b", "||"), ElementsAre("a", "b"));
}

TEST(SplitTextTest, SeparatorInsideTwoByteCharacterIsNotACut) {
  // The pair 81 7C carries "|" as its trail byte.
  EXPECT_THAT(SplitText("a\x81|b|c", "|"), ElementsAre("a\x81|b", "c"));
}

}  // namespace
}  // namespace vantry
