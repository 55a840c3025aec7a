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

// What a finished run hands to the outputs it leaves beside its report.
struct FinishedRun {
  const GradedClass& graded;
  // The clock reading that dated the report: the other outputs are named and dated by
  // it too, so a run across midnight names them all for one day.
  const LocalDateTime& dated;
  // The scoring boxes' texts (GBK) the papers were graded with. The window reads its
  // boxes at every use: these are its texts at the end of the run, and
  // `boxes_changed` says that they were not the same at its start.
  const GbkText& points_per_hit;
  const GbkText& order_keys;
  bool boxes_changed = false;
  // The text of the same-day report this run replaced, read before it was replaced;
  // none when there was none or it could not be read.
  const std::optional<GbkText>& replaced_report;
};

// What the further outputs leave for the summary: one line each (GBK, without line
// breaks), in order, e.g. where each file went or why it could not be written, and
// what was found worth telling.
struct OutputNotes {
  std::vector<GbkText> lines;
  // Something asked for was not done: an output not written, a marks sheet beside the
  // exam that could not be used.
  bool failed = false;
};

// Writes what else a run leaves beside the report (the workbook, the analysis page).
// Runs after the report is written.
using ExtraOutputs = std::function<OutputNotes(const FinishedRun& run)>;

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
  // The summary box's text (GBK): the specified lines, then the further outputs'.
  GbkText summary;
  // A further output was not done (OutputNotes::failed).
  bool outputs_failed = false;
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
// is ended with code 0.
GradingOutcome RunGrading(const ProgramState& state, ControlAccess& controls,
                          const GradingOptions& options);

// The summary with the further outputs' lines added, one line each.
GbkText SummaryWithNotes(GbkText summary, const std::vector<GbkText>& notes);

}  // namespace vantry

#endif  // VANTRY_GRADING_GRADING_RUN_H_
