// What needs a second look (需要复核), in words: the same entries on the page (with
// links to the papers) and in the workbook's 需要复核 sheet (naming them).
#ifndef VANTRY_EXPORT_REVIEW_ROWS_H_
#define VANTRY_EXPORT_REVIEW_ROWS_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/review_list.h"
#include "analysis/total_changes.h"
#include "export/teacher_check.h"
#include "grading/graded_class.h"

namespace vantry {

// One entry (UTF-8).
struct ReviewRow {
  // The paper it is about; none for a name of the marks sheet without a paper.
  std::optional<size_t> paper;
  std::string name;  // the paper's name, or the marks sheet's
  int question = 0;  // the question it is about; 0 for the whole paper
  // What is to be looked at, e.g. "第3题的答案有内容，却得 0 分：红军到了陕北…".
  std::string detail;
  // Further papers the entry names (those identical to `paper`, a suggested name).
  std::vector<size_t> others;
};

// One kind of entry.
struct ReviewSection {
  std::string title;        // e.g. "有内容却得 0 分"
  std::string explanation;  // why such papers need a look
  std::vector<ReviewRow> rows;
  int64_t count = 0;  // all entries of this kind; rows may hold fewer
};

// The kinds that have entries, in the order a teacher works through them: totals a
// regrade changed, answers with content that scored 0, identical papers, blank
// papers, papers with fewer answers than the class, names of the marks sheet without
// a paper, and the papers where the rules and the teacher differ most. At most
// `max_rows` rows each. Papers whose answers are quoted are graded again for their
// records (GradedClass::Record).
std::vector<ReviewSection> ReviewSections(const GradedClass& graded,
                                          const ReviewList& review,
                                          const TeacherCheck* check,
                                          const TotalChanges* changes, size_t max_rows);

// The line for the summary when a regrade replaced a same-day report (GBK), e.g.
// "与今天早先的结果相比，2 名学生的总分变了：张三 8 → 10、李四 5 → 3"; empty when no
// paper could be matched to the old report.
GbkText TotalChangesLine(const GradedClass& graded, const TotalChanges& changes);

// A paper's name as the outputs show it: on one line, at most `max_characters`
// characters with "…" at a cut (UTF-8).
std::string ShownName(GbkView gbk, size_t max_characters);

}  // namespace vantry

#endif  // VANTRY_EXPORT_REVIEW_ROWS_H_
