#include "grading/boxes_read_at_use.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "controls/control_names.h"
#include "controls/in_memory_controls.h"
#include "platform/message_pump.h"
#include "scoring/score_question.h"
#include "testing/rule_texts.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using testing::Gbk;
using ::testing::IsEmpty;
using testing::StateWithRules;

// A rule holding one "<关键词>" block per group text (UTF-8 in, GBK out).
GbkText Rule(std::initializer_list<std::string_view> groups) {
  std::string utf8 = "<分值>10</分值>";
  for (std::string_view g : groups) utf8 += "<关键词>" + std::string(g) + "</关键词>";
  return Gbk(utf8);
}

struct Fixture {
  ProgramState state;
  InMemoryControls controls;
  // Boxes that read `controls` at every use.
  BoxesReadAtUse boxes{controls};

  Fixture(std::initializer_list<std::string_view> groups, std::string_view points = "2",
          std::string_view order = "")
      : state(StateWithRules({Rule(groups)})) {
    controls.SetControlText(controls::kPointsPerHit, Gbk(points));
    controls.SetControlText(controls::kOrderKeys, Gbk(order));
  }
  int32_t Score(std::string_view utf8_answer, int question = 1) {
    return ScoreQuestion(state, boxes, question, Gbk(utf8_answer));
  }
  // The names of the controls read since recording was switched on, in order.
  std::vector<std::string> Reads() const {
    std::vector<std::string> names;
    for (const auto& e : controls.events()) {
      if (e.kind == "get") names.push_back(e.name);
    }
    return names;
  }
};

const std::string kPoints(controls::kPointsPerHit);
const std::string kOrder(controls::kOrderKeys);

constexpr std::string_view kPhotosynthesis = "光合作用在叶绿体中进行，产生氧气。";

TEST(ScoreQuestionTest, WorkedExampleScoresSixWithAndWithoutOrderKeys) {
  Fixture ordered({"光合作用|光合", "叶绿体", "氧气"}, "2", "1-2,1-3");
  EXPECT_EQ(ordered.Score(kPhotosynthesis), 6);  // 2 + bonus 2 x 2 for chain (11, 29)
  Fixture unordered({"光合作用|光合", "叶绿体", "氧气"}, "2", "");
  EXPECT_EQ(unordered.Score(kPhotosynthesis), 6);  // three hits of 2
}

TEST(ScoreQuestionTest, FallingChainEarnsNoBonus) {
  Fixture f({"光合作用|光合", "叶绿体", "氧气"}, "2", "1-2,1-3");
  // Chain (1, 23, 17): 17 is not above 23; group 1 does not occur.
  EXPECT_EQ(f.Score("叶绿体中的色素。氧气在叶绿体中产生。"), 0);
  // Reordered so the chain rises: (1, 19, 25) is worth 3 x 2.
  EXPECT_EQ(f.Score("叶绿体中的色素。叶绿体产生氧气。"), 6);
}

TEST(ScoreQuestionTest, BonusDependsOnChainLength) {
  Fixture f({"叶绿体"}, "3", "1-1");
  EXPECT_EQ(f.Score("叶绿体"), 0);                                  // n = 1
  EXPECT_EQ(f.Score("叶绿体叶绿体"), 6);                            // touching, n = 2
  EXPECT_EQ(f.Score("叶绿体，叶绿体，叶绿体"), 9);                  // n = 3
  EXPECT_EQ(f.Score("叶绿体，叶绿体，叶绿体，叶绿体"), 12);         // n = 4
  EXPECT_EQ(f.Score("叶绿体，叶绿体，叶绿体，叶绿体，叶绿体"), 0);  // n = 5
  EXPECT_EQ(f.Score("没有提到"), 0);                                // n = 0
}

TEST(ScoreQuestionTest, OrderKeysMatchAsSubstrings) {
  // "1-10" holds "1-1": group 1 becomes ordered and, alone in the chain, earns nothing.
  Fixture ten({"光合作用", "叶绿体"}, "2", "1-10");
  EXPECT_EQ(ten.Score(kPhotosynthesis), 2);
  // "11-2" holds "1-2": group 2 is ordered.
  Fixture eleven({"光合作用", "叶绿体"}, "2", "11-2");
  EXPECT_EQ(eleven.Score(kPhotosynthesis), 2);
  // Any separators may stand between keys; question 2 keys leave question 1 alone.
  Fixture other({"光合作用", "叶绿体"}, "2", "2-1；2-2");
  EXPECT_EQ(other.Score(kPhotosynthesis), 4);
}

