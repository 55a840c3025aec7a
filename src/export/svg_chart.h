// Bar charts drawn as inline SVG for the analysis page: no script, no external file.
#ifndef VANTRY_EXPORT_SVG_CHART_H_
#define VANTRY_EXPORT_SVG_CHART_H_

#include <string>
#include <vector>

namespace vantry {

// Texts are plain UTF-8; the chart escapes them.
struct ChartBar {
  std::string label;        // under the bar
  double value = 0;         // in the units of the value axis; below 0 draws as 0
  std::string value_label;  // above the bar
  std::string tooltip;      // shown when the pointer rests on the bar
};

struct BarChart {
  // The chart's accessible name.
  std::string title;
  // Titles of the vertical (value) axis and of the row of labels.
  std::string value_axis;
  std::string category_axis;
  // The top of the value axis; 0: a round number at or above the tallest bar.
  double axis_max = 0;
  // Written after each tick's number, e.g. "%".
  std::string tick_suffix;
  std::vector<ChartBar> bars;
};

// Appends `chart` as an <svg> element: the value axis with its ticks and grid lines,
// the bars with their values above and labels below, and both axis titles. The drawing
// scales to the width of the page.
void AppendBarChart(const BarChart& chart, std::string& out);

}  // namespace vantry

#endif  // VANTRY_EXPORT_SVG_CHART_H_
