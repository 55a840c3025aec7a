// The marks a teacher gave by hand, read from a CSV sheet, to check the rules against.
#ifndef VANTRY_ANALYSIS_TEACHER_MARKS_H_
#define VANTRY_ANALYSIS_TEACHER_MARKS_H_

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "analysis/half_points.h"
#include "text/gbk_text.h"

namespace vantry {

// The sheet beside the exam files that the window's run and vantry-grade check the
// rules against when it is there.
inline constexpr std::string_view kTeacherMarksFileName = "教师评分.csv";

struct TeacherMarks {
  // The question of each mark column, in the sheet's column order.
  std::vector<int> questions;
  struct Row {
    int line = 0;  // where the row starts in the file (1-based)
    GbkText name;  // without the spaces around it
    // One mark per entry of `questions`, in half points (6.5 is 13); none where the
    // cell was left empty.
    std::vector<std::optional<HalfPoints>> half_points;
  };
  // The rows with a name, in file order; blank rows are skipped.
  std::vector<Row> rows;
};

struct MarksRead {
  TeacherMarks marks;
  // Empty when the sheet was read; otherwise one line (GBK) naming the line of the
  // file and what is wrong. Nothing of a faulty sheet is used.
  GbkText problem;

  bool ok() const { return problem.empty(); }
};

// Reads a sheet saved by Excel or WPS as CSV: GBK, or UTF-8 with or without a byte
// order mark. The first non-blank row is the header: a column "姓名" and one column per
// question, headed "第1题", "第２题", "第三题" (a note in brackets may follow, as in
// "第1题（10分）"); other columns such as 总分 are ignored. Each later row holds a name
// and marks in whole or half points ("7", "6.5", "６.５", "6.5分", "7.0"); an empty
// cell means the question was not marked. A row may not reach past the header with
// text, nor stop before its last named column.
MarksRead ParseTeacherMarks(std::string_view bytes);

// The same for a file; a missing or unreadable file is a problem too.
MarksRead ReadTeacherMarks(const std::filesystem::path& path);

// `text` without ASCII white space and full-width spaces at either end.
std::string_view TrimSpaces(std::string_view text);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_TEACHER_MARKS_H_
