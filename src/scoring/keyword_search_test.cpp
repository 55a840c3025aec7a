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
  std::vector<GbkText> pieces = {"old"};
  EXPECT_EQ(SplitNonEmpty("|a||b c| |", "|", pieces), 3);
  EXPECT_THAT(pieces, ElementsAre("a", "b c", " "));
  EXPECT_EQ(SplitNonEmpty("", "|", pieces), 0);
  EXPECT_THAT(pieces, IsEmpty());
  EXPECT_EQ(SplitNonEmpty("|||", "|", pieces), 0);
  EXPECT_THAT(pieces, IsEmpty());
}

TEST(SplitNonEmptyTest, EmptySeparatorMeansCommaAndMaximumLimitsTheCut) {
  std::vector<GbkText> pieces;
  EXPECT_EQ(SplitNonEmpty("x,,y", "", pieces), 2);
  EXPECT_THAT(pieces, ElementsAre("x", "y"));
  // The limit applies to the cut; the empty second piece is then dropped.
  EXPECT_EQ(SplitNonEmpty("x||y|z", "|", pieces, 3), 2);
  EXPECT_THAT(pieces, ElementsAre("x", "y"));
}

TEST(SplitNonEmptyTest, SeparatorIsFoundOnlyOnCharacterBoundaries) {
  // 0x7C is the trail byte of some GBK characters; it must not cut them.
  const GbkText wide = "\x81\x7C";
  std::vector<GbkText> pieces;
  EXPECT_EQ(SplitNonEmpty(wide + "|" + wide, "|", pieces), 2);
  EXPECT_THAT(pieces, ElementsAre(wide, wide));
}

TEST(CountOccurrencesTest, CountsWithoutOverlapInEitherMode) {
  EXPECT_EQ(CountOccurrences("aaa", "aa", true), 1);
  EXPECT_EQ(CountOccurrences("aaaa", "aa", true), 2);
  EXPECT_EQ(CountOccurrences("DnA dna DNA", "dna", true), 1);
  EXPECT_EQ(CountOccurrences("DnA dna DNA", "dna", false), 3);
  EXPECT_EQ(CountOccurrences("", "a", false), 0);
  EXPECT_EQ(CountOccurrences("abc", "", false), 0);
  EXPECT_EQ(CountOccurrences(Gbk("叶绿体叶绿体"), Gbk("叶绿体"), true), 2);
}

TEST(CountOccurrencesTest, IgnoresMatchesThatStraddleTwoCharacters) {
  // "\xB0\xA1\xB0\xA1" holds "\xA1\xB0" across the boundary, which is not a character.
  EXPECT_EQ(CountOccurrences("\xB0\xA1\xB0\xA1", "\xA1\xB0", true), 0);
}

TEST(FindAllPositionsTest, AppendsAscendingPositionsIgnoringCase) {
  std::vector<int64_t> positions = {99};
  FindAllPositions("xDNAdnaDna", "dna", positions);
  EXPECT_THAT(positions, ElementsAre(99, 2, 5, 8));
  FindAllPositions(Gbk("叶绿体中的色素。氧气在叶绿体中产生。"), Gbk("叶绿体"), positions);
  EXPECT_THAT(positions, ElementsAre(99, 2, 5, 8, 1, 23));
  FindAllPositions("abc", "x", positions);
  FindAllPositions("", "x", positions);
  EXPECT_EQ(positions.size(), 6u);
}

}  // namespace
}  // namespace vantry
