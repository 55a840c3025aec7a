#include "grading/run_skeleton.h"

#include <utility>

namespace vantry {

GbkText SummaryWithNotes(GbkText summary, const std::vector<GbkText>& notes) {
  for (const GbkText& note : notes) summary.append("\r\n"_gbk).append(note);
  return summary;
}

RunOutcome RunExam(const ProgramState& state, const RunSetup& setup,
                   ExamGrading& grading) {
  const Clock& clock = *setup.clock;
  RunOutcome outcome;

  const LocalDateTime started = clock.Now();
  AnswerSheetRead read = ReadAnswerSheet(setup.directory);
  // The fields stay views into the sheet's text: a large sheet is held once.
  const LoadedAnswerSheet sheet(read.ok() ? std::move(read->text) : GbkText(),
                                grading.field_collection());
  outcome.checked = CheckAnswerSheet(setup.directory, read, sheet);
  if (outcome.checked.ok()) {
    outcome.checked = CheckParameters(setup.directory, setup.parameters_load, state);
  }
  if (!outcome.checked.ok()) {
    grading.ShowProblem(outcome.checked);
    return outcome;
  }

  GbkText report;
  GradedClass graded = grading.Grade(sheet, report);
  graded.SetCaps(state);

  outcome.paper_count = static_cast<int64_t>(sheet.paper_count());
  outcome.report = WriteReport(report, setup.directory, clock);
  std::function<OutputNotes()> write;
  BoxesUsed boxes;
  if (setup.extra_outputs) {
    boxes = grading.Boxes();
    write = [&] {
      return setup.extra_outputs({.graded = graded,
                                  .dated = outcome.report.dated,
                                  .points_per_hit = boxes.points_per_hit,
                                  .order_keys = boxes.order_keys,
                                  .boxes_changed = boxes.changed,
                                  .replaced_report = outcome.report.replaced});
    };
  }
  const OutputNotes notes = grading.AwaitOutputs(write);
  outcome.report.replaced.reset();
  outcome.outputs_failed = notes.failed;
  outcome.summary = SummaryWithNotes(
      SummaryText(outcome.paper_count, {.started = started, .ended = clock.Now()},
                  outcome.report),
      notes.lines);
  grading.ShowSummary(outcome.summary);
  return outcome;
}

}  // namespace vantry
