// What a grading run writes beside its report, plugged into the run as its extra
// outputs: the workbook, and for the batch grader the JSON record and the explanations.
#ifndef VANTRY_EXPORT_RUN_OUTPUTS_H_
#define VANTRY_EXPORT_RUN_OUTPUTS_H_

#include <filesystem>
#include <functional>
#include <string_view>

#include "export/json_record.h"
#include "grading/grading_run.h"
#include "scoring/program_state.h"
#include "text/clock.h"

namespace vantry {

struct RunOutputOptions {
  // The program folder: the workbook goes beside the report.
  std::filesystem::path directory;
  const Clock* clock = &SystemClock();  // never null; dates the workbook's name
  bool workbook = true;
  // Where the JSON record goes; empty: no record.
  std::filesystem::path json_path;
  // The boxes' texts, for the JSON record.
  JsonBoxes boxes;
  // When set, called with each paper's explanation in turn (UTF-8 lines ending in
  // "\n": the name with total and rank, then one indented line per question).
  std::function<void(std::string_view text)> explain;
};

// The extra outputs of a run with `state`'s rules. Each output that cannot be written
// gives one line for the summary (GBK), e.g. "成绩表未能保存到‘阅卷结果20261208.xlsx’！";
// the others are still written. An output whose writing throws (no memory, no thread)
// counts as not written.
ExtraOutputs MakeRunOutputs(const ProgramState& state, RunOutputOptions options);

}  // namespace vantry

#endif  // VANTRY_EXPORT_RUN_OUTPUTS_H_
