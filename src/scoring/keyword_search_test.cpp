#include "scoring/keyword_search.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using testing::Gbk;
using ::testing::IsEmpty;

TEST(SplitNonEmptyTest, DropsEmptyPiecesAndKeepsTheRestAsWritten) {
  std::vector<GbkText> pieces = {"old"_gbk};
  EXPECT_EQ(SplitNonEmpty("|a||b c| |"_gbk, "|"_gbk, pieces), 3);
  EXPECT_THAT(pieces, ElementsAre("a"_gbk, "b c"_gbk, " "_gbk));
  EXPECT_EQ(SplitNonEmpty(""_gbk, "|"_gbk, pieces), 0);
  EXPECT_THAT(pieces, IsEmpty());
  EXPECT_EQ(SplitNonEmpty("|||"_gbk, "|"_gbk, pieces), 0);
  EXPECT_THAT(pieces, IsEmpty());
}

TEST(SplitNonEmptyTest, EmptySeparatorMeansCommaAndMaximumLimitsTheCut) {
  std::vector<GbkText> pieces;
  EXPECT_EQ(SplitNonEmpty("x,,y"_gbk, ""_gbk, pieces), 2);
  EXPECT_THAT(pieces, ElementsAre("x"_gbk, "y"_gbk));
  // The limit applies to the cut; the empty second piece is then dropped.
  EXPECT_EQ(SplitNonEmpty("x||y|z"_gbk, "|"_gbk, pieces, 3), 2);
  EXPECT_THAT(pieces, ElementsAre("x"_gbk, "y"_gbk));
}

TEST(SplitNonEmptyTest, SeparatorIsFoundOnlyOnCharacterBoundaries) {
  // 0x7C is the trail byte of some GBK characters; it must not cut them.
  const GbkText wide = GbkView("\x81\x7C");
  std::vector<GbkText> pieces;
  EXPECT_EQ(SplitNonEmpty(wide + "|"_gbk + wide, "|"_gbk, pieces), 2);
  EXPECT_THAT(pieces, ElementsAre(wide, wide));
}

TEST(CountOccurrencesTest, CountsWithoutOverlapInEitherMode) {
  EXPECT_EQ(CountOccurrences("aaa"_gbk, "aa"_gbk, true), 1);
  EXPECT_EQ(CountOccurrences("aaaa"_gbk, "aa"_gbk, true), 2);
  EXPECT_EQ(CountOccurrences("DnA dna DNA"_gbk, "dna"_gbk, true), 1);
  EXPECT_EQ(CountOccurrences("DnA dna DNA"_gbk, "dna"_gbk, false), 3);
  EXPECT_EQ(CountOccurrences(""_gbk, "a"_gbk, false), 0);
  EXPECT_EQ(CountOccurrences("abc"_gbk, ""_gbk, false), 0);
  EXPECT_EQ(CountOccurrences(Gbk("叶绿体叶绿体"), Gbk("叶绿体"), true), 2);
}

TEST(CountOccurrencesTest, IgnoresMatchesThatStraddleTwoCharacters) {
  // "\xB0\xA1\xB0\xA1" holds "\xA1\xB0" across the boundary, which is not a character.
  EXPECT_EQ(CountOccurrences(GbkView("\xB0\xA1\xB0\xA1"), GbkView("\xA1\xB0"), true), 0);
}

TEST(FindAllPositionsTest, AppendsAscendingPositionsIgnoringCase) {
  std::vector<int64_t> positions = {99};
  FindAllPositions("xDNAdnaDna"_gbk, "dna"_gbk, positions);
  EXPECT_THAT(positions, ElementsAre(99, 2, 5, 8));
  FindAllPositions(Gbk("叶绿体中的色素。氧气在叶绿体中产生。"), Gbk("叶绿体"), positions);
  EXPECT_THAT(positions, ElementsAre(99, 2, 5, 8, 1, 23));
  FindAllPositions("abc"_gbk, "x"_gbk, positions);
  FindAllPositions(""_gbk, "x"_gbk, positions);
  EXPECT_EQ(positions.size(), 6u);
}

}  // namespace
}  // namespace vantry