TEST(ScoreQuestionTest, FirstAlternativeFoundDecidesTheGroup) {
  // 光合 is found first, so its two positions (1 and 9) form a rising chain; had
  // 光合作用 decided, the chain would hold only position 1.
  Fixture f({"光合|光合作用"}, "2", "1-1");
  EXPECT_EQ(f.Score("光合作用需要光合色素"), 4);
  Fixture reversed({"光合作用|光合"}, "2", "1-1");
  EXPECT_EQ(reversed.Score("光合作用需要光合色素"), 0);
  // Unordered, a group is worth the points once however many alternatives occur.
  Fixture unordered({"光合|光合作用|色素"}, "2");
  EXPECT_EQ(unordered.Score("光合作用需要光合色素"), 2);
}

TEST(ScoreQuestionTest, PointsBoxMayBeNegativeEmptyOrText) {
  EXPECT_EQ(Fixture({"光合作用|光合", "叶绿体", "氧气"}, "-2", "1-2,1-3")
                .Score(kPhotosynthesis),
            -6);
  EXPECT_EQ(
      Fixture({"光合作用|光合", "叶绿体", "氧气"}, "", "1-2,1-3").Score(kPhotosynthesis),
      0);
  EXPECT_EQ(Fixture({"光合作用", "叶绿体"}, "两分").Score(kPhotosynthesis), 0);
  EXPECT_EQ(Fixture({"光合作用", "叶绿体"}, "３分").Score(kPhotosynthesis), 6);
}

TEST(ScoreQuestionTest, HugePointsSaturateInsteadOfWrapping) {
  Fixture f({"叶绿体"}, "2147483647", "1-1");
  EXPECT_EQ(f.Score("叶绿体叶绿体"), 2147483647);
  Fixture g({"光合作用", "叶绿体"}, "2147483647");
  EXPECT_EQ(g.Score(kPhotosynthesis), 2147483647);
}

TEST(ScoreQuestionTest, OccurrenceIsExactButChainPositionsIgnoreCase) {
  Fixture f({"DNA"}, "2", "1-1");
  EXPECT_EQ(f.Score("dna 和 Dna"), 0);           // no exact occurrence: nothing
  EXPECT_EQ(f.Score("DNA 是遗传物质，dna"), 4);  // both cases join the chain: (1, 18)
  Fixture unordered({"DNA"}, "2");
  EXPECT_EQ(unordered.Score("dna"), 0);
  EXPECT_EQ(unordered.Score("DNA"), 2);
}

TEST(ScoreQuestionTest, AlternativesAreUsedExactlyAsWritten) {
  Fixture f({"光合| 叶绿体"}, "2");
  EXPECT_EQ(f.Score("叶绿体"), 0);
  EXPECT_EQ(f.Score("在 叶绿体"), 2);
  // Empty groups and groups of separators only never score.
  EXPECT_EQ(Fixture({"", "|", "||"}).Score("|"), 0);
}

TEST(ScoreQuestionTest, QuestionWithoutRuleScoresZeroAndReadsNothing) {
  Fixture f({"光合作用"});
  f.controls.set_recording(true);
  EXPECT_EQ(f.Score("光合作用", 2), 0);
  EXPECT_EQ(f.Score("光合作用", 0), 0);
  EXPECT_EQ(f.Score("光合作用", -1), 0);
  EXPECT_THAT(f.controls.events(), IsEmpty());
  ProgramState empty;
  EXPECT_EQ(ScoreQuestion(empty, f.boxes, 1, Gbk("光合作用")), 0);
  EXPECT_THAT(f.controls.events(), IsEmpty());
}

TEST(ScoreQuestionTest, ReadsOrderBoxPerAlternativeAndPointsPerHitAndBonus) {
  Fixture f({"光合作用|光合", "叶绿体", "氧气"}, "2", "1-2,1-3");
  f.controls.set_recording(true);
  ASSERT_EQ(f.Score(kPhotosynthesis), 6);
  EXPECT_THAT(f.Reads(), ElementsAre(kOrder, kPoints, kOrder, kOrder, kPoints));

  // Alternatives that do not occur are examined too, each with its own read; a group
  // that nothing matches reads no points; groups without alternatives read nothing.
  Fixture g({"光合|光合作用|叶绿体", "||", "氧化|还原"}, "2", "");
  g.controls.set_recording(true);
  ASSERT_EQ(g.Score("叶绿体"), 2);
  EXPECT_THAT(g.Reads(), ElementsAre(kOrder, kOrder, kOrder, kPoints, kOrder, kOrder));

  // A chain that earns nothing reads no points for the bonus.
  Fixture h({"叶绿体"}, "2", "1-1");
  h.controls.set_recording(true);
  ASSERT_EQ(h.Score("叶绿体"), 0);
  EXPECT_THAT(h.Reads(), ElementsAre(kOrder));
}

