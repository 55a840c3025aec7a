#include "export/explanation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/explained_amounts.h"
#include "testing/rule_texts.h"
#include "testing/test_class.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;
using testing::SumOfAmounts;
using testing::TestClass;

// Question 1 as in the manual's worked example (maximum 10), question 2 two plain groups
// (maximum 3), question 3 with neither rule nor maximum.
ProgramState Exam() {
  return testing::StateWithRules(
      {Gbk("<关键词>光合作用|光合</关键词><关键词>叶绿体</关键词><关键词>氧气</关键词>"),
       Gbk("<关键词>甲</关键词><关键词>乙</关键词><关键词></关键词>")},
      {"10"_gbk, "3"_gbk});
}

TEST(ExplanationTest, SaysWhereEveryPointCameFrom) {
  const ProgramState state = Exam();
  const struct {
    const char* points;
    const char* order;
    const char* answer;  // UTF-8; TABs separate questions
    std::vector<std::string> expected;
  } cases[] = {
      {"2",
       "1-2,1-3",
       "光合作用在叶绿体中进行，产生氧气。",
       {"第1题 6分（满分10）：得分点1「光合作用」+2；得分点2、3 先后顺序正确 +4"}},
      {"2",
       "1-2,1-3",
       "叶绿体中的色素。氧气在叶绿体中产生。",
       {"第1题 0分（满分10）：得分点2、3 先后顺序不对：「叶绿体」出现 2 次，第 2 次在"
        "「氧气」之后，不加分；未命中得分点1「光合作用」"}},
      {"2",
       "1-2,1-3",
       "氧气在叶绿体中",
       {"第1题 0分（满分10）：得分点2、3 先后顺序不对：「氧气」出现在「叶绿体」之前，"
        "不加分；未命中得分点1「光合作用」"}},
      {"2",
       "1-2",
       "光合在叶绿体中",
       {"第1题 2分（满分10）：得分点1「光合」+2；得分点2 只出现 1 处，"
        "按先后顺序计分至少要 2 处，不加分；未命中得分点3「氧气」"}},
      {"2",
       "1-2",
       "叶绿体叶绿体叶绿体叶绿体叶绿体",
       {"第1题 0分（满分10）：得分点2 共出现 5 处（「叶绿体」5 处），按先后顺序计分"
        "最多 4 处，不加分；未命中得分点1「光合作用」、3「氧气」"}},
      {"2",
       "",
       "无关\t甲乙\t甲",
       {"第1题 0分（满分10）：没有命中任何得分点",
        "第2题 3分（满分3）：得分点1「甲」+2；得分点2「乙」+2；"
        "未命中得分点3（没有关键词）；原始 4 分，封顶 3 分",
        "第3题 0分（未设满分）：参数设置里没有这道题的评分规则，记 0 分"}},
      {"0",
       "1-2,1-3",
       "\t甲乙",
       {"第1题 0分（满分10）：未作答，记 0 分",
        "第2题 0分（满分3）：得分点1「甲」+0；得分点2「乙」+0；"
        "未命中得分点3（没有关键词）；分值框为 0，命中不加分"}},
      {"2",
       "",
       " 　\r\n\t甲",
       {"第1题 0分（满分10）：未作答，记 0 分",
        "第2题 2分（满分3）：得分点1「甲」+2；未命中得分点2「乙」、3（没有关键词）"}},
      {"-2",
       "1-2,1-3",
       "光合作用在叶绿体中进行，产生氧气。\t乙",
       {"第1题 −6分（满分10）：得分点1「光合作用」-2；得分点2、3 先后顺序正确 -4；"
        "分值框为负数，命中反而扣分",
        "第2题 −2分（满分3）：得分点2「乙」-2；未命中得分点1「甲」、3（没有关键词）；"
        "分值框为负数，命中反而扣分"}},
  };
  for (const auto& c : cases) {
    TestClass t(state, c.points, Gbk(c.order));
    t.Add("a", Gbk(c.answer));
    PaperRecord paper;
    t.graded().Record(0, paper);
    ASSERT_EQ(paper.questions.size(), c.expected.size()) << c.answer;
    for (size_t q = 0; q < c.expected.size(); ++q) {
      const std::string text = ExplainQuestion(paper, paper.questions[q]);
      EXPECT_EQ(text, c.expected[q]);
      EXPECT_EQ(SumOfAmounts(text), paper.questions[q].raw_score) << text;
    }
  }
}

