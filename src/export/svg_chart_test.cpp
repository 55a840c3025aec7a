#include "export/svg_chart.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace vantry {
namespace {

// The height attributes of the chart's bars, in order.
std::vector<double> BarHeights(const std::string& svg) {
  std::vector<double> heights;
  const std::regex rect(R"re(<rect [^>]*height="([0-9.]+)")re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), rect);
       it != std::sregex_iterator(); ++it) {
    heights.push_back(std::stod((*it)[1]));
  }
  return heights;
}

// The texts of the tick numbers, lowest first.
std::vector<std::string> Ticks(const std::string& svg) {
  std::vector<std::string> ticks;
  const std::regex tick(R"re(<text class="tick"[^>]*>([^<]*)</text>)re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), tick);
       it != std::sregex_iterator(); ++it) {
    ticks.push_back((*it)[1]);
  }
  return ticks;
}

TEST(BarChartTest, BarsStandInProportionOnARoundAxis) {
  BarChart chart;
  chart.title = "人数";
  for (int count : {7, 0, 3, 14}) {
    chart.bars.push_back({.label = "段",
                          .value = static_cast<double>(count),
                          .value_label = std::to_string(count),
                          .tooltip = ""});
  }
  std::string svg;
  AppendBarChart(chart, svg);
  // The axis rises to 15 in steps of 5; the plot is 180 high.
  EXPECT_EQ(Ticks(svg), (std::vector<std::string>{"0", "5", "10", "15"}));
  const std::vector<double> heights = BarHeights(svg);
  ASSERT_EQ(heights.size(), 4u);
  EXPECT_NEAR(heights[0], 180.0 * 7 / 15, 0.1);
  EXPECT_EQ(heights[1], 0);
  EXPECT_NEAR(heights[3], 180.0 * 14 / 15, 0.1);
  EXPECT_NE(svg.find(">14</text>"), std::string::npos);

  // A fixed axis (percentages) with a suffix; values beyond it are held at its top.
  chart.axis_max = 100;
  chart.tick_suffix = "%";
  chart.bars = {{.label = "第1题", .value = 50, .value_label = "50%", .tooltip = ""},
                {.label = "第2题", .value = 130, .value_label = "130%", .tooltip = ""},
                {.label = "第3题", .value = -5, .value_label = "-5%", .tooltip = ""}};
  svg.clear();
  AppendBarChart(chart, svg);
  EXPECT_EQ(Ticks(svg),
            (std::vector<std::string>{"0%", "20%", "40%", "60%", "80%", "100%"}));
  EXPECT_EQ(BarHeights(svg), (std::vector<double>{90, 180, 0}));
}

TEST(BarChartTest, TextsAreEscapedAndAnEmptyChartIsStillDrawn) {
  BarChart chart;
  chart.title = "<script>";
  chart.value_axis = "a&b";
  chart.bars = {{.label = "<b>", .value = 1, .value_label = "\"1\"", .tooltip = "'x'"}};
  std::string svg;
  AppendBarChart(chart, svg);
  EXPECT_EQ(svg.find("<script>"), std::string::npos);
  EXPECT_EQ(svg.find("<b>"), std::string::npos);
  EXPECT_NE(svg.find("&lt;b&gt;"), std::string::npos);
  EXPECT_NE(svg.find("a&amp;b"), std::string::npos);

  chart.bars.clear();
  svg.clear();
  AppendBarChart(chart, svg);
  // In a box of its own, which scrolls on a narrow screen rather than shrink the texts.
  EXPECT_TRUE(svg.starts_with("<div class=\"chart-box\"><svg") &&
              svg.ends_with("</svg></div>"));
  EXPECT_NE(svg.find(";--min-width:134px\""), std::string::npos) << svg;
  EXPECT_TRUE(BarHeights(svg).empty());
}

}  // namespace
}  // namespace vantry
