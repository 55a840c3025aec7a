#include "analysis/half_points.h"

#include <gtest/gtest.h>

#include <limits>

namespace vantry {
namespace {

TEST(HalfPointsTest, TextAsAReaderWritesPoints) {
  const struct {
    HalfPoints half_points;
    const char* text;
  } cases[] = {
      {0, "0"},
      {13, "6.5"},
      {14, "7"},
      {-1, "-0.5"},
      {-14, "-7"},
      {ToHalfPoints(2147483647) + 1, "2147483647.5"},
      {std::numeric_limits<HalfPoints>::min(), "-4611686018427387904"},
  };
  for (const auto& c : cases) EXPECT_EQ(HalfPointsText(c.half_points), c.text);
  EXPECT_DOUBLE_EQ(ToPoints(13), 6.5);
}

}  // namespace
}  // namespace vantry
