#include "analysis/agreement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "testing/test_support.h"

namespace vantry {
namespace {

// Marks in half points: 2 points are 4.
using Marks = std::vector<HalfPoints>;

TEST(AgreementTest, SmallSetsWorkedByHand) {
  // Rules 2,4,6 points against teacher 2,3,8: gaps 0,1,-2.
  const Agreement a = MeasureAgreement(Marks{4, 8, 12}, Marks{4, 6, 16});
  EXPECT_EQ(a.papers, 3);
  EXPECT_DOUBLE_EQ(*a.exact_share, 1.0 / 3);
  EXPECT_DOUBLE_EQ(*a.within_one_share, 2.0 / 3);
  EXPECT_DOUBLE_EQ(*a.mean_difference, -1.0 / 3);
  // Spreads 8 and 62/3, co-spread 12, squared gaps 5, means 4 and 13/3.
  EXPECT_NEAR(*a.pearson_r, 12 / std::sqrt(8 * 62.0 / 3), 1e-12);
  EXPECT_NEAR(*a.weighted_kappa, 1 - 5 / (8 + 62.0 / 3 + 3 * (1.0 / 9)), 1e-12);
  EXPECT_EQ(a.lowest, 4);
  EXPECT_EQ(a.highest, 16);

  // Rules 6 and 7 against the teacher's 6.5 and 8.5: 0.5 apart is within 1 point,
  // 1.5 apart is not.
  const Agreement half = MeasureAgreement(Marks{12, 14}, Marks{13, 17});
  EXPECT_DOUBLE_EQ(*half.exact_share, 0);
  EXPECT_DOUBLE_EQ(*half.within_one_share, 0.5);
  EXPECT_DOUBLE_EQ(*half.mean_difference, -1);
  EXPECT_EQ(half.lowest, 12);

  const Agreement same = MeasureAgreement(Marks{0, 5, 10}, Marks{0, 5, 10});
  EXPECT_DOUBLE_EQ(*same.pearson_r, 1);
  EXPECT_DOUBLE_EQ(*same.weighted_kappa, 1);
}

TEST(AgreementTest, UndefinedFiguresAreEmptyNeverNaN) {
  const Agreement none = MeasureAgreement(Marks{}, Marks{});
  EXPECT_EQ(none.papers, 0);
  EXPECT_FALSE(none.exact_share || none.within_one_share || none.mean_difference ||
               none.pearson_r || none.weighted_kappa);

  const Agreement one = MeasureAgreement(Marks{6}, Marks{8});
  EXPECT_DOUBLE_EQ(*one.within_one_share, 1);
  EXPECT_FALSE(one.pearson_r);
  EXPECT_DOUBLE_EQ(*one.weighted_kappa, 0);  // as scikit-learn gives it

  // Both constant and equal: kappa is 0/0.
  const Agreement flat = MeasureAgreement(Marks{6, 6, 6}, Marks{6, 6, 6});
  EXPECT_DOUBLE_EQ(*flat.exact_share, 1);
  EXPECT_FALSE(flat.pearson_r);
  EXPECT_FALSE(flat.weighted_kappa);

  // Huge totals far from zero keep exact figures.
  const int64_t base = int64_t{1} << 40;
  const Agreement far = MeasureAgreement(Marks{base, base + 4, base + 8},
                                         Marks{base + 2, base + 6, base + 10});
  EXPECT_DOUBLE_EQ(*far.mean_difference, -1);
  EXPECT_NEAR(*far.pearson_r, 1, 1e-12);
}

// Random mark sets in half points, measured here and by scikit-learn and numpy.
TEST(AgreementTest, MatchesScikitLearnAndNumpyOnRandomMarks) {
#ifdef _WIN32
  GTEST_SKIP() << "the reference runs in the host's Python; the Linux build checks it";
#else
  std::mt19937 random(11);
  std::vector<std::pair<Marks, Marks>> sets;
  for (int s = 0; s < 300; ++s) {
    const int n = 1 + static_cast<int>(random() % 60);
    const int top = 1 + static_cast<int>(random() % 20);
    const int kind = s % 6;
    Marks rules, teacher;
    for (int i = 0; i < n; ++i) {
      const int64_t t = static_cast<int64_t>(random() % (top + 1));
      // Close to the teacher's mark, with a bias, or unrelated; some columns constant.
      int64_t r = t + static_cast<int64_t>(random() % 5) - 2 + (kind == 1 ? 2 : 0);
      if (kind == 2) r = static_cast<int64_t>(random() % (top + 1)) - 3;
      teacher.push_back(kind == 3 ? 7 : t);
      rules.push_back(kind == 4 ? 5 : kind == 5 ? teacher.back() : r);
    }
    if (s % 30 == 0) rules = teacher = Marks(static_cast<size_t>(n), 4);
    sets.emplace_back(rules, teacher);
  }

  const testing::TempDir dir;
  const auto input = dir.path() / "sets.txt";
  {
    std::ofstream out(input);
    for (const auto& [rules, teacher] : sets) {
      for (int64_t v : rules) out << v << ' ';
      out << ';';
      for (int64_t v : teacher) out << ' ' << v;
      out << '\n';
    }
  }
  const testing::CommandResult reference = testing::RunShellCommand(
      "/usr/bin/python3 " + testing::ShellQuote(VANTRY_AGREEMENT_REFERENCE) + " " +
      testing::ShellQuote(input.string()));
  if (reference.exit_code == 77 || reference.exit_code == 127) {
    GTEST_SKIP() << "scikit-learn missing for /usr/bin/python3 (install python3-sklearn)";
  }
  ASSERT_EQ(reference.exit_code, 0) << reference.err;

  std::istringstream lines(reference.out);
  int undefined_r = 0, undefined_kappa = 0;
  for (const auto& [rules, teacher] : sets) {
    double expected[5];
    for (double& e : expected) {
      std::string word;
      ASSERT_TRUE(lines >> word);
      e = std::stod(word);
    }
    const Agreement a = MeasureAgreement(rules, teacher);
    const std::optional<double> got[5] = {a.exact_share, a.within_one_share,
                                          a.mean_difference, a.pearson_r,
                                          a.weighted_kappa};
    for (int k = 0; k < 5; ++k) {
      SCOPED_TRACE("set of " + std::to_string(rules.size()) + ", figure " +
                   std::to_string(k));
      if (std::isnan(expected[k])) {
        EXPECT_FALSE(got[k]);
      } else {
        ASSERT_TRUE(got[k]);
        EXPECT_NEAR(*got[k], expected[k], 1e-9);
      }
    }
    undefined_r += std::isnan(expected[3]);
    undefined_kappa += std::isnan(expected[4]);
  }
  // The sets did reach the undefined cases.
  EXPECT_GT(undefined_r, 50);
  EXPECT_GT(undefined_kappa, 5);
#endif
}

}  // namespace
}  // namespace vantry
