// The batch grader's run: the window's grading without a window, on every core.
#ifndef VANTRY_GRADING_BATCH_RUN_H_
#define VANTRY_GRADING_BATCH_RUN_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "grading/exam_check.h"
#include "grading/grading_run.h"
#include "grading/report.h"
#include "scoring/parameters.h"
#include "scoring/program_state.h"
#include "text/clock.h"
#include "text/gbk_text.h"

namespace vantry {

struct BatchOptions {
  // The folder of the answer sheet and the report.
  std::filesystem::path directory;
  // What loading the parameters file found, for the check before the run.
  ParametersLoad parameters_load{ParametersLoad::Status::kLoaded};
  // The two scoring boxes' texts (GBK) as typed; they hold still for the whole run.
  GbkText points_per_hit = "2";
  GbkText order_keys;
  // Threads that grade; 0 means one per hardware thread. The outputs are the same
  // byte for byte whatever the number.
  int jobs = 0;
  const Clock* clock = &SystemClock();  // never null
  // Called on the calling thread now and then with the papers graded so far and the
  // paper count; may be empty.
  std::function<void(int64_t graded, int64_t total)> on_progress;
  // May be empty. Each paper's full record is graded again on demand (GradedClass::
  // Record), since the boxes held still.
  ExtraOutputs extra_outputs;
};

struct BatchOutcome {
  // Set when the check before the run found a problem: nothing was graded or written.
  std::optional<ExamProblem> problem;
  int64_t paper_count = 0;
  ReportResult report;
  // The summary box's text (GBK): the specified lines, then the further outputs'.
  GbkText summary;
  // A further output was not done (OutputNotes::failed).
  bool outputs_failed = false;
};

// Checks the exam files, grades every paper of the answer sheet in
// `options.directory` against `state` with the fixed boxes, writes the dated report and
// the extra outputs. Papers are graded in parallel in blocks and put back in sheet
// order, so every output equals that of the window's run with the same boxes.
BatchOutcome GradeBatch(const ProgramState& state, const BatchOptions& options);

}  // namespace vantry

#endif  // VANTRY_GRADING_BATCH_RUN_H_
