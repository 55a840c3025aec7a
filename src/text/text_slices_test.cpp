#include "text/text_slices.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

TEST(TextSlicesTest, LeftRightMiddleClip) {
  EXPECT_EQ(Left("abc"_gbk, 2), "ab"_gbk);
  EXPECT_EQ(Left("abc"_gbk, 9), "abc"_gbk);
  EXPECT_EQ(Left("abc"_gbk, 0), ""_gbk);
  EXPECT_EQ(Right("abc"_gbk, 2), "bc"_gbk);
  EXPECT_EQ(Right("abc"_gbk, -1), ""_gbk);
  EXPECT_EQ(Middle("abcdef"_gbk, 2, 3), "bcd"_gbk);
  EXPECT_EQ(Middle("abcdef"_gbk, 5, 9), "ef"_gbk);
  EXPECT_EQ(Middle("abcdef"_gbk, 0, 2), ""_gbk);
  EXPECT_EQ(Middle("abcdef"_gbk, 7, 1), ""_gbk);
}

TEST(TextSlicesTest, TrimKnowsAsciiAndFullWidthSpacesOnly) {
  const GbkView wide("\xA1\xA1");
  EXPECT_EQ(TrimSpaces(" "_gbk + wide + "a b"_gbk + wide + " "_gbk), "a b"_gbk);
  EXPECT_EQ(TrimSpaces("\ta\t"_gbk), "\ta\t"_gbk);
  EXPECT_EQ(TrimSpaces("   "_gbk), ""_gbk);
  // A1 as the trail byte of a character is not half a space: B0 A1 is 啊.
  EXPECT_EQ(TrimSpaces(Gbk("啊") + GbkView("\xA1")), Gbk("啊") + GbkView("\xA1"));
  EXPECT_EQ(RemoveAllSpaces("a b"_gbk + wide + "c"_gbk), "abc"_gbk);
  EXPECT_EQ(RemoveAllSpaces(GbkView("\xB0\xA1\xA1\xA1")), GbkView("\xB0\xA1"));
}

TEST(TextSlicesTest, LowerAsciiSkipsTwoByteCharacters) {
  EXPECT_EQ(ToLowerAscii("AbC"_gbk), "abc"_gbk);
  EXPECT_EQ(ToLowerAscii(GbkView("\xA3\xC1Z")), GbkView("\xA3\xC1z"));
}

TEST(TextSlicesTest, NulEndsTextAndConcatJoins) {
  EXPECT_EQ(TextUpToNul(std::string("ab\0cd", 5)), "ab"_gbk);
  EXPECT_EQ(TextUpToNul("abc"), "abc"_gbk);
  EXPECT_EQ(ConcatTexts(GbkText("a"), "b"_gbk, GbkView("c")), "abc"_gbk);
}

}  // namespace
}  // namespace vantry
