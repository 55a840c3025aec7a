// How closely two markings of the same papers agree: the rules' and the teacher's.
#ifndef VANTRY_ANALYSIS_AGREEMENT_H_
#define VANTRY_ANALYSIS_AGREEMENT_H_

#include <cstdint>
#include <optional>
#include <span>

#include "analysis/half_points.h"

namespace vantry {

// Each figure is empty where it is undefined: every figure without papers, Pearson's
// r when either marking is the same for every paper (or there is one paper), kappa
// when both markings give every paper one and the same mark.
struct Agreement {
  int64_t papers = 0;
  // Papers whose marks are at most 1 point apart.
  int64_t papers_within_one = 0;
  // Shares of the papers (0..1) with equal marks, and with marks at most 1 point apart.
  std::optional<double> exact_share;
  std::optional<double> within_one_share;
  // The mean of (rules − teacher) in points: positive when the rules give more.
  std::optional<double> mean_difference;
  std::optional<double> pearson_r;
  // Cohen's kappa with quadratic weights, the categories being every half point from
  // the lowest mark either marking gave to the highest. (With whole marks only it is
  // the kappa over whole points: quadratic weights do not depend on the step.)
  std::optional<double> weighted_kappa;
  // The lowest and the highest mark of either marking: the range kappa counts over.
  std::optional<HalfPoints> lowest;
  std::optional<HalfPoints> highest;
};

// The agreement of `rules[i]` with `teacher[i]` over all i, both in half points; the
// spans are equally long.
Agreement MeasureAgreement(std::span<const HalfPoints> rules,
                           std::span<const HalfPoints> teacher);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_AGREEMENT_H_
