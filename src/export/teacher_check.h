// The check of the keyword rules against a teacher's own marks, ready to be shown on
// the terminal (vantry-grade --check) and on the analysis page.
#ifndef VANTRY_EXPORT_TEACHER_CHECK_H_
#define VANTRY_EXPORT_TEACHER_CHECK_H_

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/marks_comparison.h"
#include "analysis/teacher_marks.h"
#include "grading/graded_class.h"
#include "platform/result.h"
#include "text/gbk_text.h"

namespace vantry {

struct TeacherCheck {
  // The sheet's file name as shown (UTF-8).
  std::string sheet_name;
  // Fails when the sheet could not be used, saying why (naming the line); nothing is
  // compared then.
  Status read;
  TeacherMarks marks;
  MarksComparison comparison;
  // For each paper of comparison.largest, the explanation of each question of the
  // class and of the sheet (entry q-1 explains question q), and its answer shortened
  // for a line (empty for a question the paper lacks).
  std::vector<std::vector<std::string>> largest_explanations;
  std::vector<std::vector<std::string>> largest_answers;

  bool ok() const { return read.ok(); }
};

// A sheet of the teacher's own marks, read before the run.
struct TeacherMarksSheet {
  std::string name;  // its file name as shown (UTF-8)
  MarksRead read;
};

// The papers with the largest disagreement that a check lists.
inline constexpr size_t kLargestDisagreements = 10;

// Compares the sheet `read` from the file `sheet_name` (UTF-8) with `graded` and
// explains the papers that disagree most; a sheet that could not be read gives a check
// holding its problem.
[[nodiscard]] TeacherCheck CheckAgainstTeacher(const GradedClass& graded,
                                               std::string sheet_name, MarksRead read);
// kTeacherMarksFileName in `directory` read, when anything of that name is there (a
// folder or a device there reads as a problem).
[[nodiscard]] std::optional<TeacherMarksSheet> ReadSheetBesideExam(
    const std::filesystem::path& directory);
// The check against kTeacherMarksFileName in `directory`, when that file is there.
[[nodiscard]] std::optional<TeacherCheck> CheckBesideExam(
    const GradedClass& graded, const std::filesystem::path& directory);
// The file name of `path` in UTF-8, as a check shows it.
std::string SheetName(const std::filesystem::path& path);

// The sheet's problem as one line for the summary or the terminal (GBK), e.g.
// "教师评分.csv 第5行：…；没有与教师评分核对".
GbkText TeacherCheckProblemLine(const TeacherCheck& check);

// The verdict in plain words (UTF-8): first what a teacher feels, then r and kappa
// with the range of totals kappa counts over, then the conclusion (agreement_verdict.h),
// e.g. "规则平均比您少给 3.5 分；20 份中 13 份相差超过 1 分，6 份等级不同（优秀/及格/
// 低分）；r = 0.95，加权 kappa = 0.94（按 0–50 分计）。结论：一般（平均差偏大）".
// Empty for a sheet that could not be read.
std::string TeacherCheckVerdict(const TeacherCheck& check);

// The check's line for the summary (GBK): "与教师评分核对：" and the verdict, or the
// sheet's problem.
GbkText TeacherCheckSummaryLine(const TeacherCheck& check);

// The figures as a table of texts: a header row, then a row per question and one for
// the totals: the label, papers compared, exact agreement, agreement within 1 point,
// mean difference (rules − teacher, signed), Pearson r and quadratic weighted kappa,
// "—" where undefined.
std::vector<std::vector<std::string>> TeacherCheckTable(const TeacherCheck& check);

// Notes that go under the table (UTF-8), one per entry.
std::vector<std::string> TeacherCheckNotes(const TeacherCheck& check);

// One paper of the check's largest disagreements, ready to be shown (UTF-8). Marks
// are in half points (HalfPointsText shows them).
struct Disagreement {
  std::string name;
  HalfPoints disagreement = 0;  // the sum over the marked questions of |rules − teacher|
  HalfPoints rules_sum = 0;     // over the questions the teacher marked
  HalfPoints teacher_sum = 0;
  struct Question {
    int question = 0;
    HalfPoints teacher = 0;
    HalfPoints rules = 0;
    std::string explanation;  // the rules' explanation of this question
    std::string answer;       // the answer, shortened around its marked wordings
  };
  std::vector<Question> questions;  // those where the two differ
};
std::vector<Disagreement> TeacherCheckDisagreements(const TeacherCheck& check,
                                                    const GradedClass& graded);

// The names that could not be matched, as (what, names) lines (UTF-8): names on two
// rows of the sheet, of two papers, not on any paper, and papers without a row.
std::vector<std::pair<std::string, std::string>> TeacherCheckNameLines(
    const TeacherCheck& check, const GradedClass& graded);

// The check as text for a terminal (UTF-8, LF line ends): the table and its notes, the
// papers that disagree most with the rules' explanation beside the teacher's mark,
// and the names that could not be matched.
std::string TeacherCheckText(const TeacherCheck& check, const GradedClass& graded);

}  // namespace vantry

#endif  // VANTRY_EXPORT_TEACHER_CHECK_H_
