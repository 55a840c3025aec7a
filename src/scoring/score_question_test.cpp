#include "scoring/score_question.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/rule_texts.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;
using testing::StateWithRules;

// A rule holding one "<关键词>" block per group text (UTF-8 in, GBK out).
GbkText Rule(std::initializer_list<std::string_view> groups) {
  std::string utf8 = "<分值>10</分值>";
  for (std::string_view g : groups) utf8 += "<关键词>" + std::string(g) + "</关键词>";
  return Gbk(utf8);
}

constexpr std::string_view kPhotosynthesis = "光合作用在叶绿体中进行，产生氧气。";

TEST(OrderKeyTest, QuestionDashGroupInPlainDecimal) {
  EXPECT_EQ(OrderKey(1, 2), "1-2"_gbk);
  EXPECT_EQ(OrderKey(12, 10), "12-10"_gbk);
}

TEST(ScoreAnswerTest, RecordsEveryDecisionOfTheWorkedExample) {
  const ProgramState state =
      StateWithRules({Rule({"光合作用|光合", "叶绿体", "氧气", "线粒体"})});
  CompiledRules rules(state);
  FixedScoringBoxes boxes("2"_gbk, "1-2,1-3"_gbk);
  ScoreLog log;
  log.groups.resize(1);  // records append after what the log already holds
  const GbkText answer = Gbk(kPhotosynthesis);
  const QuestionRecord q = ScoreAnswer(rules.Question(1), 1, answer, boxes, log);

  EXPECT_TRUE(q.has_rule);
  EXPECT_EQ(q.raw_score, 6);
  EXPECT_EQ(q.answer, answer);
  ASSERT_EQ(q.groups_begin, 1u);
  ASSERT_EQ(q.groups_size, 4u);
  const GroupRecord& g1 = log.groups[1];
  EXPECT_EQ(g1.group, 1);
  EXPECT_EQ(g1.mode, GroupMode::kUnordered);
  EXPECT_EQ(g1.alternative, 1);
  EXPECT_EQ(g1.alternative_text, Gbk("光合作用"));
  EXPECT_EQ(g1.position, 1);
  EXPECT_EQ(g1.points, 2);
  EXPECT_EQ(g1.points_read, 2);
  const GroupRecord& g3 = log.groups[3];
  EXPECT_EQ(g3.mode, GroupMode::kOrdered);
  EXPECT_EQ(g3.position, 29);
  EXPECT_EQ(g3.points, 0);
  EXPECT_EQ(g3.points_read, std::nullopt);
  EXPECT_EQ(log.chain[g3.chain_begin], 29);
  EXPECT_FALSE(log.groups[4].matched());
  EXPECT_EQ(log.groups[4].position, -1);
  EXPECT_EQ(std::vector<int64_t>(log.chain.begin() + q.chain_begin, log.chain.end()),
            (std::vector<int64_t>{11, 29}));
  EXPECT_TRUE(q.chain_rose);
  EXPECT_TRUE(q.earned_bonus());
  EXPECT_EQ(q.bonus, 4);
  EXPECT_EQ(q.bonus_points_read, 2);

  // The points of the groups and the bonus add up to the raw score.
  int32_t sum = q.bonus;
  for (uint32_t i = 0; i < q.groups_size; ++i)
    sum += log.groups[q.groups_begin + i].points;
  EXPECT_EQ(sum, q.raw_score);

  // Without a rule: nothing read, nothing recorded.
  const QuestionRecord none = ScoreAnswer(rules.Question(2), 2, answer, boxes, log);
  EXPECT_FALSE(none.has_rule);
  EXPECT_EQ(none.raw_score, 0);
  EXPECT_EQ(none.groups_size, 0u);
}

}  // namespace
}  // namespace vantry
