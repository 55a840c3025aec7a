#include "net/marker_text.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

TEST(TextBetweenTest, TakesTheTextBetweenTheFirstStartAndTheNextEnd) {
  const std::string start = Gbk("<公告>"), end = Gbk("</公告>");
  EXPECT_EQ(TextBetween(Gbk("前言 <公告>Hello</公告> 后记"), start, end), "Hello");
  EXPECT_EQ(TextBetween(Gbk("<公告>一</公告><公告>二</公告>"), start, end), Gbk("一"));
  EXPECT_EQ(TextBetween(Gbk("<公告></公告>"), start, end), "");
  // Bytes are taken as they are: no trimming, line breaks kept.
  EXPECT_EQ(TextBetween(Gbk("<公告> \r\n甲\t </公告>"), start, end), Gbk(" \r\n甲\t "));
}

TEST(TextBetweenTest, AMissingOrEarlierMarkerGivesNothing) {
  const std::string start = Gbk("<公告>"), end = Gbk("</公告>");
  EXPECT_EQ(TextBetween(Gbk("<公告>Hello"), start, end), "");
  EXPECT_EQ(TextBetween(Gbk("Hello</公告>"), start, end), "");
  // An end marker before the start marker is not seen.
  EXPECT_EQ(TextBetween(Gbk("</公告>Hello<公告>"), start, end), "");
  EXPECT_EQ(TextBetween("", start, end), "");
}

TEST(TextBetweenTest, MarkersNeverMatchAcrossTwoByteCharacters) {
  // B0 D6 D6 B5: D6 D6 would straddle the two characters.
  EXPECT_EQ(TextBetween("\xB0\xD6\xD6\xB5:x;", "\xD6\xD6", ";"), "");
  EXPECT_EQ(TextBetween("\xB0\xD6:x;", "\xB0\xD6", ";"), ":x");
}

}  // namespace
}  // namespace vantry
