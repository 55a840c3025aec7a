#include "analysis/agreement_verdict.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantry {
namespace {

// Twenty teacher totals from 10 to 48 points, in half points.
std::vector<HalfPoints> TeacherTotals() {
  std::vector<HalfPoints> totals;
  for (int points = 10; points < 50; points += 2) totals.push_back(ToHalfPoints(points));
  return totals;
}

// The rules' totals: the teacher's shifted by `shift` half points.
std::vector<HalfPoints> Shifted(const std::vector<HalfPoints>& totals, HalfPoints shift) {
  std::vector<HalfPoints> shifted;
  for (HalfPoints t : totals) shifted.push_back(t + shift);
  return shifted;
}

TEST(AgreementVerdictTest, KappaAloneNeverSaysCloseWhenTheRulesGiveLess) {
  const std::vector<HalfPoints> teacher = TeacherTotals();
  const struct {
    const char* what;
    HalfPoints shift;
    std::optional<int64_t> level_changes;
    std::optional<AgreementLevel> level;
    bool mean_large, levels_many;
  } cases[] = {
      // 3.5 points less on a 50-point exam (7 %): kappa is 0.95, the verdict 一般.
      {"3.5 less", -7, 1, AgreementLevel::kModerate, true, false},
      {"3.5 less, 6 of 20 in another level", -7, 6, AgreementLevel::kModerate, true,
       true},
      {"half a point more", 1, 1, AgreementLevel::kClose, false, false},
      {"half a point more, 3 of 20 in another level", 1, 3, AgreementLevel::kFair, false,
       true},
      {"5 points less (10 %)", -10, 0, AgreementLevel::kPoor, true, false},
      {"no full marks: weighed against the highest total", -7, std::nullopt,
       AgreementLevel::kModerate, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MarksComparison comparison;
    comparison.totals = MeasureAgreement(Shifted(teacher, c.shift), teacher);
    ASSERT_GT(*comparison.totals.weighted_kappa, 0.9);
    comparison.level_changes = c.level_changes;
    if (c.level_changes) comparison.full_marks = 50;
    const AgreementVerdict verdict = JudgeAgreement(comparison);
    EXPECT_EQ(verdict.level, c.level);
    EXPECT_EQ(verdict.mean_difference_large, c.mean_large);
    EXPECT_EQ(verdict.level_changes_many, c.levels_many);
  }
}

TEST(AgreementVerdictTest, KappaDecidesWhenTheTotalsAgreeOnAverage) {
  MarksComparison comparison;
  // Same mean, opposite order: kappa below 0.
  comparison.totals = MeasureAgreement(std::vector<HalfPoints>{0, 20, 40},
                                       std::vector<HalfPoints>{40, 20, 0});
  comparison.full_marks = 20;
  comparison.level_changes = 0;
  EXPECT_EQ(JudgeAgreement(comparison).level, AgreementLevel::kPoor);
  EXPECT_FALSE(JudgeAgreement(comparison).mean_difference_large);

  // Every total alike and equal: kappa is undefined, the agreement complete.
  comparison.totals =
      MeasureAgreement(std::vector<HalfPoints>{8, 8}, std::vector<HalfPoints>{8, 8});
  EXPECT_EQ(JudgeAgreement(comparison).level, AgreementLevel::kClose);
  // Nothing compared: no verdict.
  comparison.totals = MeasureAgreement({}, {});
  EXPECT_FALSE(JudgeAgreement(comparison).level);
}

}  // namespace
}  // namespace vantry
