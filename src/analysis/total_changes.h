// What a regrade changed: the papers whose total differs from the same-day report the
// run replaced.
#ifndef VANTRY_ANALYSIS_TOTAL_CHANGES_H_
#define VANTRY_ANALYSIS_TOTAL_CHANGES_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "grading/graded_class.h"

namespace vantry {

struct TotalChanges {
  struct Change {
    size_t paper = 0;  // index in the graded class
    int32_t before = 0;
    int32_t after = 0;
  };
  // In the class's order.
  std::vector<Change> changed;
  // Papers found in the old report.
  int64_t papers_matched = 0;
};

// Reads the totals back from `replaced_report` (the report the run replaced) and
// matches them to the class's papers by name, as the marks check matches names:
// without the spaces around them, nothing guessed (a name on two papers or on two
// lines of the old report is left out).
TotalChanges CompareWithReplacedReport(const GradedClass& graded,
                                       GbkView replaced_report);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_TOTAL_CHANGES_H_
