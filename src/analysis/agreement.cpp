#include "analysis/agreement.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace vantry {
namespace {

bool AllEqual(std::span<const HalfPoints> marks) {
  return std::adjacent_find(marks.begin(), marks.end(), std::not_equal_to<>()) ==
         marks.end();
}

}  // namespace

Agreement MeasureAgreement(std::span<const HalfPoints> rules,
                           std::span<const HalfPoints> teacher) {
  Agreement result;
  const size_t n = std::min(rules.size(), teacher.size());
  rules = rules.first(n);
  teacher = teacher.first(n);
  result.papers = static_cast<int64_t>(n);
  if (n == 0) return result;

  int64_t exact = 0, within_one = 0;
  long double sum_rules = 0, sum_teacher = 0;
  for (size_t i = 0; i < n; ++i) {
    const long double difference =
        static_cast<long double>(rules[i]) - static_cast<long double>(teacher[i]);
    exact += difference == 0;
    within_one += std::fabs(difference) <= kHalfPointsPerPoint;
    sum_rules += rules[i];
    sum_teacher += teacher[i];
  }
  const long double count = static_cast<long double>(n);
  const long double mean_rules = sum_rules / count, mean_teacher = sum_teacher / count;
  result.exact_share = static_cast<double>(exact / count);
  result.papers_within_one = within_one;
  result.within_one_share = static_cast<double>(within_one / count);
  result.mean_difference =
      static_cast<double>((mean_rules - mean_teacher) / kHalfPointsPerPoint);
  const auto [rules_low, rules_high] = std::minmax_element(rules.begin(), rules.end());
  const auto [teacher_low, teacher_high] =
      std::minmax_element(teacher.begin(), teacher.end());
  result.lowest = std::min(*rules_low, *teacher_low);
  result.highest = std::max(*rules_high, *teacher_high);

  // Second pass about the means, which keeps large totals exact enough.
  long double spread_rules = 0, spread_teacher = 0, co_spread = 0, squared_gaps = 0;
  for (size_t i = 0; i < n; ++i) {
    const long double a = rules[i] - mean_rules, b = teacher[i] - mean_teacher;
    spread_rules += a * a;
    spread_teacher += b * b;
    co_spread += a * b;
    const long double gap =
        static_cast<long double>(rules[i]) - static_cast<long double>(teacher[i]);
    squared_gaps += gap * gap;
  }
  const bool rules_constant = AllEqual(rules), teacher_constant = AllEqual(teacher);
  if (!rules_constant && !teacher_constant) {
    const long double r = co_spread / std::sqrt(spread_rules * spread_teacher);
    result.pearson_r = static_cast<double>(std::clamp<long double>(r, -1, 1));
  }
  // With weights (i − j)², the observed disagreement is the sum of squared gaps and
  // the disagreement expected by chance (every rules mark against every teacher mark,
  // over n) works out to the two spreads plus n times the squared gap of the means;
  // the weights' common scale cancels.
  if (!(rules_constant && teacher_constant && rules[0] == teacher[0])) {
    const long double gap_of_means = mean_rules - mean_teacher;
    const long double expected =
        spread_rules + spread_teacher + count * gap_of_means * gap_of_means;
    result.weighted_kappa = static_cast<double>(1 - squared_gaps / expected);
  }
  return result;
}

}  // namespace vantry
