#include "net/marker_text.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

TEST(TextBetweenTest, TakesTheTextBetweenTheFirstStartAndTheNextEnd) {
  const GbkText start = Gbk("<公告>"), end = Gbk("</公告>");
  EXPECT_EQ(TextBetween(Gbk("前言 <公告>Hello</公告> 后记"), start, end), "Hello"_gbk);
  EXPECT_EQ(TextBetween(Gbk("<公告>一</公告><公告>二</公告>"), start, end), Gbk("一"));
  EXPECT_EQ(TextBetween(Gbk("<公告></公告>"), start, end), ""_gbk);
  // Bytes are taken as they are: no trimming, line breaks kept.
  EXPECT_EQ(TextBetween(Gbk("<公告> \r\n甲\t </公告>"), start, end), Gbk(" \r\n甲\t "));
}

TEST(TextBetweenTest, AMissingOrEarlierMarkerGivesNothing) {
  const GbkText start = Gbk("<公告>"), end = Gbk("</公告>");
  EXPECT_EQ(TextBetween(Gbk("<公告>Hello"), start, end), ""_gbk);
  EXPECT_EQ(TextBetween(Gbk("Hello</公告>"), start, end), ""_gbk);
  // An end marker before the start marker is not seen.
  EXPECT_EQ(TextBetween(Gbk("</公告>Hello<公告>"), start, end), ""_gbk);
  EXPECT_EQ(TextBetween(""_gbk, start, end), ""_gbk);
}

TEST(TextBetweenTest, QuoteTokenStandsForADoubleQuote) {
  EXPECT_EQ(QuoteToken(), Gbk("#引号"));
  EXPECT_EQ(TextBetween("<a value=\"42\">"_gbk, Gbk("value=#引号"), Gbk("#引号")),
            "42"_gbk);
  // The token in the searched text itself is just text.
  EXPECT_EQ(TextBetween(Gbk("value=#引号7#引号"), Gbk("value=#引号"), "x"_gbk), ""_gbk);
}

TEST(TextBetweenTest, StartPositionAndLetterCase) {
  EXPECT_EQ(TextBetween("[a][b]"_gbk, "["_gbk, "]"_gbk, 2), "b"_gbk);
  EXPECT_EQ(TextBetween("[a]"_gbk, "["_gbk, "]"_gbk, -4), "a"_gbk);
  EXPECT_EQ(TextBetween("<B>x</b>"_gbk, "<b>"_gbk, "</B>"_gbk), ""_gbk);
  EXPECT_EQ(TextBetween("<B>x</b>"_gbk, "<b>"_gbk, "</B>"_gbk, 1, true), "x"_gbk);
}

TEST(TextBetweenTest, MarkersNeverMatchAcrossTwoByteCharacters) {
  // B0 D6 D6 B5: D6 D6 would straddle the two characters.
  EXPECT_EQ(TextBetween(GbkView("\xB0\xD6\xD6\xB5:x;"), GbkView("\xD6\xD6"), ";"_gbk),
            ""_gbk);
  EXPECT_EQ(TextBetween(GbkView("\xB0\xD6:x;"), GbkView("\xB0\xD6"), ";"_gbk), ":x"_gbk);
}

TEST(TextBeforeTest, CutsAtTheFirstSeparatorFromTheStartPosition) {
  EXPECT_EQ(TextBefore("Set-Cookie: a=1"_gbk, ": "_gbk), "Set-Cookie"_gbk);
  EXPECT_EQ(TextBefore("no separator"_gbk, ": "_gbk), ""_gbk);
  EXPECT_EQ(TextBefore(": leading"_gbk, ": "_gbk), ""_gbk);
  EXPECT_EQ(TextBefore("a;b;c"_gbk, ";"_gbk, 3), "a;b"_gbk);
  EXPECT_EQ(TextBefore("a;b"_gbk, ";"_gbk, 0), "a"_gbk);
  EXPECT_EQ(TextBefore("aXb"_gbk, "x"_gbk), ""_gbk);
  EXPECT_EQ(TextBefore("aXb"_gbk, "x"_gbk, 1, true), "a"_gbk);
}

TEST(ValueAfterColonTest, TakesEverythingAfterTheFirstColonTrimmed) {
  EXPECT_EQ(ValueAfterColon("user-agent:  Foo "_gbk), "Foo"_gbk);
  EXPECT_EQ(ValueAfterColon("a: b: c"_gbk), "b: c"_gbk);
  EXPECT_EQ(ValueAfterColon(Gbk("名：　值　")), ""_gbk);  // a full-width colon is not one
  EXPECT_EQ(ValueAfterColon(Gbk("名:　值　")), Gbk("值"));
  EXPECT_EQ(ValueAfterColon("no colon"_gbk), ""_gbk);
  EXPECT_EQ(ValueAfterColon("trailing:"_gbk), ""_gbk);
}

}  // namespace
}  // namespace vantry
