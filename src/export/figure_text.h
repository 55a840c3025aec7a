// Figures written for a reader: fixed decimals, percentages, signs, and "—" where a
// figure is undefined (never "nan").
#ifndef VANTRY_EXPORT_FIGURE_TEXT_H_
#define VANTRY_EXPORT_FIGURE_TEXT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantry {

// What stands where a figure is undefined.
inline constexpr std::string_view kNoFigure = "—";

// `value` in decimal digits ("-12").
std::string IntegerText(int64_t value);
// `value` with `decimals` decimals ("7.25"); "—" when absent or not finite.
std::string FixedText(std::optional<double> value, int decimals);
// `share` (0..1) as a percentage with `decimals` decimals ("72.5%"); "—" when absent.
std::string PercentText(std::optional<double> share, int decimals = 1);
// `value` with its sign always written ("+0.50", "-1.25", "0.00" for zero); "—" when
// absent.
std::string SignedText(std::optional<double> value, int decimals);

// A question's label: "第3题".
std::string QuestionLabel(int question);

// How a discrimination index reads, in plain words ("区分度低：这道题没能区分学生");
// what is missing when it is absent.
std::string_view DiscriminationReading(std::optional<double> index);

}  // namespace vantry

#endif  // VANTRY_EXPORT_FIGURE_TEXT_H_
