#include "analysis/class_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "testing/rule_texts.h"
#include "testing/test_class.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;
using testing::TestClass;

TEST(CompetitionRanksTest, TiesShareTheBestRankAndTheNextSkips) {
  const struct {
    std::vector<int32_t> totals;
    std::vector<int64_t> ranks;
  } cases[] = {
      {{}, {}},
      {{5}, {1}},
      {{9, 7, 7, 3}, {1, 2, 2, 4}},
      {{3, 7, 9, 7}, {4, 2, 1, 2}},  // sheet order kept
      {{4, 4, 4}, {1, 1, 1}},
      {{-2, 0, -2, 10, 0}, {4, 2, 4, 1, 2}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompetitionRanks(c.totals), c.ranks) << ::testing::PrintToString(c.totals);
  }
}

// Question 1: three groups worth 1 each, cap 3; question 2: one group, cap 1.
ProgramState TwoQuestions(std::initializer_list<GbkView> maxima = {"3"_gbk, "1"_gbk}) {
  return testing::StateWithRules(
      {Gbk("<关键词>甲|子</关键词><关键词>乙</关键词><关键词>丙</关键词>"),
       Gbk("<关键词>丁</关键词>")},
      maxima);
}

void AddSixPapers(TestClass& c) {
  c.Add(Gbk("一"), Gbk("甲乙丙\t丁"))   // 3 + 1 = 4
      .Add(Gbk("二"), Gbk("子乙\t丁"))  // 2 + 1 = 3
      .Add(Gbk("三"), Gbk("甲乙\t"))    // 2, lacks question 2 (trailing TAB) = 2
      .Add(Gbk("四"), Gbk("甲"))        // 1, lacks question 2 = 1
      .Add(Gbk("五"), Gbk(""))          // no questions = 0
      .Add(Gbk("六"), std::nullopt);    // no answer field = 0
}

TEST(ClassStatisticsTest, AnsweredCountsAnswersWithContentWhereverTheyStand) {
  const ProgramState state = TwoQuestions();
  TestClass c(state, "1");
  c.Add(Gbk("一"), Gbk("甲\t \r\n\t丁"))  // question 2 only white space
      .Add(Gbk("二"), Gbk("\t乙\t丁"))    // question 1 empty
      .Add(Gbk("三"), Gbk("甲\t乙\t　"))  // question 3 a full-width space
      .Add(Gbk("四"), Gbk("甲"));         // lacks questions 2 and 3
  const ClassStatistics s = ComputeClassStatistics(c.graded(), state);
  ASSERT_EQ(s.questions.size(), 3u);
  EXPECT_EQ(s.questions[0].papers_answered, 3);
  EXPECT_EQ(s.questions[1].papers_answered, 2);
  EXPECT_EQ(s.questions[2].papers_answered, 2);
}

TEST(ClassStatisticsTest, QuestionsCountMissingPiecesAsZero) {
  const ProgramState state = TwoQuestions();
  TestClass c(state, "1");
  AddSixPapers(c);
  const ClassStatistics s = ComputeClassStatistics(c.graded(), state);

  EXPECT_EQ(s.paper_count, 6);
  EXPECT_EQ(s.ranks, (std::vector<int64_t>{1, 2, 3, 4, 5, 5}));
  EXPECT_EQ(s.totals.count, 6);
  EXPECT_DOUBLE_EQ(*s.totals.mean, 10.0 / 6);
  EXPECT_EQ(*s.totals.highest, 4);
  EXPECT_EQ(*s.totals.lowest, 0);
  const double m = 10.0 / 6;
  EXPECT_NEAR(*s.totals.standard_deviation,
              std::sqrt(((4 - m) * (4 - m) + (3 - m) * (3 - m) + (2 - m) * (2 - m) +
                         (1 - m) * (1 - m) + 2 * m * m) /
                        6),
              1e-12);

  ASSERT_EQ(s.questions.size(), 2u);
  const QuestionStatistics& q1 = s.questions[0];
  EXPECT_TRUE(q1.has_rule);
  EXPECT_EQ(q1.cap, 3);
  EXPECT_EQ(q1.papers_answered, 4);
  EXPECT_EQ(q1.scores.count, 6);
  EXPECT_DOUBLE_EQ(*q1.scores.mean, 8.0 / 6);
  EXPECT_DOUBLE_EQ(*q1.score_rate, 8.0 / 18);
  EXPECT_EQ(*q1.scores.highest, 3);
  EXPECT_EQ(*q1.scores.lowest, 0);
  EXPECT_EQ(q1.full_count, 1);
  EXPECT_EQ(q1.zero_count, 2);
  const QuestionStatistics& q2 = s.questions[1];
  EXPECT_EQ(q2.papers_answered, 2);
  EXPECT_DOUBLE_EQ(*q2.scores.mean, 2.0 / 6);
  EXPECT_EQ(q2.full_count, 2);
  EXPECT_EQ(q2.zero_count, 4);  // two lack it, two have no answer at all

  // Groups of 0.27 x 6 = 1.62 papers. Top: 一 whole and 0.62 of 二; bottom: 五 and 六,
  // tied at 0, share the 1.62 places.
  EXPECT_NEAR(*q1.discrimination, (3 + 0.62 * 2) / 1.62 / 3, 1e-12);
  EXPECT_NEAR(*q2.discrimination, 1.0, 1e-12);

  ASSERT_EQ(q1.groups.size(), 3u);
  EXPECT_EQ(q1.groups[0].text, Gbk("甲|子"));
  EXPECT_EQ(q1.groups[0].papers_hit, 4);
  EXPECT_DOUBLE_EQ(*q1.groups[0].hit_rate, 4.0 / 6);
  EXPECT_EQ(q1.groups[0].top_alternative, 1);  // 甲 three times, 子 once
  EXPECT_EQ(q1.groups[0].top_alternative_text, Gbk("甲"));
  EXPECT_EQ(q1.groups[0].top_alternative_hits, 3);
  EXPECT_EQ(q1.groups[2].papers_hit, 1);
  EXPECT_EQ(q1.groups[0].papers_ordered, 0);
  EXPECT_FALSE(q1.groups[0].bonus_rate);

  // Full marks 4: totals 4, 3, 2, 1, 0, 0 fall in the bands of 100 %, 75 %, 50 %, 25 %
  // and 0 %; the bound 100 % counts in the top band.
  const ScoreDistribution& d = s.distribution;
  EXPECT_EQ(d.status, FullMarksStatus::kKnown);
  EXPECT_EQ(d.full_marks, 4);
  ASSERT_EQ(d.bands.size(), 10u);
  std::vector<int64_t> counts;
  for (const ScoreBand& band : d.bands) counts.push_back(band.count);
  EXPECT_EQ(counts, (std::vector<int64_t>{2, 0, 1, 0, 0, 1, 0, 1, 0, 1}));
  EXPECT_DOUBLE_EQ(d.bands[7].lower, 2.8);
  EXPECT_DOUBLE_EQ(d.bands[9].upper, 4.0);
  EXPECT_EQ(d.excellent->count, 1);  // >= 3.4
  EXPECT_EQ(d.pass->count, 2);       // >= 2.4
  EXPECT_EQ(d.low->count, 3);        // < 1.6
  EXPECT_DOUBLE_EQ(*d.low->rate, 0.5);
}

