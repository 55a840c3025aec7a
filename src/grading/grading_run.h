// The grading run: every paper of the answer sheet graded, shown, reported.
#ifndef VANTRY_GRADING_GRADING_RUN_H_
#define VANTRY_GRADING_GRADING_RUN_H_

#include <filesystem>
#include <functional>

#include "app/controls/control_access.h"
#include "grading/report.h"
#include "scoring/program_state.h"
#include "text/clock.h"
#include "text/gbk_text.h"

namespace vantry {

struct GradingOptions {
  // The program folder: the answer sheet is read from it, the report written to it.
  std::filesystem::path directory;
  // The pause before the summary, during which the window stays responsive; the
  // batch grader uses 0.
  int pause_ms = 1000;
  const Clock* clock = &SystemClock();  // never null
  // Called after each paper with the number graded so far and the paper count; may be
  // empty.
  std::function<void(int graded, int total)> on_paper_graded;
};

struct GradingOutcome {
  int paper_count = 0;
  ReportResult report;
  GbkText summary;
  // Not empty when the run did not start: the message the window showed (GBK).
  GbkText refusal;
};

// Grades every paper of the answer sheet in `options.directory` against the rules in
// `state`, live in the window through `controls`: the grading button reads "正在进行",
// each paper shows the papers left, the name, every question's answer and score line
// and the running total. Each question's score is capped at its maximum from
// max_score_list (a question beyond that list is not capped); a paper without an answer
// field has no questions. Then the dated report is written, the pause is waited, the
// summary box (caption "提示信息") is shown and the process is ended with code 0.
// A sheet whose names together are more than the report could hold in memory (names
// that run on into the records after them, their end tags lacking the TAB) is not
// graded: the box says so, nothing is written and the process goes on.
GradingOutcome RunGrading(const ProgramState& state, ControlAccess& controls,
                          const GradingOptions& options);

}  // namespace vantry

#endif  // VANTRY_GRADING_GRADING_RUN_H_
