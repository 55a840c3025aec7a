#include "net/item_list.h"

#include <gtest/gtest.h>

namespace vantry {
namespace {

TEST(IndexOfTextTest, FindsTheFirstEqualItemCountedFromOne) {
  const std::vector<GbkText> items = {"x", "y", "x"};
  EXPECT_EQ(IndexOfText(items, "x"), 1);
  EXPECT_EQ(IndexOfText(items, "y"), 2);
  EXPECT_EQ(IndexOfText(items, "X"), -1);
  EXPECT_EQ(IndexOfText(items, "x "), -1);
  EXPECT_EQ(IndexOfText({}, ""), -1);
  EXPECT_EQ(IndexOfText({"a", ""}, ""), 2);
}

TEST(RemoveDuplicateItemsTest, KeepsEachItemAtItsFirstOccurrence) {
  EXPECT_EQ(RemoveDuplicateItems("x; y; x", "; "), "x; y");
  EXPECT_EQ(RemoveDuplicateItems("a=1; b=2; a=1; b=3; b=2", "; "), "a=1; b=2; b=3");
  EXPECT_EQ(RemoveDuplicateItems("x,x,,y,", ","), "x,,y");
  EXPECT_EQ(RemoveDuplicateItems("", "; "), "");
  EXPECT_EQ(RemoveDuplicateItems("solo", "; "), "solo");
  // Items are compared byte for byte.
  EXPECT_EQ(RemoveDuplicateItems("A; a; A", "; "), "A; a");
}

}  // namespace
}  // namespace vantry
