// How closely two markings of the same papers agree: the rules' and the teacher's.
#ifndef VANTRY_ANALYSIS_AGREEMENT_H_
#define VANTRY_ANALYSIS_AGREEMENT_H_

#include <cstdint>
#include <optional>
#include <span>

namespace vantry {

// Each figure is empty where it is undefined: every figure without papers, Pearson's
// r when either marking is the same for every paper (or there is one paper), kappa
// when both markings give every paper one and the same mark.
struct Agreement {
  int64_t papers = 0;
  // Shares of the papers (0..1) with equal marks, and with marks at most 1 apart.
  std::optional<double> exact_share;
  std::optional<double> within_one_share;
  // The mean of (rules − teacher): positive when the rules give more.
  std::optional<double> mean_difference;
  std::optional<double> pearson_r;
  // Cohen's kappa with quadratic weights over the whole-number marks, the categories
  // being every whole number from the lowest mark given to the highest.
  std::optional<double> weighted_kappa;
};

// The agreement of `rules[i]` with `teacher[i]` over all i; the spans are equally long.
Agreement MeasureAgreement(std::span<const int64_t> rules,
                           std::span<const int64_t> teacher);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_AGREEMENT_H_
