#include "grading/grading_run.h"

#include <chrono>
#include <cstdint>
#include <future>

#include "controls/control_names.h"
#include "grading/boxes_read_at_use.h"
#include "grading/grade_paper.h"
#include "platform/cooperative_delay.h"
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

  void OnPaperStart(int64_t index, int64_t count, GbkView name) {
    static const GbkText kEmpty;
    controls_.SetControlText(controls::kRemaining, FormatInteger(count - index + 1));
    controls_.SetControlText(controls::kMatchedPoints, kEmpty);
    controls_.SetControlText(controls::kStudentAnswer, kEmpty);
    controls_.SetControlText(controls::kStudentName, kEmpty);
    controls_.SetControlText(controls::kScore, kEmpty);
    controls_.SetControlText(controls::kStudentName, GbkText(name));
  }

  void OnQuestionStart(int question, GbkView answer) override {
    const LiveTexts& t = Texts();
    shown_.assign(t.question_head)
        .append(FormatInteger(question))
        .append(t.question_rule);
    shown_.append(answer).append("\r\n\r\n"_gbk);
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

// The window's part of the run: its boxes read at every use, each paper shown as it
// is graded, the outputs written while the window pauses.
class WindowGrading final : public ExamGrading {
 public:
  WindowGrading(const ProgramState& state, ControlAccess& controls,
                const GradingOptions& options)
      : state_(state), controls_(controls), options_(options) {}

  void ShowProblem(const Status& problem) override {
    controls_.ShowMessageBox(Utf8ToGbk(problem.message()), Texts().caption);
  }

  GradedClass Grade(const LoadedAnswerSheet& sheet, GbkText& report) override {
    controls_.SetControlText(controls::kGradeButton, Texts().running);
    // The boxes are read at every use; what they held at the start and at the end
    // tells the outputs which texts graded the papers.
    points_at_start_ = controls_.GetControlText(controls::kPointsPerHit);
    order_at_start_ = controls_.GetControlText(controls::kOrderKeys);
    const auto paper_count = static_cast<int64_t>(sheet.paper_count());
    RulesReadAtUse rules(state_);
    BoxesReadAtUse boxes(controls_);
    PaperGrader grader(state_, rules, boxes);
    LiveView view(controls_);
    // The window's boxes may change during the run, so each record is kept as decided.
    GradedClass graded(/*keep_records=*/true);
    PaperRecord record;
    report.reserve(sheet.text().size() / 8 + static_cast<size_t>(paper_count) * 48);
    for (int64_t i = 1; i <= paper_count; ++i) {
      const auto index = static_cast<size_t>(i - 1);
      view.OnPaperStart(i, paper_count, sheet.name(index));
      grader.Grade(sheet.name(index), sheet.answer(index), record, &view);
      AppendReportLine(report, record);
      graded.Add(record);
      if (options_.on_progress) options_.on_progress(i, paper_count);
    }
    return graded;
  }

  BoxesUsed Boxes() override {
    BoxesUsed used{.points_per_hit = controls_.GetControlText(controls::kPointsPerHit),
                   .order_keys = controls_.GetControlText(controls::kOrderKeys)};
    used.changed =
        used.points_per_hit != points_at_start_ || used.order_keys != order_at_start_;
    return used;
  }

  OutputNotes AwaitOutputs(const std::function<OutputNotes()>& write) override {
    if (!write) {
      CooperativeDelay(std::chrono::milliseconds{options_.pause_ms});
      return {};
    }
    // The workbook and the page are written on a thread of their own while the window
    // pauses and keeps answering, so the pause costs the teacher no extra time.
    std::future<OutputNotes> written = std::async(std::launch::async, write);
    CooperativeDelay(std::chrono::milliseconds{options_.pause_ms});
    while (written.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
      CooperativeDelay(std::chrono::milliseconds{10});
    }
    return written.get();
  }

  void ShowSummary(const GbkText& summary) override {
    controls_.ShowMessageBox(summary, Texts().caption);
    controls_.EndProcess(0);
  }

 private:
  const ProgramState& state_;
  ControlAccess& controls_;
  const GradingOptions& options_;
  GbkText points_at_start_;
  GbkText order_at_start_;
};

}  // namespace

RunOutcome RunGrading(const ProgramState& state, ControlAccess& controls,
                      const GradingOptions& options) {
  WindowGrading grading(state, controls, options);
  return RunExam(state, options, grading);
}

}  // namespace vantry
