#include "analysis/rule_proposals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scoring/parameters.h"
#include "testing/rule_texts.h"
#include "testing/test_class.h"
#include "testing/test_support.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

using testing::Gbk;

// A one-question class: `count` papers of each answer with the teacher's mark and
// `unmarked` more without, graded with the points box 5 and the cap 10 under `rule`.
struct Group {
  std::string answer;  // UTF-8
  double mark;         // whole or half points
  int count;
  int unmarked = 0;
};

class MarkedClass {
 public:
  MarkedClass(std::string_view utf8_rule, const std::vector<Group>& groups)
      : state_(testing::StateWithRules({Gbk(utf8_rule)}, {"10"_gbk})),
        class_(state_, "5") {
    marks_.questions = {1};
    int n = 0;
    for (const Group& g : groups) {
      for (int i = 0; i < g.count; ++i) {
        const std::string name = "s" + std::to_string(n++);
        class_.Add(name, Gbk(g.answer));
        const std::optional<HalfPoints> mark =
            static_cast<HalfPoints>(g.mark * kHalfPointsPerPoint);
        marks_.AddRow(n + 1, GbkView(name), {&mark, 1});
      }
      for (int i = 0; i < g.unmarked; ++i)
        class_.Add("u" + std::to_string(n++), Gbk(g.answer));
    }
  }

  RuleProposals Propose(SearchSettings settings = {}) const {
    ProposalOptions options;
    options.points_text = "5"_gbk;
    options.settings = settings;
    return ProposeRules(class_.graded(), state_, marks_, state_.parameters_text(),
                        options);
  }
  const GradedClass& graded() const { return class_.graded(); }

  // The first question's edits in the rules' syntax, UTF-8: "+2:叶绿素" adds a wording
  // to group 2, "+:叶绿素" adds a group, "-2:叶绿体" drops a wording, "-2" a group.
  static std::vector<std::string> Edits(const RuleProposals& p) {
    std::vector<std::string> out;
    for (const ChosenEdit& c : p.questions.at(0).search.edits) {
      const std::string g = std::to_string(c.edit.group);
      const std::string w = GbkToUtf8(c.edit.wording);
      switch (c.edit.kind) {
        case RuleEdit::Kind::kAddWording:
          out.push_back("+" + g + ":" + w);
          break;
        case RuleEdit::Kind::kAddGroup:
          out.push_back("+:" + w);
          break;
        case RuleEdit::Kind::kDropWording:
          out.push_back("-" + g + ":" + w);
          break;
        case RuleEdit::Kind::kDropGroup:
          out.push_back("-" + g);
          break;
      }
    }
    return out;
  }

 private:
  ProgramState state_;
  testing::TestClass class_;
  TeacherMarks marks_;
};

TEST(RuleProposalsTest, AMissingWordingIsProposedAndTheProposedFileGradesAsMarked) {
  // The students say 叶绿素 in their own ways; the rules know only 叶绿体.
  const MarkedClass marked("<关键词>光合作用</关键词><关键词>叶绿体</关键词>",
                           {{"光合作用在叶绿体中进行。", 10, 8},
                            {"光合作用离不开叶绿素。", 10, 2},
                            {"叶绿素吸收光能，进行光合作用。", 9.5, 2},
                            {"光合作用要有叶绿素和光。", 10, 2},
                            {"光合作用：叶绿素把光能变成化学能", 10, 2},
                            {"光合作用产生氧气。", 5, 8},
                            {"不知道。", 0, 6}});
  const RuleProposals p = marked.Propose();
  EXPECT_EQ(MarkedClass::Edits(p), std::vector<std::string>{"+2:叶绿素"});
  const ChosenEdit& edit = p.questions[0].search.edits[0];
  EXPECT_EQ(edit.fixed.size(), 8u);
  EXPECT_TRUE(edit.broken.empty());
  EXPECT_GT(edit.resamples_chosen, SearchSettings().resamples / 2);
  // Kept for what it did on the papers the resamples left out: each leaves out about a
  // third of the papers, among them some of the eight that say 叶绿素, and where it was
  // chosen it fixed those and broke none.
  EXPECT_GT(edit.left_out_fixed, edit.resamples_chosen);
  EXPECT_EQ(edit.left_out_broken, 0);
  EXPECT_EQ(edit.low_with_wording, 0);

  // The proposed file grades every marked paper as she marked it (to the half point
  // the rules cannot give).
  ASSERT_TRUE(p.proposed_file);
  ProgramState proposed;
  proposed.SetParametersText(NormaliseParameters(*p.proposed_file));
  testing::TestClass regraded(proposed, "5");
  const std::vector<Group> groups = {{"光合作用在叶绿体中进行。", 10, 1},
                                     {"叶绿素吸收光能，进行光合作用。", 9.5, 1},
                                     {"光合作用产生氧气。", 5, 1},
                                     {"不知道。", 0, 1}};
  for (const Group& g : groups) regraded.Add("x", Gbk(g.answer));
  for (size_t i = 0; i < groups.size(); ++i)
    EXPECT_NEAR(regraded.graded().papers()[i].total, groups[i].mark, 0.5)
        << groups[i].answer;
  const auto& estimate = p.questions[0].search.estimate;
  EXPECT_GT(*estimate.after.weighted_kappa, *estimate.before.weighted_kappa);
}

