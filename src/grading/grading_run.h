// The window's grading run: every paper graded live in the window, then reported.
#ifndef VANTRY_GRADING_GRADING_RUN_H_
#define VANTRY_GRADING_GRADING_RUN_H_

#include "controls/control_access.h"
#include "grading/run_skeleton.h"
#include "scoring/program_state.h"

namespace vantry {

// The folder, the parameters' load, the clock and the further outputs (RunSetup); the
// progress is called after each paper.
struct GradingOptions : RunSetup {
  // The pause before the summary, during which the window stays responsive; tests use 0.
  int pause_ms = 1000;
};

// Grades every paper of the answer sheet in `options.directory` against the rules in
// `state`, live in the window through `controls`.
//
// First the exam files are checked (exam_check.h); a problem is shown in a box
// captioned "提示信息" and the run ends there, writing nothing. Otherwise the grading
// button reads "正在进行", each paper shows the papers left, the name, every question's
// answer and score line and the running total. Each question's score is capped at its
// maximum (a question beyond the list of maxima is not capped); a paper without an
// answer field has no questions. The scoring boxes are read at the moment of use. Then
// the dated report and the extra outputs are written, the pause is waited, the summary
// box is shown (the report's line, then one line per further output) and the process
// is ended with code 0. The sequence is RunExam's (run_skeleton.h).
RunOutcome RunGrading(const ProgramState& state, ControlAccess& controls,
                      const GradingOptions& options);

}  // namespace vantry

#endif  // VANTRY_GRADING_GRADING_RUN_H_
