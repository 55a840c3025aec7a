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

TEST(TextBetweenTest, QuoteTokenStandsForADoubleQuote) {
  EXPECT_EQ(QuoteToken(), Gbk("#引号"));
  EXPECT_EQ(TextBetween("<a value=\"42\">", Gbk("value=#引号"), Gbk("#引号")), "42");
  // The token in the searched text itself is just text.
  EXPECT_EQ(TextBetween(Gbk("value=#引号7#引号"), Gbk("value=#引号"), "x"), "");
}

TEST(TextBetweenTest, StartPositionAndLetterCase) {
  EXPECT_EQ(TextBetween("[a][b]", "[", "]", 2), "b");
  EXPECT_EQ(TextBetween("[a]", "[", "]", -4), "a");
  EXPECT_EQ(TextBetween("<B>x</b>", "<b>", "</B>"), "");
  EXPECT_EQ(TextBetween("<B>x</b>", "<b>", "</B>", 1, true), "x");
}

TEST(TextBetweenTest, MarkersNeverMatchAcrossTwoByteCharacters) {
  // B0 D6 D6 B5: D6 D6 would straddle the two characters.
  EXPECT_EQ(TextBetween("\xB0\xD6\xD6\xB5:x;", "\xD6\xD6", ";"), "");
  EXPECT_EQ(TextBetween("\xB0\xD6:x;", "\xB0\xD6", ";"), ":x");
}

TEST(TextBeforeTest, CutsAtTheFirstSeparatorFromTheStartPosition) {
  EXPECT_EQ(TextBefore("Set-Cookie: a=1", ": "), "Set-Cookie");
  EXPECT_EQ(TextBefore("no separator", ": "), "");
  EXPECT_EQ(TextBefore(": leading", ": "), "");
  EXPECT_EQ(TextBefore("a;b;c", ";", 3), "a;b");
  EXPECT_EQ(TextBefore("a;b", ";", 0), "a");
  EXPECT_EQ(TextBefore("aXb", "x"), "");
  EXPECT_EQ(TextBefore("aXb", "x", 1, true), "a");
}

TEST(ValueAfterColonTest, TakesEverythingAfterTheFirstColonTrimmed) {
  EXPECT_EQ(ValueAfterColon("user-agent:  Foo "), "Foo");
  EXPECT_EQ(ValueAfterColon("a: b: c"), "b: c");
  EXPECT_EQ(ValueAfterColon(Gbk("名：　值　")), "");  // a full-width colon is not one
  EXPECT_EQ(ValueAfterColon(Gbk("名:　值　")), Gbk("值"));
  EXPECT_EQ(ValueAfterColon("no colon"), "");
  EXPECT_EQ(ValueAfterColon("trailing:"), "");
}

}  // namespace
}  // namespace vantry
