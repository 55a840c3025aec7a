// The check's verdict: how far a teacher can trust the rules, judged on the totals.
//
// Kappa alone can be high while the rules give every paper less (it measures whether
// the two rank and spread the papers alike), so the verdict also weighs what a teacher
// feels: the mean difference of the totals and the papers that land in another level
// (优秀 / 及格 / 不及格 / 低分). Each figure gives a level; the verdict is the lowest:
//
//   level        weighted kappa   |mean difference| / full marks   level changes
//   高度一致     >= 0.80          < 3 %                              <= 5 % of papers
//   较为一致     >= 0.60          < 6 %                              <= 15 %
//   一般         >= 0.40          < 10 %                             <= 30 %
//   需要修改关键词  below            10 % or more                       more than 30 %
//
// Without full marks (a question without a cap) the mean difference is weighed
// against the highest total either gave, and level changes are not counted.
#ifndef VANTRY_ANALYSIS_AGREEMENT_VERDICT_H_
#define VANTRY_ANALYSIS_AGREEMENT_VERDICT_H_

#include <optional>

#include "analysis/marks_comparison.h"

namespace vantry {

enum class AgreementLevel {
  kClose,     // 高度一致
  kFair,      // 较为一致
  kModerate,  // 一般
  kPoor,      // 需要修改关键词
};

struct AgreementVerdict {
  // None when no totals could be compared or kappa is undefined with marks that differ.
  std::optional<AgreementLevel> level;
  // What held the level below the one kappa gives.
  bool mean_difference_large = false;
  bool level_changes_many = false;
  // The mean difference as a share of the scale it is weighed against (0..).
  std::optional<double> mean_difference_share;
};

AgreementVerdict JudgeAgreement(const MarksComparison& comparison);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_AGREEMENT_VERDICT_H_