TEST(ScoreQuestionTest, BoxesChangedWhileTheRuleIsReadTakeEffect) {
  Fixture f({"光合作用|光合", "叶绿体", "氧气"}, "2", "");
  // The teacher types into the boxes while the keyword blocks are being extracted:
  // the pump runs once per block found.
  int pumped = 0;
  ScopedMessagePump pump([&] {
    if (++pumped == 2) {
      f.controls.SetControlText(controls::kPointsPerHit, "5"_gbk);
      f.controls.SetControlText(controls::kOrderKeys, "1-2,1-3"_gbk);
    }
  });
  EXPECT_EQ(f.Score(kPhotosynthesis), 15);  // 5 + 2 x 5
  EXPECT_EQ(pumped, 3);
}

// Controls whose points box changes right after it has been read once, as when the
// teacher types between two reads of one scoring.
class TypingControls : public InMemoryControls {
 public:
  GbkText GetControlText(std::string_view name) override {
    GbkText text = InMemoryControls::GetControlText(name);
    if (name == controls::kPointsPerHit && ++points_reads_ == 1) {
      SetControlText(controls::kPointsPerHit, "7"_gbk);
    }
    return text;
  }

 private:
  int points_reads_ = 0;
};

TEST(ScoreQuestionTest, EveryReadSeesTheBoxAsItIsThen) {
  const ProgramState state = StateWithRules({Rule({"光合作用", "叶绿体", "氧气"})});
  TypingControls typing;
  BoxesReadAtUse boxes(typing);
  EXPECT_EQ(ScoreQuestion(state, boxes, 1, Gbk(kPhotosynthesis)), 2 + 7 + 7);
  // Nothing is carried over into the next call either.
  typing.SetControlText(controls::kPointsPerHit, "1"_gbk);
  EXPECT_EQ(ScoreQuestion(state, boxes, 1, Gbk(kPhotosynthesis)), 3);
}

TEST(ScoreQuestionTest, RulesOfLaterQuestionsAndTheirKeys) {
  const ProgramState state = StateWithRules({Rule({"甲"}), Rule({"乙", "丙"})});
  InMemoryControls c;
  c.SetControlText(controls::kOrderKeys, "1-1,2-1,2-2"_gbk);
  BoxesReadAtUse boxes(c);
  EXPECT_EQ(ScoreQuestion(state, boxes, 2, Gbk("乙丙")), 4);
  EXPECT_EQ(ScoreQuestion(state, boxes, 2, Gbk("丙乙")), 0);
  EXPECT_EQ(ScoreQuestion(state, boxes, 1, Gbk("乙丙")), 0);
}

TEST(ScoreAnswerTest, FixedBoxesScoreAsTheLiveReadsDo) {
  // The batch grader's fixed boxes and the window's reads at use give the same score.
  const ProgramState state = StateWithRules(
      {Rule({"光合作用|光合", "叶绿体", "氧气"}), Rule({"DNA", "基因|遗传"})});
  CompiledRules rules(state);
  const std::pair<std::string_view, std::string_view> boxes_cases[] = {
      {"2", ""}, {"3", "1-2,1-3"}, {"-1", "1-1,2-1,2-2"}, {"", "1-10"}, {"２", "2-1"}};
  const std::string_view answers[] = {kPhotosynthesis, "叶绿体中的色素。叶绿体产生氧气。",
                                      "DNA 和 dna 是遗传物质，基因", ""};
  for (const auto& [points, order] : boxes_cases) {
    InMemoryControls controls;
    controls.SetControlText(controls::kPointsPerHit, Gbk(points));
    controls.SetControlText(controls::kOrderKeys, Gbk(order));
    BoxesReadAtUse live(controls);
    FixedScoringBoxes fixed(Gbk(points), Gbk(order), rules);
    for (std::string_view answer : answers) {
      for (int q = 1; q <= 3; ++q) {
        ScoreLog log;
        EXPECT_EQ(ScoreAnswer(rules.Question(q), q, Gbk(answer), fixed, log).raw_score,
                  ScoreQuestion(state, live, q, Gbk(answer)))
            << points << " " << order << " " << answer << " q" << q;
      }
    }
  }
}

}  // namespace
}  // namespace vantry
