// The sequence every grading run follows, whoever runs it: read and check the exam
// files, grade every paper, cap the questions, write the dated report, leave the
// further outputs beside it and sum up. The window's run (grading_run.h) and the batch
// run (batch_run.h) bring only their own grading loop and view (ExamGrading).
#ifndef VANTRY_GRADING_RUN_SKELETON_H_
#define VANTRY_GRADING_RUN_SKELETON_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "grading/answer_sheet.h"
#include "grading/exam_check.h"
#include "grading/graded_class.h"
#include "grading/report.h"
#include "platform/clock.h"
#include "scoring/parameters.h"
#include "scoring/program_state.h"
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

// Called now and then with the papers graded so far and the paper count.
using RunProgress = std::function<void(int64_t graded, int64_t total)>;

// The scoring boxes' texts (GBK) a run graded with, as its outputs record them.
struct BoxesUsed {
  GbkText points_per_hit;
  GbkText order_keys;
  // The texts at the end of the run differ from those at its start.
  bool changed = false;
};

// What one kind of run brings to the sequence: its grading loop and its view.
class ExamGrading {
 public:
  virtual ~ExamGrading() = default;

  // How the answer sheet's fields are collected.
  virtual FieldCollection field_collection() const { return FieldCollection::kOneThread; }
  // The check before the run found `problem`: nothing will be graded or written.
  virtual void ShowProblem(const Status& /*problem*/) {}
  // Grades every paper of `sheet` in sheet order, appending each paper's report line
  // to `report`; returns the class (its caps are set afterwards).
  virtual GradedClass Grade(const LoadedAnswerSheet& sheet, GbkText& report) = 0;
  // The boxes the papers were graded with; asked only when there are further outputs.
  virtual BoxesUsed Boxes() = 0;
  // Calls `write` (the further outputs; may be empty) and returns what it left.
  virtual OutputNotes AwaitOutputs(const std::function<OutputNotes()>& write) {
    return write ? write() : OutputNotes{};
  }
  // Shows the summary (GBK) at the end of a run that graded.
  virtual void ShowSummary(const GbkText& /*summary*/) {}
};

struct RunSetup {
  // The folder of the answer sheet and the report.
  std::filesystem::path directory;
  // What loading the parameters file found, for the check before the run.
  ParametersLoad parameters_load = ParametersFile{};
  const Clock* clock = &SystemClock();  // never null
  // Called on the calling thread with the papers graded so far; may be empty.
  RunProgress on_progress;
  // May be empty.
  ExtraOutputs extra_outputs;
};

struct RunOutcome {
  // The check before the run (exam_check.h); when it failed, nothing was graded or
  // written.
  Status checked;
  int64_t paper_count = 0;
  ReportResult report;
  // The summary box's text (GBK): the run's own lines, then the further outputs'.
  GbkText summary;
  // A further output was not done (OutputNotes::failed).
  bool outputs_failed = false;
};

// Runs the sequence on the answer sheet in `setup.directory` against `state`, with
// `grading`'s loop and view. The report and every further output are dated by one
// clock reading; the summary times the whole run, from before the sheet is read to
// after the further outputs are written.
[[nodiscard]] RunOutcome RunExam(const ProgramState& state, const RunSetup& setup,
                                 ExamGrading& grading);

// The summary with the further outputs' lines added, one line each.
GbkText SummaryWithNotes(GbkText summary, const std::vector<GbkText>& notes);

}  // namespace vantry

#endif  // VANTRY_GRADING_RUN_SKELETON_H_
