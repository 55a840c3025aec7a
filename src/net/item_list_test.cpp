#include "net/item_list.h"

#include <gtest/gtest.h>

namespace vantry {
namespace {

TEST(IndexOfTextTest, FindsTheFirstEqualItemCountedFromOne) {
  const std::vector<GbkText> items = {GbkText("x"), GbkText("y"), GbkText("x")};
  EXPECT_EQ(IndexOfText(items, "x"_gbk), 1);
  EXPECT_EQ(IndexOfText(items, "y"_gbk), 2);
  EXPECT_EQ(IndexOfText(items, "X"_gbk), -1);
  EXPECT_EQ(IndexOfText(items, "x "_gbk), -1);
  EXPECT_EQ(IndexOfText({}, ""_gbk), -1);
  EXPECT_EQ(IndexOfText({"a"_gbk, ""_gbk}, ""_gbk), 2);
}

TEST(RemoveDuplicateItemsTest, KeepsEachItemAtItsFirstOccurrence) {
  EXPECT_EQ(RemoveDuplicateItems("x; y; x"_gbk, "; "_gbk), "x; y"_gbk);
  EXPECT_EQ(RemoveDuplicateItems("a=1; b=2; a=1; b=3; b=2"_gbk, "; "_gbk),
            "a=1; b=2; b=3"_gbk);
  EXPECT_EQ(RemoveDuplicateItems("x,x,,y,"_gbk, ","_gbk), "x,,y"_gbk);
  EXPECT_EQ(RemoveDuplicateItems(""_gbk, "; "_gbk), ""_gbk);
  EXPECT_EQ(RemoveDuplicateItems("solo"_gbk, "; "_gbk), "solo"_gbk);
  // Items are compared byte for byte.
  EXPECT_EQ(RemoveDuplicateItems("A; a; A"_gbk, "; "_gbk), "A; a"_gbk);
}

}  // namespace
}  // namespace vantry