TEST(RuleProposalsTest, NoWordingThatWouldBreakAMarkedPaperOrRidesAlongIsProposed) {
  // 光合作用 would fix five papers and take the sixth, marked 0, farther off.
  const MarkedClass breaking(
      "<关键词>叶绿体</关键词>",
      {{"光合作用", 10, 5}, {"光合作用？", 0, 1}, {"叶绿体", 5, 12}, {"不会", 0, 12}});
  EXPECT_TRUE(MarkedClass::Edits(breaking.Propose()).empty());

  // 结果相同 stands in good and poor answers alike: adding it would bring every paper
  // closer (0 → 5 against 10 and against 4), but it carries no content; 两个 is only
  // in good answers.
  const MarkedClass proxy(
      "<关键词>叶绿体</关键词>",
      {{"两个结果相同", 10, 12}, {"结果相同", 4, 8}, {"叶绿体", 10, 10}});
  const RuleProposals checked = proxy.Propose();
  ASSERT_FALSE(checked.questions[0].search.edits.empty());
  for (const ChosenEdit& e : checked.questions[0].search.edits) {
    EXPECT_EQ(e.low_papers, 8);
    EXPECT_EQ(e.low_with_wording, 0) << GbkToUtf8(e.edit.wording);
  }
  // Without the check the proxy wins, since it fixes more papers.
  SearchSettings unchecked;
  unchecked.proxy_ratio = 1e9;
  const RuleProposals fooled = proxy.Propose(unchecked);
  ASSERT_FALSE(fooled.questions[0].search.edits.empty());
  EXPECT_EQ(fooled.questions[0].search.edits[0].low_with_wording, 8);
}

TEST(RuleProposalsTest, AKeptWordingBringsItsOtherSpellings) {
  // Hash fixes four papers; hash, the same term as others type it, fixes two, too few
  // to be proposed on its own, and ｈａｓｈ is in no marked paper. The grader matches
  // bytes exactly, so without them the papers that spell it so would lose the point.
  const MarkedClass marked("<关键词>散列表</关键词><关键词>哈希函数</关键词>",
                           {{"散列表要用哈希函数。", 10, 8},
                            {"Hash散列表。", 10, 4},
                            {"hash散列表。", 10, 2, 1},
                            {"ｈａｓｈ散列表。", 10, 0, 3},
                            {"散列表。", 5, 8},
                            {"不会。", 0, 6}});
  const RuleProposals p = marked.Propose();
  EXPECT_EQ(MarkedClass::Edits(p),
            (std::vector<std::string>{"+2:Hash", "+2:hash", "+2:ｈａｓｈ"}));
  const auto& edits = p.questions[0].search.edits;
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[1].fixed.size(), 2u);
  EXPECT_EQ(edits[2].resamples_chosen, edits[0].resamples_chosen);
}

TEST(RuleProposalsTest, EachWordingReportsWhatItDidOnThePapersLeftOut) {
  // 数据结构 stands in every answer and 链表 in half of them, so the two count as
  // alike; both are added, 数据结构 first. Only 链表 takes a paper farther from her
  // mark (the one she marked 5 of those that say it: 5 → 10), so only 链表 may report
  // papers broken where the resamples left them out.
  const MarkedClass marked("<关键词>栈</关键词>", {{"栈和数据结构", 10, 6},
                                                   {"链表是一种数据结构", 10, 11},
                                                   {"数据结构很好", 5, 6},
                                                   {"链表是一种数据结构", 5, 1}});
  const RuleProposals p = marked.Propose();
  const auto& edits = p.questions[0].search.edits;
  ASSERT_EQ(edits.size(), 2u) << ::testing::PrintToString(MarkedClass::Edits(p));
  const ChosenEdit& common = edits[0];
  const ChosenEdit& linked = edits[1];
  EXPECT_EQ(GbkToUtf8(linked.edit.wording), "链表");
  EXPECT_TRUE(common.broken.empty());
  ASSERT_EQ(linked.broken.size(), 1u);
  EXPECT_GT(linked.resamples_chosen, 0);
  EXPECT_EQ(common.left_out_broken, 0);
  EXPECT_GT(linked.left_out_broken, 0);
}

TEST(RuleProposalsTest, TheEstimateComesFromPapersLeftOut) {
  // 叶绿素 is in exactly three good papers: learned from all marked papers, it fixes
  // them (without resamples, the minimum of three is enough); whenever one of the
  // three is left out, two remain and it is not learned, so the papers left out score
  // as before.
  const MarkedClass marked("<关键词>叶绿体</关键词><关键词>光合</关键词>",
                           {{"叶绿素", 10, 3}, {"叶绿体光合", 10, 12}, {"不会", 0, 15}});
  SearchSettings settings;
  settings.resamples = 0;
  const RuleProposals p = marked.Propose(settings);
  // Added to both groups, it would give those papers her 10.
  EXPECT_EQ(MarkedClass::Edits(p), (std::vector<std::string>{"+1:叶绿素", "+2:叶绿素"}));
  const QuestionSearch& s = p.questions[0].search;
  EXPECT_EQ(s.estimate.before.papers, 30);
  // 30 marked papers: cut into folds four times, so that 120 are held out in all.
  EXPECT_EQ(s.estimate.cuts, 4);
  EXPECT_EQ(s.estimate.after.papers, 120);
  EXPECT_DOUBLE_EQ(*s.estimate.after.exact_share, *s.estimate.before.exact_share);
  EXPECT_DOUBLE_EQ(*s.estimate.after.weighted_kappa, *s.estimate.before.weighted_kappa);
  // On the papers it learned from it looks better than it is: it brings three of
  // them closer. Expected to do nothing on new papers, it is not proposed.
  EXPECT_EQ(s.edits[0].fixed.size(), 3u);
  EXPECT_TRUE(s.withheld);
  EXPECT_EQ(s.rule_after, p.questions[0].rule_before);
  EXPECT_EQ(p.edit_count(), 0u);
}

}  // namespace
}  // namespace vantry
