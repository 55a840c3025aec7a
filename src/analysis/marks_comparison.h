// The rules' marks set against a teacher's own marks for the same papers.
#ifndef VANTRY_ANALYSIS_MARKS_COMPARISON_H_
#define VANTRY_ANALYSIS_MARKS_COMPARISON_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "analysis/agreement.h"
#include "analysis/teacher_marks.h"
#include "grading/graded_class.h"

namespace vantry {

struct MarksComparison {
  struct Question {
    int question = 0;
    // Its mark column (TeacherMarks::mark(row, column)).
    size_t column = 0;
    Agreement agreement;
  };
  // One per question column of the sheet, by question number.
  std::vector<Question> questions;
  // Over the papers whose every question column the teacher filled: the rules' total
  // of those questions against the sum of the teacher's marks. Marks are compared in
  // half points (the teacher may give 6.5).
  Agreement totals;
  // False when the class answered questions that the sheet has no column for: the
  // totals then leave those questions out.
  bool sheet_covers_every_question = true;
  // The full marks of the compared totals: the sum of the caps of the sheet's
  // questions, when each has a positive one.
  std::optional<int64_t> full_marks;
  // Of the papers whose totals are compared, those whose total the rules put in another
  // level than the teacher's (优秀 / 及格 / 不及格 / 低分, as ScoreLevelOf counts them);
  // none without full marks.
  std::optional<int64_t> level_changes;

  // A paper matched to a row of the sheet.
  struct Match {
    size_t paper = 0;  // index in the graded class
    size_t row = 0;    // row of the sheet (TeacherMarks::name(row))
    // The sum over the marked questions of |rules − teacher|, in half points.
    HalfPoints disagreement = 0;
  };
  int64_t papers_compared = 0;
  // The matched papers that disagree most, most first (ties in sheet order); only
  // papers that disagree at all, at most the number asked for.
  std::vector<Match> largest;

  // Names are matched without the spaces around them; nothing is guessed. Each list is
  // in the order of first appearance.
  std::vector<GbkText> names_twice_in_sheet;    // on two or more rows: not compared
  std::vector<GbkText> names_twice_in_answers;  // of two or more papers: not compared
  std::vector<GbkText> names_without_paper;     // in the sheet, on no paper
  std::vector<size_t> papers_without_marks;     // papers whose name is not in the sheet
};

// The level of a total against the full marks (in points), at the class statistics'
// thresholds: 优秀 at or above kExcellentPercent, 及格 at or above kPassPercent,
// 低分 below kLowPercent, and 不及格 between.
enum class ScoreLevel { kExcellent, kPass, kFail, kLow };
ScoreLevel ScoreLevelOf(HalfPoints total, int64_t full_marks);

// The papers matched to rows of the sheet by name, in the sheet's order (disagreement
// left 0): the spaces around a name are ignored, and a name on two rows of the sheet
// or of two papers matches nothing.
std::vector<MarksComparison::Match> MatchTeacherMarks(const GradedClass& graded,
                                                      const TeacherMarks& marks);

// Matches the sheet's rows to the class's papers by name and measures, per question
// and for the totals, how the rules' marks (the shown scores, a question a paper lacks
// as 0, as ShownScore gives them) agree with the teacher's.
MarksComparison CompareWithTeacher(const GradedClass& graded, const TeacherMarks& marks,
                                   size_t largest_count = 10);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_MARKS_COMPARISON_H_
