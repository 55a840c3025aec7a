// The batch grader's run: the window's grading without a window, on every core.
#ifndef VANTRY_GRADING_BATCH_RUN_H_
#define VANTRY_GRADING_BATCH_RUN_H_

#include "grading/run_skeleton.h"
#include "scoring/program_state.h"
#include "text/gbk_text.h"

namespace vantry {

// The folder, the parameters' load, the clock, the progress (called on the calling
// thread now and then) and the further outputs (RunSetup). Each paper's full record
// is graded again on demand for the outputs (GradedClass::Record), since the boxes
// hold still.
struct BatchOptions : RunSetup {
  // The two scoring boxes' texts (GBK) as typed; they hold still for the whole run.
  GbkText points_per_hit = "2"_gbk;
  GbkText order_keys;
  // Threads that grade; 0 means one per hardware thread. The outputs are the same
  // byte for byte whatever the number.
  int jobs = 0;
};

// Checks the exam files, grades every paper of the answer sheet in
// `options.directory` against `state` with the fixed boxes, writes the dated report and
// the extra outputs, in RunExam's sequence (run_skeleton.h). Papers are graded in
// parallel in blocks and put back in sheet order, so every output equals that of the
// window's run with the same boxes.
[[nodiscard]] RunOutcome GradeBatch(const ProgramState& state,
                                    const BatchOptions& options);

}  // namespace vantry

#endif  // VANTRY_GRADING_BATCH_RUN_H_
