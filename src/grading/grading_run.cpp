#include "grading/grading_run.h"

#include <chrono>
#include <cstdint>
#include <future>
#include <utility>

#include "controls/control_names.h"
#include "grading/answer_sheet.h"
#include "grading/boxes_read_at_use.h"
#include "grading/grade_paper.h"
#include "text/cooperative_delay.h"
#include "text/date_time.h"
#include "text/gbk_codec.h"
#include "text/numbers.h"

namespace vantry {
namespace {

struct LiveTexts {
  GbkText running = Utf8ToGbk("正在进行");
  GbkText question_head = Utf8ToGbk("第");
  GbkText question_rule = Utf8ToGbk("小题=========================================\r\n");
  GbkText score_head = Utf8ToGbk("第 ");
  GbkText score_middle = Utf8ToGbk(" 题得分：");
  GbkText score_tail = Utf8ToGbk(" 分\r\n");
  GbkText caption = Utf8ToGbk(controls::kSummaryCaption);
};

const LiveTexts& Texts() {
  static const LiveTexts texts;
  return texts;
}

// Shows the paper being graded in the window, control by control, as it goes.
class LiveView final : public PaperObserver {
 public:
  explicit LiveView(ControlAccess& controls) : controls_(controls) {}

  void OnPaperStart(int index, int count, std::string_view name) {
    static const GbkText kEmpty;
    controls_.SetControlText(controls::kRemaining, FormatInteger(count - index + 1));
    controls_.SetControlText(controls::kMatchedPoints, kEmpty);
    controls_.SetControlText(controls::kStudentAnswer, kEmpty);
    controls_.SetControlText(controls::kStudentName, kEmpty);
    controls_.SetControlText(controls::kScore, kEmpty);
    controls_.SetControlText(controls::kStudentName, GbkText(name));
  }

  void OnQuestionStart(int question, std::string_view answer) override {
    const LiveTexts& t = Texts();
    shown_.assign(t.question_head)
        .append(FormatInteger(question))
        .append(t.question_rule);
    shown_.append(answer).append("\r\n\r\n");
    controls_.AppendControlText(controls::kStudentAnswer, shown_);
  }

  void OnQuestionGraded(const QuestionRecord& record, int32_t total) override {
    const LiveTexts& t = Texts();
    shown_.assign(t.score_head).append(FormatInteger(record.question));
    shown_.append(t.score_middle).append(FormatInteger(record.shown_score));
    shown_.append(t.score_tail);
    controls_.AppendControlText(controls::kMatchedPoints, shown_);
    controls_.SetControlText(controls::kScore, FormatInteger(total));
  }

 private:
  ControlAccess& controls_;
  GbkText shown_;  // the text of one append, reused
};

}  // namespace

GbkText SummaryWithNotes(GbkText summary, const std::vector<GbkText>& notes) {
  for (const GbkText& note : notes) summary.append("\r\n").append(note);
  return summary;
}

GradingOutcome RunGrading(const ProgramState& state, ControlAccess& controls,
                          const GradingOptions& options) {
  const LiveTexts& texts = Texts();
  const Clock& clock = *options.clock;
  GradingOutcome outcome;

  const GbkText start_stamp = TimestampText(clock);
  AnswerSheetRead read = ReadAnswerSheet(options.directory);
  // The fields stay views into the sheet's text: a large sheet is held once.
  const LoadedAnswerSheet sheet(std::move(read.text));
  outcome.problem = CheckAnswerSheet(options.directory, read, sheet);
  if (!outcome.problem) {
    outcome.problem = CheckParameters(options.directory, options.parameters_load, state);
  }
  if (outcome.problem) {
    controls.ShowMessageBox(Utf8ToGbk(outcome.problem->message), texts.caption);
    return outcome;
  }

  controls.SetControlText(controls::kGradeButton, texts.running);
  // The boxes are read at every use; what they held at the start and at the end tells
  // the outputs which texts graded the papers.
  const GbkText points_at_start = controls.GetControlText(controls::kPointsPerHit);
  const GbkText order_at_start = controls.GetControlText(controls::kOrderKeys);
  const int paper_count = static_cast<int>(sheet.paper_count());
  RulesReadAtUse rules(state);
  BoxesReadAtUse boxes(controls);
  PaperGrader grader(state, rules, boxes);
  LiveView view(controls);
  // The window's boxes may change during the run, so each record is kept as decided.
  GradedClass graded(/*keep_records=*/true);
  PaperRecord record;
  GbkText report;
  report.reserve(sheet.text().size() / 8 + static_cast<size_t>(paper_count) * 48);
  for (int i = 1; i <= paper_count; ++i) {
    const size_t index = static_cast<size_t>(i) - 1;
    view.OnPaperStart(i, paper_count, sheet.name(index));
    grader.Grade(sheet.name(index), sheet.answer(index), record, &view);
    AppendReportLine(report, record);
    graded.Add(record);
    if (options.on_paper_graded) options.on_paper_graded(i, paper_count);
  }
  graded.SetCaps(state);

  outcome.paper_count = paper_count;
  outcome.report = WriteReport(report, options.directory, clock);
  OutputNotes notes;
  if (options.extra_outputs) {
    const GbkText points = controls.GetControlText(controls::kPointsPerHit);
    const GbkText order = controls.GetControlText(controls::kOrderKeys);
    const FinishedRun run{
        .graded = graded,
        .dated = outcome.report.dated,
        .points_per_hit = points,
        .order_keys = order,
        .boxes_changed = points != points_at_start || order != order_at_start,
        .replaced_report = outcome.report.replaced,
    };
    // The workbook and the page are written on a thread of their own while the window
    // pauses and keeps answering, so the pause costs the teacher no extra time.
    std::future<OutputNotes> written = std::async(
        std::launch::async, [&options, &run] { return options.extra_outputs(run); });
    CooperativeDelay(std::chrono::milliseconds{options.pause_ms});
    while (written.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
      CooperativeDelay(std::chrono::milliseconds{10});
    }
    notes = written.get();
  } else if (options.pause_ms > 0) {
    CooperativeDelay(std::chrono::milliseconds{options.pause_ms});
  }
  outcome.report.replaced.reset();
  const GbkText end_stamp = TimestampText(clock);
  outcome.outputs_failed = notes.failed;
  outcome.summary = SummaryWithNotes(
      SummaryText(paper_count, start_stamp, end_stamp, outcome.report), notes.lines);
  controls.ShowMessageBox(outcome.summary, texts.caption);
  controls.EndProcess(0);
  return outcome;
}

}  // namespace vantry
