#include "text/text_slices.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

TEST(TextSlicesTest, LeftRightMiddleClip) {
  EXPECT_EQ(Left("abc", 2), "ab");
  EXPECT_EQ(Left("abc", 9), "abc");
  EXPECT_EQ(Left("abc", 0), "");
  EXPECT_EQ(Right("abc", 2), "bc");
  EXPECT_EQ(Right("abc", -1), "");
  EXPECT_EQ(Middle("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Middle("abcdef", 5, 9), "ef");
  EXPECT_EQ(Middle("abcdef", 0, 2), "");
  EXPECT_EQ(Middle("abcdef", 7, 1), "");
}

TEST(TextSlicesTest, TrimKnowsAsciiAndFullWidthSpacesOnly) {
  const std::string wide = "\xA1\xA1";
  EXPECT_EQ(TrimSpaces(" " + wide + "a b" + wide + " "), "a b");
  EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t");
  EXPECT_EQ(TrimSpaces("   "), "");
  // A1 as the trail byte of a character is not half a space: B0 A1 is 啊.
  EXPECT_EQ(TrimSpaces(Gbk("啊") + "\xA1"), Gbk("啊") + "\xA1");
  EXPECT_EQ(RemoveAllSpaces("a b" + wide + "c"), "abc");
  EXPECT_EQ(RemoveAllSpaces("\xB0\xA1\xA1\xA1"), "\xB0\xA1");
}

TEST(TextSlicesTest, LowerAsciiSkipsTwoByteCharacters) {
  EXPECT_EQ(ToLowerAscii("AbC"), "abc");
  EXPECT_EQ(ToLowerAscii("\xA3\xC1Z"), "\xA3\xC1z");
}

TEST(TextSlicesTest, NulEndsTextAndConcatJoins) {
  EXPECT_EQ(TextUpToNul(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(TextUpToNul("abc"), "abc");
  EXPECT_EQ(ConcatTexts(std::string("a"), "b", std::string_view("c")), "abc");
}

}  // namespace
}  // namespace vantry