TEST(ClassStatisticsTest, LevelsCountTotalsExactlyOnTheirBounds) {
  // Full marks 20: 17 is exactly 85 %, 12 exactly 60 %, 8 exactly 40 % (not low).
  const ProgramState state =
      testing::StateWithRules({Gbk("<关键词>甲</关键词>")}, {"20"_gbk});
  TestClass c(state, "17");
  c.Add("a", Gbk("甲"));
  TestClass d(state, "12");
  d.Add("b", Gbk("甲"));
  TestClass e(state, "8");
  e.Add("c", Gbk("甲"));
  const auto levels = [&](const TestClass& t) {
    const ScoreDistribution dist = ComputeClassStatistics(t.graded(), state).distribution;
    return std::vector<int64_t>{dist.excellent->count, dist.pass->count, dist.low->count};
  };
  EXPECT_EQ(levels(c), (std::vector<int64_t>{1, 1, 0}));
  EXPECT_EQ(levels(d), (std::vector<int64_t>{0, 1, 0}));
  EXPECT_EQ(levels(e), (std::vector<int64_t>{0, 0, 0}));
}

TEST(ClassStatisticsTest, TheLowestBandSaysWhenItHoldsNegativeTotals) {
  const ProgramState state =
      testing::StateWithRules({Gbk("<关键词>甲</关键词>")}, {"20"_gbk});
  for (const char* points : {"2", "-3"}) {
    TestClass c(state, points);
    c.Add("a", Gbk("甲")).Add("b", Gbk("乙"));
    const ScoreDistribution d = ComputeClassStatistics(c.graded(), state).distribution;
    EXPECT_EQ(d.bands[0].count, points[0] == '-' ? 2 : 1) << points;
    EXPECT_EQ(d.bands[0].below_zero, points[0] == '-') << points;
    EXPECT_FALSE(d.bands[1].below_zero);
  }
}

TEST(ClassStatisticsTest, DiscriminationDoesNotDependOnTheOrderOfTiedPapers) {
  const ProgramState state = TwoQuestions({"3"_gbk, "3"_gbk});
  // Three papers tied at the top (total 3) but split differently between questions,
  // two at the bottom (0): the groups of 0.27 x 5 = 1.35 papers take 0.45 of each tied
  // top paper and 0.675 of each bottom one.
  const std::vector<GbkText> answers = {Gbk("甲乙丙"), Gbk("甲乙\t丁"), Gbk(""),
                                        Gbk("乙丙\t丁"), Gbk("戊")};
  std::vector<double> first_order;
  for (const bool reversed : {false, true}) {
    TestClass c(state, "1");
    for (size_t i = 0; i < answers.size(); ++i) {
      const size_t k = reversed ? answers.size() - 1 - i : i;
      c.Add(std::to_string(k), answers[k]);
    }
    const ClassStatistics s = ComputeClassStatistics(c.graded(), state);
    std::vector<double> d = {*s.questions[0].discrimination,
                             *s.questions[1].discrimination};
    EXPECT_NEAR(d[0], 0.45 * (3 + 2 + 2) / 1.35 / 3, 1e-12);
    EXPECT_NEAR(d[1], 0.45 * (0 + 1 + 1) / 1.35 / 3, 1e-12);
    if (reversed) {
      EXPECT_NEAR(d[0], first_order[0], 1e-12);
      EXPECT_NEAR(d[1], first_order[1], 1e-12);
    }
    first_order = d;
  }
}

