// The marks a teacher gave by hand, read from a CSV sheet, to check the rules against.
#ifndef VANTRY_ANALYSIS_TEACHER_MARKS_H_
#define VANTRY_ANALYSIS_TEACHER_MARKS_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/half_points.h"
#include "platform/result.h"
#include "text/gbk_text.h"

namespace vantry {

// The sheet beside the exam files that the window's run and vantry-grade check the
// rules against when it is there.
inline constexpr std::string_view kTeacherMarksFileName = "教师评分.csv";

// The rows of a sheet, held compactly: a sheet of many short rows takes a few times its
// size in memory, not tens of times.
class TeacherMarks {
 public:
  // The question of each mark column, in the sheet's column order.
  std::vector<int> questions;

  // The rows with a name, in file order; blank rows are skipped.
  size_t row_count() const { return lines_.size(); }
  // Where row `row` starts in the file (1-based).
  int line(size_t row) const { return lines_[row]; }
  // Its name, without the spaces around it.
  GbkView name(size_t row) const;
  // Its mark in mark column `column` (an index of `questions`), in half points (6.5 is
  // 13); none where the cell was left empty.
  std::optional<HalfPoints> half_points(size_t row, size_t column) const;

  // Appends a row with one mark per entry of `questions`.
  void AddRow(int line, GbkView name,
              std::span<const std::optional<HalfPoints>> half_points);
  // Gives back the room that growing left unused.
  void ShrinkToFit();

 private:
  // Stands for an empty cell: no mark reads as it (marks lie within ±2^31 points).
  static constexpr HalfPoints kNoMark = std::numeric_limits<HalfPoints>::min();

  // Deques: they grow without copying what they hold, so a sheet of millions of rows
  // never needs its table twice in memory.
  std::deque<int> lines_;
  std::deque<uint32_t> name_ends_;  // row r's name is names_[end of r−1, end of r)
  std::string names_;
  std::deque<HalfPoints> half_points_;  // row by row, questions.size() to a row
};

// The marks of a sheet, or one line naming the line of the file and what is wrong
// (UTF-8; the summary shows it in GBK). Nothing of a faulty sheet is used.
using MarksRead = Result<TeacherMarks>;

// Reads a sheet saved by Excel or WPS as CSV: GBK, or UTF-8 with or without a byte
// order mark (at most 4 GiB). The first non-blank row is the header: a column "姓名"
// and one column per question, headed "第1题", "第２题", "第三题" (a note in brackets may
// follow, as in "第1题（10分）"); other columns such as 总分 are ignored. Each later row
// holds a name and marks in whole or half points ("7", "6.5", "６.５", "6.5分", "7.0");
// an empty cell means the question was not marked. A row may not reach past the header
// with text, nor stop before its last named column.
[[nodiscard]] MarksRead ParseTeacherMarks(std::string_view bytes);

// The same for a file; a missing, unreadable or special file (a folder, a FIFO, a
// device), one over 64 MB, and one that does not fit in memory are problems too.
[[nodiscard]] MarksRead ReadTeacherMarks(const std::filesystem::path& path);

// A cell or a name without ASCII white space and full-width spaces at either end: a
// view into `text`, where the text module's TrimSpaces makes a copy.
GbkView TrimCell(GbkView text);

}  // namespace vantry

#endif  // VANTRY_ANALYSIS_TEACHER_MARKS_H_
