// The window's grading run: every paper graded live in the window, then reported.
#ifndef VANTRY_GRADING_GRADING_RUN_H_
#define VANTRY_GRADING_GRADING_RUN_H_

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "controls/control_access.h"
#include "grading/exam_check.h"
#include "grading/graded_class.h"
#include "grading/report.h"
#include "scoring/parameters.h"
#include "scoring/program_state.h"
#include "text/clock.h"
#include "text/gbk_text.h"

namespace vantry {

// Writes what else a run leaves beside the report (the workbook, the analysis page)
// from the graded class, dated by the clock reading that dated the report; returns one
// line per output that could not be written, for the summary (GBK, without line
// breaks). Runs after the report is written.
using ExtraOutputs = std::function<std::vector<GbkText>(
    const GradedClass& graded, const LocalDateTime& report_dated)>;

struct GradingOptions {
  // The program folder: the answer sheet is read from it, the report written to it.
  std::filesystem::path directory;
  // What loading the parameters file found at start-up, for the check before the run.
  ParametersLoad parameters_load{ParametersLoad::Status::kLoaded};
  // The pause before the summary, during which the window stays responsive; tests use 0.
  int pause_ms = 1000;
  const Clock* clock = &SystemClock();  // never null
  // Called after each paper with the number graded so far and the paper count; may be
  // empty.
  std::function<void(int graded, int total)> on_paper_graded;
  // May be empty.
  ExtraOutputs extra_outputs;
};

struct GradingOutcome {
  // Set when the check before the run found a problem: nothing was graded or written,
  // the problem was shown in a box and the program goes on.
  std::optional<ExamProblem> problem;
  int paper_count = 0;
  ReportResult report;
  GbkText summary;
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
// box is shown and the process is ended with code 0.
GradingOutcome RunGrading(const ProgramState& state, ControlAccess& controls,
                          const GradingOptions& options);

// The summary with one line added for each extra output that could not be written.
GbkText SummaryWithNotes(GbkText summary, const std::vector<GbkText>& notes);

}  // namespace vantry

#endif  // VANTRY_GRADING_GRADING_RUN_H_