TEST(ClassStatisticsTest, OrderedGroupsCountTheirBonus) {
  const ProgramState state = testing::StateWithRules(
      {Gbk("<关键词>甲</关键词><关键词>乙</关键词><关键词>丙</关键词>")}, {"10"_gbk});
  TestClass c(state, "2", "1-2,1-3");
  c.Add("a", Gbk("甲乙丙"))   // chain rises: bonus
      .Add("b", Gbk("丙乙"))  // falls: no bonus
      .Add("c", Gbk("乙"))    // a chain of 1: no bonus
      .Add("d", Gbk("甲"));   // no ordered group occurs
  const QuestionStatistics q = ComputeClassStatistics(c.graded(), state).questions[0];
  EXPECT_EQ(q.papers_with_bonus, 1);
  EXPECT_EQ(q.groups[0].papers_ordered, 0);
  EXPECT_EQ(q.groups[1].papers_ordered, 4);
  EXPECT_EQ(q.groups[1].papers_ordered_with_bonus, 1);
  EXPECT_DOUBLE_EQ(*q.groups[1].bonus_rate, 0.25);
  EXPECT_EQ(q.groups[1].papers_hit, 3);
  EXPECT_EQ(q.groups[2].papers_hit, 2);
}

// No statistic of these classes may be NaN or infinite: absent instead.
void ExpectNoNan(const ClassStatistics& s) {
  const auto finite = [](const std::optional<double>& v) {
    return !v || std::isfinite(*v);
  };
  EXPECT_TRUE(finite(s.totals.mean) && finite(s.totals.standard_deviation));
  for (const QuestionStatistics& q : s.questions) {
    EXPECT_TRUE(finite(q.scores.mean) && finite(q.scores.standard_deviation) &&
                finite(q.score_rate) && finite(q.discrimination))
        << q.question;
    for (const GroupStatistics& g : q.groups) {
      EXPECT_TRUE(finite(g.hit_rate) && finite(g.bonus_rate));
    }
  }
  for (const ScoreBand& b : s.distribution.bands) EXPECT_TRUE(finite(b.rate));
}

TEST(ClassStatisticsTest, WhatCannotBeComputedIsAbsent) {
  {  // an empty class
    const ProgramState state = TwoQuestions();
    TestClass c(state);
    const ClassStatistics s = ComputeClassStatistics(c.graded(), state);
    ExpectNoNan(s);
    EXPECT_EQ(s.paper_count, 0);
    EXPECT_FALSE(s.totals.mean || s.totals.highest || s.totals.standard_deviation);
    EXPECT_TRUE(s.questions.empty());
    EXPECT_EQ(s.distribution.status, FullMarksStatus::kNoQuestions);
    EXPECT_FALSE(s.distribution.excellent);
  }
  {  // one paper: no discrimination; question 3 has neither rule nor maximum
    const ProgramState state = TwoQuestions();
    TestClass c(state);
    c.Add("a", Gbk("甲\t丁\t戊"));
    const ClassStatistics s = ComputeClassStatistics(c.graded(), state);
    ExpectNoNan(s);
    EXPECT_FALSE(s.questions[0].discrimination);
    EXPECT_EQ(*s.questions[0].scores.standard_deviation, 0);
    EXPECT_FALSE(s.questions[2].has_rule);
    EXPECT_FALSE(s.questions[2].cap || s.questions[2].score_rate ||
                 s.questions[2].full_count);
    EXPECT_TRUE(s.questions[2].groups.empty());
    EXPECT_EQ(s.distribution.status, FullMarksStatus::kQuestionWithoutCap);
    EXPECT_EQ(s.distribution.question_without_cap, 3);
    EXPECT_TRUE(s.distribution.bands.empty());
    EXPECT_FALSE(s.distribution.pass);
  }
  {  // maxima that are not numbers cap at 0: rates and full marks are not known
    const ProgramState state = TwoQuestions({Gbk("十"), Gbk("一")});
    TestClass c(state);
    c.Add("a", Gbk("甲\t丁")).Add("b", Gbk("乙"));
    const ClassStatistics s = ComputeClassStatistics(c.graded(), state);
    ExpectNoNan(s);
    EXPECT_FALSE(s.questions[0].score_rate || s.questions[0].discrimination ||
                 s.questions[0].full_count);
    EXPECT_EQ(s.questions[0].zero_count, 2);
    EXPECT_EQ(s.distribution.status, FullMarksStatus::kNotPositive);
  }
}

}  // namespace
}  // namespace vantry
