// Marks held in half points. A teacher marks in whole or half points (6.5), the rules
// in whole points; both are held as whole numbers of half points (6.5 is 13), so every
// sum, difference and comparison is exact.
#ifndef VANTRY_ANALYSIS_HALF_POINTS_H_
#define VANTRY_ANALYSIS_HALF_POINTS_H_

#include <cstdint>
#include <string>

namespace vantry {

using HalfPoints = int64_t;

inline constexpr HalfPoints kHalfPointsPerPoint = 2;

// `points` whole points in half points.
constexpr HalfPoints ToHalfPoints(int64_t points) { return points * kHalfPointsPerPoint; }

// The points `half_points` stand for, for means and other figures.
constexpr double ToPoints(HalfPoints half_points) {
  return static_cast<double>(half_points) / kHalfPointsPerPoint;
}

// The points as a reader writes them: "7", "6.5", "-0.5".
std::string HalfPointsText(HalfPoints half_points);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_HALF_POINTS_H_
