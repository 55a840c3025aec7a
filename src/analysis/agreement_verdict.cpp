#include "analysis/agreement_verdict.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vantry {
namespace {

// The level a figure allows: the first whose bound it meets.
AgreementLevel LevelOf(double value, const double (&bounds)[3], bool higher_is_better) {
  for (int i = 0; i < 3; ++i) {
    if (higher_is_better ? value >= bounds[i] : value < bounds[i])
      return static_cast<AgreementLevel>(i);
  }
  return AgreementLevel::kPoor;
}

}  // namespace

AgreementVerdict JudgeAgreement(const MarksComparison& comparison) {
  constexpr double kKappaBounds[3] = {0.80, 0.60, 0.40};
  constexpr double kMeanBounds[3] = {0.03, 0.06, 0.10};
  // At most 5 %, 15 % and 30 %: written as "below" with a hair added.
  constexpr double kLevelChangeBounds[3] = {0.05 + 1e-9, 0.15 + 1e-9, 0.30 + 1e-9};

  AgreementVerdict verdict;
  const Agreement& totals = comparison.totals;
  if (totals.papers == 0 || !totals.mean_difference) return verdict;
  AgreementLevel by_kappa;
  if (totals.weighted_kappa) {
    by_kappa = LevelOf(*totals.weighted_kappa, kKappaBounds, true);
  } else if (totals.exact_share && *totals.exact_share == 1) {
    by_kappa = AgreementLevel::kClose;  // every paper alike and equal
  } else {
    return verdict;
  }

  double scale = 0;
  if (comparison.full_marks) {
    scale = static_cast<double>(*comparison.full_marks);
  } else if (totals.lowest && totals.highest) {
    scale =
        std::max(std::abs(ToPoints(*totals.highest)), std::abs(ToPoints(*totals.lowest)));
  }
  AgreementLevel by_mean = AgreementLevel::kClose;
  if (scale > 0) {
    verdict.mean_difference_share = std::abs(*totals.mean_difference) / scale;
    by_mean = LevelOf(*verdict.mean_difference_share, kMeanBounds, false);
  } else if (*totals.mean_difference != 0) {
    by_mean = AgreementLevel::kPoor;  // everything the teacher gave is 0
  }
  AgreementLevel by_levels = AgreementLevel::kClose;
  if (comparison.level_changes) {
    const double share = static_cast<double>(*comparison.level_changes) /
                         static_cast<double>(totals.papers);
    by_levels = LevelOf(share, kLevelChangeBounds, false);
  }
  verdict.level = std::max({by_kappa, by_mean, by_levels});
  verdict.mean_difference_large = by_mean > by_kappa;
  verdict.level_changes_many = by_levels > by_kappa;
  return verdict;
}

}  // namespace vantry
