#include "export/svg_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "export/html_text.h"

namespace vantry {
namespace {

// Layout, in the drawing's own units (about pixels at full size).
constexpr double kLeft = 64;  // room for the tick numbers and the axis title
constexpr double kRight = 16;
constexpr double kTop = 28;  // room for the values above the tallest bar
constexpr double kPlotHeight = 180;
constexpr double kBottom = 64;  // labels under the bars and the axis title
constexpr double kMinSlot = 30, kMaxSlot = 80, kPreferredWidth = 600;
// The smallest text a reader is given, in CSS pixels.
constexpr double kSmallestText = 10;

void AppendNumber(double value, std::string& out) {
  char text[32];
  const double rounded = std::round(value * 10) / 10;
  if (rounded == std::floor(rounded)) {
    std::snprintf(text, sizeof text, "%.0f", rounded);
  } else {
    std::snprintf(text, sizeof text, "%.1f", rounded);
  }
  out += text;
}

// A round step (1, 2 or 5 times a power of ten) giving at most five steps up to `top`.
double TickStep(double top) {
  const double rough = top / 5;
  const double power = std::pow(10, std::floor(std::log10(rough)));
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (factor * power >= rough) return factor * power;
  }
  return 10 * power;
}

// Appends a <text> element at (x, y) with the given class and anchor.
void AppendText(double x, double y, const char* cls, const char* anchor,
                std::string_view text, std::string& out) {
  out += "<text class=\"";
  out += cls;
  out += "\" x=\"";
  AppendNumber(x, out);
  out += "\" y=\"";
  AppendNumber(y, out);
  out += "\" text-anchor=\"";
  out += anchor;
  out += "\">";
  AppendHtml(text, out);
  out += "</text>";
}

// Appends a <line> from (x1, y1) to (x2, y2) with the given class.
void AppendLine(const char* cls, double x1, double y1, double x2, double y2,
                std::string& out) {
  out += "<line class=\"";
  out += cls;
  out += "\" x1=\"";
  AppendNumber(x1, out);
  out += "\" x2=\"";
  AppendNumber(x2, out);
  out += "\" y1=\"";
  AppendNumber(y1, out);
  out += "\" y2=\"";
  AppendNumber(y2, out);
  out += "\"/>";
}

}  // namespace

void AppendBarChart(const BarChart& chart, std::string& out) {
  const size_t n = chart.bars.size();
  const double slot =
      n == 0 ? kMaxSlot
             : std::clamp(kPreferredWidth / static_cast<double>(n), kMinSlot, kMaxSlot);
  const double plot_width = slot * static_cast<double>(std::max<size_t>(n, 1));
  const double width = kLeft + plot_width + kRight;
  const double height = kTop + kPlotHeight + kBottom;
  const double base = kTop + kPlotHeight;

  double tallest = 0;
  for (const ChartBar& bar : chart.bars) tallest = std::max(tallest, bar.value);
  double step = 0, top = chart.axis_max;
  if (top > 0) {
    step = TickStep(top);
  } else {
    step = TickStep(std::max(tallest, 1.0));
    // Ticks are whole numbers for counts; the axis ends on a tick.
    step = std::max(step, 1.0);
    top = std::ceil(std::max(tallest, 1.0) / step) * step;
  }
  const auto y_of = [&](double value) {
    return base - std::clamp(value, 0.0, top) / top * kPlotHeight;
  };

  // Its smallest text is 12 units high: drawn no narrower than 10/12 of its size, every
  // text stays at least 10 px high; a narrower screen scrolls the chart in its box.
  out +=
      "<div class=\"chart-box\"><svg class=\"chart\" "
      "xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ";
  AppendNumber(width, out);
  out += ' ';
  AppendNumber(height, out);
  out += "\" style=\"max-width:";
  AppendNumber(width, out);
  out += "px;--min-width:";
  AppendNumber(std::ceil(width * kSmallestText / 12), out);
  out += "px\" role=\"img\" aria-label=\"";
  AppendHtml(chart.title, out);
  out += "\"><title>";
  AppendHtml(chart.title, out);
  out += "</title>";

  // Grid lines and tick numbers.
  for (int k = 0; k * step <= top + step * 1e-9; ++k) {
    const double value = k * step;
    const double y = y_of(value);
    AppendLine("grid", kLeft, y, kLeft + plot_width, y, out);
    std::string tick;
    AppendNumber(value, tick);
    tick += chart.tick_suffix;
    AppendText(kLeft - 6, y + 4, "tick", "end", tick, out);
  }

  // The bars, their values and labels.
  for (size_t i = 0; i < n; ++i) {
    const ChartBar& bar = chart.bars[i];
    const double x = kLeft + slot * static_cast<double>(i);
    const double bar_width = slot * 0.7;
    const double y = y_of(bar.value);
    out += "<g class=\"bar\"><title>";
    AppendHtml(bar.tooltip.empty() ? bar.label + " " + bar.value_label : bar.tooltip,
               out);
    out += "</title><rect x=\"";
    AppendNumber(x + (slot - bar_width) / 2, out);
    out += "\" y=\"";
    AppendNumber(y, out);
    out += "\" width=\"";
    AppendNumber(bar_width, out);
    out += "\" height=\"";
    AppendNumber(base - y, out);
    out += "\"/>";
    AppendText(x + slot / 2, y - 5, "value", "middle", bar.value_label, out);
    AppendText(x + slot / 2, base + 16, "label", "middle", bar.label, out);
    out += "</g>";
  }

  // The axes and their titles.
  AppendLine("axis", kLeft, base, kLeft + plot_width, base, out);
  AppendLine("axis", kLeft, kTop, kLeft, base, out);
  AppendText(kLeft + plot_width / 2, height - 12, "axis-title", "middle",
             chart.category_axis, out);
  out += "<text class=\"axis-title\" text-anchor=\"middle\" transform=\"translate(16 ";
  AppendNumber(kTop + kPlotHeight / 2, out);
  out += ") rotate(-90)\">";
  AppendHtml(chart.value_axis, out);
  out += "</text></svg></div>";
}

}  // namespace vantry
