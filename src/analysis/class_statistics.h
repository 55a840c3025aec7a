// Statistics of a graded class: ranks, the class summary, every question and scoring
// point, and the distribution of totals, computed in one place for every output.
//
// Counting rules, the same for every statistic:
// - Every statistic is over all papers of the class, in sheet order. A paper that lacks
//   a question (its answer has fewer pieces than the longest answer, as when the last
//   answers were left empty, or it has no answer field at all) counts as scoring 0 on
//   it, as an empty answer does; `papers_answered` says how many papers answered it
//   with content (answer_content.h: not empty, not only white space), wherever the
//   question stands in the paper.
// - Scores are the shown scores (lowered to the cap), as the report holds them.
// - Standard deviations are those of the class itself (divided by N, not N - 1).
// - A statistic that cannot be computed is absent (std::nullopt), never NaN: means and
//   rates of an empty class, rates against a cap or full marks that are not positive,
//   full marks when a question has no maximum.
#ifndef VANTRY_ANALYSIS_CLASS_STATISTICS_H_
#define VANTRY_ANALYSIS_CLASS_STATISTICS_H_

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "grading/graded_class.h"
#include "scoring/program_state.h"
#include "text/gbk_text.h"

namespace vantry {

// The share of the class in each of the top and bottom groups of the discrimination
// index.
inline constexpr double kDiscriminationShare = 0.27;
// Levels of the total against the full marks, in percent: 优秀 at or above
// kExcellentPercent, 及格 at or above kPassPercent, 低分 below kLowPercent.
inline constexpr int kExcellentPercent = 85;
inline constexpr int kPassPercent = 60;
inline constexpr int kLowPercent = 40;
// The distribution of totals has this many bands, each a tenth of the full marks.
inline constexpr int kScoreBandCount = 10;

// Location and spread of a set of scores.
struct ScoreSummary {
  int64_t count = 0;
  // All absent when count is 0.
  std::optional<double> mean;
  std::optional<int32_t> highest;
  std::optional<int32_t> lowest;
  std::optional<double> standard_deviation;
};

// One keyword group (scoring point) of one question across the class.
struct GroupStatistics {
  int group = 0;  // 1-based, in the order of the rule's "<关键词>" blocks
  // The group's text as the rule writes it (GBK), alternatives separated by "|".
  GbkText text;
  // Papers in which one of its alternatives occurred, and their share of the class.
  int64_t papers_hit = 0;
  std::optional<double> hit_rate;
  // The alternative found in the most papers (1-based; the earlier one on a tie), its
  // text (GBK) and its papers; 0, empty and 0 when the group was never hit.
  int top_alternative = 0;
  GbkText top_alternative_text;
  int64_t top_alternative_hits = 0;
  // Papers in which the group was scored by its order (its key stood in the order
  // box), and of those the papers whose question's order chain earned the bonus, with
  // their share of the former (absent when it was never scored by order).
  int64_t papers_ordered = 0;
  int64_t papers_ordered_with_bonus = 0;
  std::optional<double> bonus_rate;
};

// One question across the class.
struct QuestionStatistics {
  int question = 0;  // 1-based
  // False for a question beyond the rule list (it scores 0 on every paper).
  bool has_rule = false;
  // Its full marks: the cap (the "<分值>" maximum); absent beyond the list of maxima.
  std::optional<int32_t> cap;
  // Papers whose answer to this question has content: 作答人数.
  int64_t papers_answered = 0;
  // Shown scores over all papers, a missing piece as 0.
  ScoreSummary scores;
  // 得分率: the mean divided by the cap; absent without papers or without a positive cap.
  std::optional<double> score_rate;
  // Papers at the cap; absent without a positive cap.
  std::optional<int64_t> full_count;
  int64_t zero_count = 0;
  // 区分度: the mean score of the top 27 % of the class by total minus that of the
  // bottom 27 %, divided by the cap. The groups hold exactly 0.27 x N papers, counted
  // fractionally: papers tied on the total at a group's edge share the places left
  // equally, so the result does not depend on the sheet's order, and a small class is
  // not rounded to whole papers (2 papers give groups of 0.54 paper each). Absent with
  // fewer than 2 papers or without a positive cap. Between -1 and 1 when no score lies
  // outside 0..cap.
  std::optional<double> discrimination;
  // Papers whose order chain earned the bonus.
  int64_t papers_with_bonus = 0;
  // Every keyword group of its rule, in order.
  std::vector<GroupStatistics> groups;
};

// Why the full marks of the exam are known or not.
enum class FullMarksStatus {
  kKnown,
  kNoQuestions,         // no paper has any question
  kQuestionWithoutCap,  // a question has no maximum in the parameters file
  kNotPositive,         // the maxima add up to 0 or less
};

// Totals from lower to upper: [lower, upper), the last band [lower, upper] so that full
// marks count in it. Bounds in points (full marks x percent / 100).
struct ScoreBand {
  int lower_percent = 0;
  int upper_percent = 0;
  double lower = 0;
  double upper = 0;
  int64_t count = 0;
  std::optional<double> rate;  // of the class; absent for an empty class
  // The lowest band when it counts totals below 0 too: it has no lower bound then.
  bool below_zero = false;
};

struct LevelCount {
  int64_t count = 0;
  std::optional<double> rate;  // of the class; absent for an empty class
};

// The totals against the full marks (the sum of the caps).
struct ScoreDistribution {
  FullMarksStatus status = FullMarksStatus::kNoQuestions;
  // The sum of the caps, when status is kKnown.
  std::optional<int64_t> full_marks;
  // The first question without a maximum, for kQuestionWithoutCap; 0 otherwise.
  int question_without_cap = 0;
  // kScoreBandCount bands, lowest first, when the full marks are known; empty
  // otherwise. A total below 0 (a negative points box) counts in the lowest band.
  std::vector<ScoreBand> bands;
  // 优秀, 及格 and 低分; absent when the full marks are not known.
  std::optional<LevelCount> excellent;
  std::optional<LevelCount> pass;
  std::optional<LevelCount> low;
};

struct ClassStatistics {
  int64_t paper_count = 0;
  // Each paper's rank by total, in sheet order: 1 for the highest; tied papers share
  // the best rank of their tie and the next rank skips (1, 2, 2, 4).
  std::vector<int64_t> ranks;
  // The totals of the class.
  ScoreSummary totals;
  // Questions 1..the most questions any paper has.
  std::vector<QuestionStatistics> questions;
  ScoreDistribution distribution;
};

// Computes every statistic of `graded`. `state` holds the rules the class was graded
// with; the groups' and alternatives' texts are taken from it. Finding the groups in
// the rules runs the message pump once per block, as every tagged-field scan does.
ClassStatistics ComputeClassStatistics(const GradedClass& graded,
                                       const ProgramState& state);

// A paper's shown score for question `q` (1-based); 0 for a question it lacks, as
// every statistic counts it.
int32_t ShownScore(const GradedClass& graded, const GradedClass::Paper& paper, int q);

// Competition ranks of `totals` (1, 2, 2, 4), in the same order.
std::vector<int64_t> CompetitionRanks(std::span<const int32_t> totals);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_CLASS_STATISTICS_H_
