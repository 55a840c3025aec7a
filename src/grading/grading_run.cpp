#include "grading/grading_run.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "app/controls/control_names.h"
#include "grading/answer_sheet.h"
#include "scoring/score_question.h"
#include "text/cooperative_delay.h"
#include "text/date_time.h"
#include "text/file_io.h"
#include "text/gbk_codec.h"
#include "text/numbers.h"

namespace vantry {
namespace {

// The sum of two question scores, held at the 32-bit limits instead of wrapping.
int32_t AddSaturating(int32_t a, int32_t b) {
  const int64_t sum = static_cast<int64_t>(a) + b;
  return static_cast<int32_t>(std::clamp<int64_t>(
      sum, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Why a sheet whose names cannot all be held is not graded, and what to look for.
GbkText NamesTooLongText(int paper_count, size_t name_bytes) {
  return Utf8ToGbk("学生答题文件“学生答题文本.txt”中的 " + std::to_string(paper_count) +
                   " 个姓名共有 " + std::to_string(name_bytes >> 20) +
                   " MB，成绩报告放不下，所以没有阅卷。\r\n"
                   "通常是 </姓名> 前少了 TAB 键，姓名一直延续到了后面的记录里。"
                   "请检查 <姓名> 和 </姓名> 标签（每个标签里侧都要有一个 TAB 键），"
                   "改好后再阅卷。");
}

}  // namespace

GradingOutcome RunGrading(const ProgramState& state, ControlAccess& controls,
                          const GradingOptions& options) {
  static const GbkText kRunning = Utf8ToGbk("正在进行");
  static const GbkText kQuestionHead = Utf8ToGbk("第");
  static const GbkText kQuestionRule =
      Utf8ToGbk("小题=========================================\r\n");
  static const GbkText kScoreHead = Utf8ToGbk("第 ");
  static const GbkText kScoreMiddle = Utf8ToGbk(" 题得分：");
  static const GbkText kScoreTail = Utf8ToGbk(" 分\r\n");
  static const GbkText kSummaryCaption = Utf8ToGbk(controls::kSummaryCaption);
  static const GbkText kEmpty;
  const Clock& clock = *options.clock;

  const GbkText start_stamp = TimestampText(clock);
  const GbkText button_text = controls.GetControlText(controls::kGradeButton);
  controls.SetControlText(controls::kGradeButton, kRunning);

  const auto refuse = [&](GbkText message) {
    GradingOutcome refused;
    refused.refusal = std::move(message);
    controls.SetControlText(controls::kGradeButton, button_text);
    controls.ShowMessageBox(refused.refusal, kSummaryCaption);
    return refused;
  };
  FileReadResult read = ReadAnswerSheet(options.directory);
  if (read.status == FileReadStatus::kTooLarge) {
    return refuse(Utf8ToGbk(FileReadProblem(read, kAnswerSheetFileName) + "没有阅卷。"));
  }
  // The fields stay views into the sheet's text: a large sheet is held once.
  const LoadedAnswerSheet sheet(std::move(read.bytes));
  const std::vector<std::string_view>& names = sheet.names();
  const std::vector<std::string_view>& answers = sheet.answers();
  const int paper_count = static_cast<int>(names.size());

  size_t name_bytes = 0;
  for (std::string_view name : names) name_bytes += name.size();
  const size_t report_bytes = name_bytes + static_cast<size_t>(paper_count) * 48;
  // The report and its cleaned copy are held in memory at the end of the run.
  if (report_bytes > AvailableMemoryBytes() / 2) {
    return refuse(NamesTooLongText(paper_count, name_bytes));
  }
  GbkText report;
  report.reserve(report_bytes);

  GbkText shown;       // the text of one append, reused
  GbkText score_line;  // the capped scores of the current paper
  for (int i = 1; i <= paper_count; ++i) {
    const GbkText name(names[static_cast<size_t>(i) - 1]);
    controls.SetControlText(controls::kRemaining, FormatInteger(paper_count - i + 1));
    controls.SetControlText(controls::kMatchedPoints, kEmpty);
    controls.SetControlText(controls::kStudentAnswer, kEmpty);
    controls.SetControlText(controls::kStudentName, kEmpty);
    controls.SetControlText(controls::kScore, kEmpty);
    controls.SetControlText(controls::kStudentName, name);
    score_line.clear();
    int32_t total = 0;

    // A name without its answer field (the sheet holds fewer answers than names) is a
    // paper without questions.
    std::vector<GbkText> pieces;
    if (static_cast<size_t>(i) <= answers.size()) {
      pieces = SplitQuestionAnswers(answers[static_cast<size_t>(i) - 1]);
    }
    for (int q = 1; q <= static_cast<int>(pieces.size()); ++q) {
      const GbkText& piece = pieces[static_cast<size_t>(q) - 1];
      const GbkText number = FormatInteger(q);
      shown.assign(kQuestionHead).append(number).append(kQuestionRule).append(piece);
      shown.append("\r\n\r\n");
      controls.AppendControlText(controls::kStudentAnswer, shown);

      int32_t s = ScoreQuestion(state, controls, q, piece);
      // The cap only lowers; a question beyond the list of maxima is not capped.
      if (static_cast<size_t>(q) <= state.max_score_list.size()) {
        s = std::min(s, TextToInteger(state.max_score_list[static_cast<size_t>(q) - 1]));
      }
      const GbkText score = FormatInteger(s);
      score_line.append(score).append(" ");
      shown.assign(kScoreHead).append(number).append(kScoreMiddle).append(score);
      shown.append(kScoreTail);
      controls.AppendControlText(controls::kMatchedPoints, shown);
      total = AddSaturating(total, s);
      controls.SetControlText(controls::kScore, FormatInteger(total));
    }
    AppendReportLine(report, name, score_line, total);
    if (options.on_paper_graded) options.on_paper_graded(i, paper_count);
  }

  GradingOutcome outcome;
  outcome.paper_count = paper_count;
  outcome.report = WriteReport(report, options.directory, clock);
  if (options.pause_ms > 0) CooperativeDelay(options.pause_ms);
  const GbkText end_stamp = TimestampText(clock);
  outcome.summary = SummaryText(paper_count, start_stamp, end_stamp, outcome.report);
  controls.ShowMessageBox(outcome.summary, kSummaryCaption);
  controls.EndProcess(0);
  return outcome;
}

}  // namespace vantry
