// What a grading run writes beside its report, plugged into the run as its extra
// outputs: the workbook and the analysis page (checked against the teacher's marks
// when there are any), and for the batch grader the JSON record, the explanations and
// the printed check.
#ifndef VANTRY_EXPORT_RUN_OUTPUTS_H_
#define VANTRY_EXPORT_RUN_OUTPUTS_H_

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/teacher_marks.h"
#include "export/teacher_check.h"
#include "grading/run_skeleton.h"
#include "scoring/program_state.h"

namespace vantry {

struct RunOutputOptions {
  // The exam's folder: the workbook and the page go beside the report; its name is
  // the exam's.
  std::filesystem::path directory;
  bool workbook = true;
  // The analysis page 阅卷分析yyyyMMdd.html beside the report.
  bool page = true;
  // The teacher's marks to check the rules against: this sheet when set; otherwise
  // kTeacherMarksFileName in `directory` when it is there, read when the outputs are
  // made, before the run (a sheet there that cannot be used gives a line for the
  // summary and is named on the page).
  std::optional<TeacherMarksSheet> marks;
  // When set, called with the check against `marks` as text for a terminal.
  std::function<void(std::string_view text)> check_report;
  // Where the JSON record goes; empty: no record.
  std::filesystem::path json_path;
  // When set, called with each paper's explanation in turn (UTF-8 lines ending in
  // "\n": the name with total and rank, then per question an indented line of the
  // explanation and one of the answer, shortened around its marked wordings).
  std::function<void(std::string_view text)> explain;
  // Rule proposals are learned from this sheet when set; otherwise, when no `marks`
  // were given, from kTeacherMarksFileName in `directory` when it is there and can be
  // used (read when the outputs are made). They are written to `propose_out` (empty:
  // kProposedParametersFileName in `directory`) and shown on the page and in the
  // workbook.
  std::optional<TeacherMarksSheet> propose;
  std::filesystem::path propose_out;
  // When set, called with the proposals as text for a terminal. They score with the
  // boxes' texts the run ends with (FinishedRun).
  std::function<void(std::string_view text)> proposals_report;
};

// The extra outputs of a run with `state`'s rules, named and dated for the day of the
// run's report. The teacher's marks beside the exam are read here, so that the run,
// which is made after this and timed, does not count the time their reading takes.
// Their summary lines, in order: where the workbook, the page, the JSON record and the
// proposed rules went (or that one could not be written and why, e.g.
// "成绩表未能保存到‘阅卷结果20261208.xlsx’！（磁盘空间不足）"; the others are still
// written), the check's verdict (or why the marks sheet could not be used), and the
// students whose totals changed since the same-day report the run replaced. A workbook
// or page changed after the program wrote it is kept, the new one written beside it
// under a numbered name (kept_outputs.h), and the line says so. An output whose
// writing throws (no memory, no thread) counts as not written.
ExtraOutputs MakeRunOutputs(const ProgramState& state, RunOutputOptions options);

}  // namespace vantry

#endif  // VANTRY_EXPORT_RUN_OUTPUTS_H_
