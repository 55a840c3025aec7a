#include "export/teacher_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testing/rule_texts.h"
#include "testing/test_class.h"
#include "testing/test_support.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

using testing::Gbk;
using ::testing::HasSubstr;

TEST(TeacherCheckTest, TextLinesUpFiguresDisagreementsAndNames) {
  const ProgramState state = testing::StateWithRules(
      {Gbk("<关键词>叶绿体</关键词><关键词>氧气</关键词>")}, {"4"_gbk});
  testing::TestClass papers(state);
  papers.Add(Gbk("甲"), Gbk("叶绿体和氧气"))
      .Add(Gbk("乙"), Gbk("叶绿体"))
      .Add(Gbk("丙"), Gbk("氧气"))
      .Add(Gbk("丙"), Gbk("无"))
      .Add(Gbk("丁"), Gbk("无"));
  const TeacherCheck check =
      CheckAgainstTeacher(papers.graded(), "教师评分.csv",
                          ParseTeacherMarks("姓名,第1题\n甲,4\n乙,4\n丙,2\n戊,3\n"));
  ASSERT_TRUE(check.ok());
  const std::string text = TeacherCheckText(check, papers.graded());
  // Rules 4, 2 against the teacher's 4, 4: equal once, mean -1, r undefined (the
  // teacher's marks are all alike) and kappa 0.
  EXPECT_THAT(text, HasSubstr("与教师评分核对（教师评分.csv）：比对 2 份试卷\n"));
  EXPECT_THAT(
      text, HasSubstr("题目   份数  完全一致  相差≤1分  平均差  相关系数r  加权kappa\n"
                      "第1题     2     50.0%     50.0%   -1.00          —       0.00\n"
                      "总分      2     50.0%     50.0%   -1.00          —       0.00\n"));
  EXPECT_THAT(text,
              HasSubstr(" 1. 乙：逐题相差共 2 分（规则 2 分，教师 4 分）\n"
                        "    教师 4 分 | 规则 第1题 2分（满分4）：得分点1「叶绿体」+2；"
                        "未命中得分点2「氧气」\n"));
  EXPECT_THAT(text, HasSubstr("  答题文本里有同名试卷（没有比对）：丙\n"));
  EXPECT_THAT(text, HasSubstr("  答题文本里找不到：戊\n"));
  EXPECT_THAT(text, HasSubstr("  没有教师评分的试卷：丁\n"));

  const TeacherCheck broken =
      CheckAgainstTeacher(papers.graded(), "marks.csv",
                          ParseTeacherMarks(Gbk("姓名,第1题\n甲,四\n").bytes()));
  EXPECT_EQ(
      TeacherCheckText(broken, papers.graded()),
      "marks.csv 第2行：第1题的“四”不是整数或半分（如 6 或 6.5）；没有与教师评分核对\n");
}

// No paper answered anything: a marked question is explained as unanswered, never as
// one the rules lack (the rules have it).
TEST(TeacherCheckTest, QuestionsNoPaperAnsweredAreSaidToBeUnanswered) {
  const ProgramState state = testing::StateWithRules(
      {Gbk("<关键词>叶绿体</关键词>"), Gbk("<关键词>氧气</关键词>")}, {"4"_gbk, "4"_gbk});
  testing::TestClass papers(state);
  papers.Add(Gbk("甲"), Gbk(""));
  const TeacherCheck check = CheckAgainstTeacher(
      papers.graded(), "教师评分.csv", ParseTeacherMarks("姓名,第1题,第2题\n甲,3,1\n"));
  ASSERT_TRUE(check.ok());
  const std::string text = TeacherCheckText(check, papers.graded());
  EXPECT_THAT(text,
              HasSubstr("教师 3 分 | 规则 第1题 0分（满分4）：未作答，记 0 分\n"
                        "    教师 1 分 | 规则 第2题 0分（满分4）：未作答，记 0 分\n"))
      << text;
}

}  // namespace
}  // namespace vantry
