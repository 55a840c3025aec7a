#include "export/figure_text.h"

#include <cmath>
#include <cstdio>

namespace vantry {

std::string FixedText(std::optional<double> value, int decimals) {
  if (!value || !std::isfinite(*value)) return std::string(kNoFigure);
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, *value);
  // No "-0.0": a value that rounds to zero is written without a sign.
  const std::string written = text;
  if (written.starts_with('-') && written.find_first_not_of("-0.") == std::string::npos) {
    return written.substr(1);
  }
  return written;
}

std::string PercentText(std::optional<double> share, int decimals) {
  if (!share || !std::isfinite(*share)) return std::string(kNoFigure);
  return FixedText(*share * 100, decimals) + "%";
}

std::string SignedText(std::optional<double> value, int decimals) {
  const std::string text = FixedText(value, decimals);
  if (text == kNoFigure || text.starts_with('-') ||
      text.find_first_not_of("0.") == std::string::npos)
    return text;
  return "+" + text;
}

std::string IntegerText(int64_t value) { return std::to_string(value); }

std::string QuestionLabel(int question) { return "第" + std::to_string(question) + "题"; }

std::string_view DiscriminationReading(std::optional<double> index) {
  // The usual bands of item analysis: 0.4 and above very good, 0.3 good, 0.2 fair.
  if (!index) return "区分度无法计算：试卷少于 2 份，或这道题没有满分";
  if (*index < 0) return "区分度为负：总分低的学生这道题反而得分更高，请检查题目和关键词";
  if (*index < 0.2) return "区分度低：这道题没能区分学生";
  if (*index < 0.3) return "区分度一般：这道题区分学生的作用有限";
  if (*index < 0.4) return "区分度较好：这道题能区分学生";
  return "区分度高：这道题能很好地区分学生";
}

}  // namespace vantry
