#include "text/substitute_text.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

TEST(SubstituteTextTest, ReplacesWithoutOverlap) {
  const std::string comma = Gbk("，");
  EXPECT_EQ(SubstituteText("a,b,,c", ",", comma),
            "a" + comma + "b" + comma + comma + "c");
  EXPECT_EQ(SubstituteText("aaa", "aa", "b"), "ba");
}

TEST(SubstituteTextTest, StartCountAndCase) {
  EXPECT_EQ(SubstituteText("x-x-x", "x", "y", 2), "x-y-y");
  EXPECT_EQ(SubstituteText("x-x-x", "x", "y", 1, 2), "y-y-x");
  EXPECT_EQ(SubstituteText("AbAB", "ab", "z", 1, -1, false), "zz");
  EXPECT_EQ(SubstituteText("AbAB", "ab", "z"), "AbAB");
  EXPECT_EQ(SubstituteText("", "a", "b"), "");
  EXPECT_EQ(SubstituteText("abc", "", "b"), "abc");
}

TEST(SubstituteTextTest, NeverMatchesAcrossCharacters) {
  EXPECT_EQ(SubstituteText(Gbk("中文"), "\xD0\xCE", "!"), Gbk("中文"));
  EXPECT_EQ(SubstituteText("\x81,,", ",", ";"), "\x81,;");
}

}  // namespace
}  // namespace vantry
