#include "analysis/marks_comparison.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/test_support.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using testing::Gbk;

// A class of papers with these shown scores (none: no answer field); `names` keeps
// the GBK names the class views.
GradedClass MakeClass(
    const std::vector<std::pair<std::string_view, std::vector<int32_t>>>& papers,
    std::vector<GbkText>& names) {
  names.reserve(papers.size());
  GradedClass graded;
  PaperRecord record;
  for (const auto& [name, scores] : papers) {
    record.Clear();
    names.push_back(Gbk(name));
    record.name = names.back();
    record.has_answer = !scores.empty();
    for (size_t q = 0; q < scores.size(); ++q) {
      QuestionRecord& question = record.questions.emplace_back();
      question.question = static_cast<int32_t>(q + 1);
      question.raw_score = question.shown_score = scores[q];
      record.total += scores[q];
    }
    graded.Add(record);
  }
  return graded;
}

TeacherMarks Sheet(std::string_view utf8_csv) {
  MarksRead read = ParseTeacherMarks(utf8_csv);
  EXPECT_TRUE(read.ok()) << utf8_csv;
  return read.ok() ? std::move(read).value() : TeacherMarks();
}

TEST(CompareWithTeacherTest, MatchesByNameAndMeasuresEachQuestionAndTheTotals) {
  std::vector<GbkText> names;
  const GradedClass graded = MakeClass({{"甲", {4, 6}},
                                        {" 乙 ", {2, 0}},
                                        {"丙", {}},  // handed in nothing
                                        {"丁", {3, 3}},
                                        {"戊", {1, 1}}},
                                       names);
  // Columns out of order; 丁 has no mark for question 1; 戊 is not in the sheet.
  const MarksComparison c = CompareWithTeacher(
      graded, Sheet("姓名,第2题,第1题\n甲,6,4\n乙,3,2\n丙,0,1\n丁,3,\n"), 2);

  EXPECT_EQ(c.papers_compared, 4);
  ASSERT_EQ(c.questions.size(), 2u);
  EXPECT_EQ(c.questions[0].question, 1);
  EXPECT_EQ(c.questions[0].column, 1u);
  // Question 1: rules 4,2,0 against 4,2,1.
  EXPECT_EQ(c.questions[0].agreement.papers, 3);
  EXPECT_DOUBLE_EQ(*c.questions[0].agreement.exact_share, 2.0 / 3);
  EXPECT_DOUBLE_EQ(*c.questions[0].agreement.mean_difference, -1.0 / 3);
  // Question 2: rules 6,0,0,3 against 6,3,0,3.
  EXPECT_EQ(c.questions[1].agreement.papers, 4);
  EXPECT_DOUBLE_EQ(*c.questions[1].agreement.mean_difference, -3.0 / 4);
  // Totals only where every column is filled: 10,2,0 against 10,5,1.
  EXPECT_EQ(c.totals.papers, 3);
  EXPECT_DOUBLE_EQ(*c.totals.mean_difference, -4.0 / 3);
  EXPECT_TRUE(c.sheet_covers_every_question);

  // 乙 disagrees by 3, 丙 by 1, 甲 and 丁 not at all; two asked for.
  ASSERT_EQ(c.largest.size(), 2u);
  EXPECT_EQ(c.largest[0].paper, 1u);
  EXPECT_EQ(c.largest[0].disagreement, ToHalfPoints(3));
  EXPECT_EQ(c.largest[1].paper, 2u);
  EXPECT_EQ(c.largest[1].row, 2u);
  EXPECT_THAT(c.papers_without_marks, ElementsAre(4u));
  EXPECT_TRUE(c.names_twice_in_sheet.empty() && c.names_twice_in_answers.empty() &&
              c.names_without_paper.empty());
}

TEST(CompareWithTeacherTest, DoubledAndUnknownNamesAreReportedNotGuessed) {
  std::vector<GbkText> names;
  const GradedClass graded = MakeClass(
      {{"甲", {1}}, {"乙", {2}}, {"乙", {3}}, {"丙", {4}}, {"丁", {5, 1}}}, names);
  const MarksComparison c = CompareWithTeacher(
      graded, Sheet("姓名,第1题\n甲,1\n乙,2\n丙,4\n丙,4\n己,9\n丁,0\n"));
  EXPECT_THAT(c.names_twice_in_sheet, ElementsAre(Gbk("丙")));
  EXPECT_THAT(c.names_twice_in_answers, ElementsAre(Gbk("乙")));
  EXPECT_THAT(c.names_without_paper, ElementsAre(Gbk("己")));
  EXPECT_TRUE(c.papers_without_marks.empty());
  // Only 甲 and 丁 are compared; 丁 answered a second question the sheet lacks.
  EXPECT_EQ(c.papers_compared, 2);
  EXPECT_FALSE(c.sheet_covers_every_question);
  EXPECT_EQ(c.questions[0].agreement.papers, 2);
  ASSERT_EQ(c.largest.size(), 1u);
  EXPECT_EQ(c.largest[0].paper, 4u);
  EXPECT_EQ(c.largest[0].disagreement, ToHalfPoints(5));
}

TEST(CompareWithTeacherTest, HalfMarksAreComparedInHalfPoints) {
  std::vector<GbkText> names;
  const GradedClass graded =
      MakeClass({{"甲", {6, 4}}, {"乙", {7, 2}}, {"丙", {3, 3}}}, names);
  const MarksComparison c =
      CompareWithTeacher(graded, Sheet("姓名,第1题,第2题\n甲,6.5,4\n乙,7,0.5\n丙,3,3\n"));
  // Question 1: 6,7,3 against 6.5,7,3; question 2: 4,2,3 against 4,0.5,3.
  EXPECT_DOUBLE_EQ(*c.questions[0].agreement.exact_share, 2.0 / 3);
  EXPECT_DOUBLE_EQ(*c.questions[0].agreement.within_one_share, 1);
  EXPECT_DOUBLE_EQ(*c.questions[0].agreement.mean_difference, -0.5 / 3);
  EXPECT_DOUBLE_EQ(*c.questions[1].agreement.within_one_share, 2.0 / 3);
  // Totals 10,9,6 against 10.5,7.5,6.
  EXPECT_DOUBLE_EQ(*c.totals.mean_difference, 1.0 / 3);
  EXPECT_EQ(c.totals.highest, 21);
  ASSERT_EQ(c.largest.size(), 2u);
  EXPECT_EQ(c.largest[0].paper, 1u);
  EXPECT_EQ(c.largest[0].disagreement, 3);  // 1.5 points
  EXPECT_EQ(c.largest[1].disagreement, 1);  // 0.5 points
}

}  // namespace
}  // namespace vantry