TEST(ExplanationTest, NegativeScoresAreNotMistakenForAmounts) {
  // A maximum of -5 lowers a raw score of -4.
  const ProgramState state = testing::StateWithRules(
      {Gbk("<关键词>甲</关键词><关键词>乙</关键词>")}, {"-5"_gbk});
  TestClass t(state, "-2");
  t.Add("a", Gbk("甲乙"));
  PaperRecord paper;
  t.graded().Record(0, paper);
  const std::string text = ExplainQuestion(paper, paper.questions[0]);
  EXPECT_EQ(text,
            "第1题 −5分（满分−5）：得分点1「甲」-2；得分点2「乙」-2；"
            "分值框为负数，命中反而扣分；原始 −4 分，封顶 −5 分");
  EXPECT_EQ(SumOfAmounts(text), -4);
}

TEST(ExplanationTest, KeywordsShowOnOneLineWithInvalidBytesReplaced) {
  // An alternative holding a line break, and one that is not valid GBK.
  const ProgramState state =
      testing::StateWithRules({Gbk("<关键词>甲\r\n乙</关键词><关键词>") +
                               GbkView("\xFF"
                                       "0+9") +
                               Gbk("</关键词>")},
                              {"10"_gbk});
  TestClass t(state);
  t.Add("a", Gbk("甲\r\n乙") + GbkView("\xFF"
                                       "0+9"));
  PaperRecord paper;
  t.graded().Record(0, paper);
  const std::string text = ExplainQuestion(paper, paper.questions[0]);
  EXPECT_EQ(text, "第1题 4分（满分10）：得分点1「甲↵乙」+2；得分点2「\uFFFD0+9」+2");
  EXPECT_EQ(SumOfAmounts(text), 4);
}

TEST(ExplanationTest, QuestionsAPaperLacksSayWhyTheyScoreZero) {
  const ProgramState state = Exam();
  TestClass t(state);
  t.Add("full", Gbk("光合\t甲\t丙"))
      .Add("short", Gbk("光合"))
      .Add("empty", "")
      .Add("none", std::nullopt);
  std::vector<std::string> rows;
  PaperRecord paper;
  const auto explain = [&](size_t i) {
    t.graded().Record(i, paper);
    ExplainPaper(paper, t.graded(), rows);
    return rows;
  };
  EXPECT_EQ(explain(0).size(), 3u);
  EXPECT_EQ(
      explain(1),
      (std::vector<std::string>{
          "第1题 2分（满分10）：得分点1「光合」+2；未命中得分点2「叶绿体」、3「氧气」",
          "第2题 0分（满分3）：未作答，记 0 分",
          "第3题 0分（未设满分）：未作答，记 0 分"}));
  EXPECT_EQ(explain(2)[1], "第2题 0分（满分3）：未作答，记 0 分");
  EXPECT_EQ(explain(3)[0], "第1题 0分（满分10）：答题文本里没有这名学生的答案，记 0 分");

  TestClass no_questions(state);
  no_questions.Add("empty", "").Add("none", std::nullopt);
  no_questions.graded().Record(0, paper);
  ExplainPaper(paper, no_questions.graded(), rows);
  EXPECT_EQ(rows, (std::vector<std::string>{"未作答，记 0 分"}));
  no_questions.graded().Record(1, paper);
  ExplainPaper(paper, no_questions.graded(), rows);
  EXPECT_EQ(rows, (std::vector<std::string>{"答题文本里没有这名学生的答案，记 0 分"}));
}

}  // namespace
}  // namespace vantry
