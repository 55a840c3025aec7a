#include "text/substitute_text.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

TEST(SubstituteTextTest, ReplacesWithoutOverlap) {
  const GbkText comma = Gbk("，");
  EXPECT_EQ(SubstituteText("a,b,,c"_gbk, ","_gbk, comma),
            "a"_gbk + comma + "b"_gbk + comma + comma + "c"_gbk);
  EXPECT_EQ(SubstituteText("aaa"_gbk, "aa"_gbk, "b"_gbk), "ba"_gbk);
}

TEST(SubstituteTextTest, StartCountAndCase) {
  EXPECT_EQ(SubstituteText("x-x-x"_gbk, "x"_gbk, "y"_gbk, 2), "x-y-y"_gbk);
  EXPECT_EQ(SubstituteText("x-x-x"_gbk, "x"_gbk, "y"_gbk, 1, 2), "y-y-x"_gbk);
  EXPECT_EQ(SubstituteText("AbAB"_gbk, "ab"_gbk, "z"_gbk, 1, -1, false), "zz"_gbk);
  EXPECT_EQ(SubstituteText("AbAB"_gbk, "ab"_gbk, "z"_gbk), "AbAB"_gbk);
  EXPECT_EQ(SubstituteText(""_gbk, "a"_gbk, "b"_gbk), ""_gbk);
  EXPECT_EQ(SubstituteText("abc"_gbk, ""_gbk, "b"_gbk), "abc"_gbk);
}

TEST(SubstituteTextTest, NeverMatchesAcrossCharacters) {
  EXPECT_EQ(SubstituteText(Gbk("中文"), GbkView("\xD0\xCE"), "!"_gbk), Gbk("中文"));
  EXPECT_EQ(SubstituteText(GbkView("\x81,,"), ","_gbk, ";"_gbk), GbkView("\x81,;"));
}

}  // namespace
}  // namespace vantry
