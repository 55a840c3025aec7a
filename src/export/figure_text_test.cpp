#include "export/figure_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vantry {
namespace {

TEST(FigureTextTest, UndefinedFiguresShowADash) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (std::optional<double> v : {std::optional<double>(), std::optional<double>(nan),
                                  std::optional<double>(INFINITY)}) {
    EXPECT_EQ(FixedText(v, 2), "—");
    EXPECT_EQ(PercentText(v), "—");
    EXPECT_EQ(SignedText(v, 2), "—");
  }
  EXPECT_EQ(FixedText(0.875, 2), "0.88");
  EXPECT_EQ(FixedText(-0.0001, 2), "0.00");
  EXPECT_EQ(PercentText(0.725), "72.5%");
  EXPECT_EQ(PercentText(1.0, 0), "100%");
  EXPECT_EQ(SignedText(0.5, 2), "+0.50");
  EXPECT_EQ(SignedText(-1.25, 2), "-1.25");
  EXPECT_EQ(SignedText(0.001, 2), "0.00");
}

TEST(FigureTextTest, DiscriminationInPlainWords) {
  EXPECT_EQ(DiscriminationReading(0.1), "区分度低：这道题没能区分学生");
  EXPECT_EQ(DiscriminationReading(0.45), "区分度高：这道题能很好地区分学生");
  EXPECT_TRUE(DiscriminationReading(-0.2).starts_with("区分度为负"));
  EXPECT_TRUE(DiscriminationReading(std::nullopt).starts_with("区分度无法计算"));
}

}  // namespace
}  // namespace vantry
