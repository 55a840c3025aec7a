#include "analysis/half_points.h"

namespace vantry {

std::string HalfPointsText(HalfPoints half_points) {
  // The magnitude as unsigned, so the lowest int64 has one too.
  const bool negative = half_points < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(half_points)
                                      : static_cast<uint64_t>(half_points);
  std::string text = negative ? "-" : "";
  text += std::to_string(magnitude / kHalfPointsPerPoint);
  if (magnitude % kHalfPointsPerPoint != 0) text += ".5";
  return text;
}

}  // namespace vantry
