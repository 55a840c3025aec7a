#include "export/answer_marks.h"

#include <gtest/gtest.h>

#include "testing/rule_texts.h"
#include "testing/test_class.h"
#include "testing/test_support.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

using testing::Gbk;

// The marked parts of `answer` (UTF-8), each in [].
std::string Marked(std::string_view points, std::string_view order,
                   std::string_view answer, size_t limit = SIZE_MAX) {
  const ProgramState state = testing::StateWithRules(
      {Gbk(
          "<关键词>遵义会议</关键词><关键词>四渡赤水|赤水</关键词><关键词>DNA</关键词>")},
      {"10"_gbk});
  testing::TestClass c(state, std::string(points), Gbk(order));
  c.Add("a", Gbk(answer));
  PaperRecord record;
  c.graded().Record(0, record);
  const GbkView gbk = record.questions[0].answer;
  std::string out;
  size_t at = 0;
  for (const ByteRange& r : MatchedRanges(record, record.questions[0], limit)) {
    out += GbkToUtf8(gbk.substr(at, r.first - at)) + "[" +
           GbkToUtf8(gbk.substr(r.first, r.second - r.first)) + "]";
    at = r.second;
  }
  return out + GbkToUtf8(gbk.substr(at));
}

TEST(AnswerMarksTest, MarksEveryOccurrenceOfTheWordingsThatScored) {
  EXPECT_EQ(Marked("2", "", "遵义会议后四渡赤水，再提遵义会议"),
            "[遵义会议]后[四渡赤水]，再提[遵义会议]");
  // Only the first wording found decides a group: 赤水 inside 四渡赤水 is not its own.
  EXPECT_EQ(Marked("2", "", "赤水"), "[赤水]");
  // An ordered group's chain counts other letter cases too; an unordered one does not.
  EXPECT_EQ(Marked("2", "1-3", "DNA 和 dna"), "[DNA] 和 [dna]");
  EXPECT_EQ(Marked("2", "", "DNA 和 dna"), "[DNA] 和 dna");
  EXPECT_EQ(Marked("2", "", "没有"), "没有");
  // Past the limit nothing more is looked for.
  EXPECT_EQ(Marked("2", "", "遵义会议遵义会议", 4), "[遵义会议]遵义会议");
}

TEST(AnswerMarksTest, ExcerptsFitALineAroundTheFirstMark) {
  const ProgramState state =
      testing::StateWithRules({Gbk("<关键词>遵义会议</关键词>")}, {"10"_gbk});
  testing::TestClass c(state);
  c.Add("a", Gbk("短答案\r\n遵义会议"))
      .Add("b",
           Gbk("一二三四五六七八九十一二三四五六七八九十遵义会议召开于一九三五年一月"))
      .Add("c", Gbk("一二三四五六七八九十一二三四五六七八九十"));
  PaperRecord record;
  const auto excerpt = [&](size_t paper, size_t characters) {
    c.graded().Record(paper, record);
    return AnswerExcerpt(record, record.questions[0], characters);
  };
  EXPECT_EQ(excerpt(0, 20), "短答案↵遵义会议");
  EXPECT_EQ(excerpt(1, 16), "…三四五六七八九十遵义会议召开于一…");
  EXPECT_EQ(excerpt(2, 5), "一二三四五…");
}

TEST(AnswerMarksTest, TextsKeepLineBreaksAndShowNothingElseRaw) {
  EXPECT_EQ(AnswerText(Gbk("甲\r\n乙\r丙\n丁")), "甲\n乙\n丙\n丁");
  EXPECT_EQ(AnswerText("a\x01\x7F"_gbk
                       "b"),
            "a\uFFFD\uFFFDb");
  EXPECT_EQ(CharacterCount(Gbk("甲a乙")), 3u);
  EXPECT_EQ(PrefixOfCharacters(Gbk("甲a乙"), 2), 3u);
}

}  // namespace
}  // namespace vantry
