// The Excel workbook a grading run leaves beside its report: scores a teacher can sort,
// check and take away.
#ifndef VANTRY_EXPORT_WORKBOOK_H_
#define VANTRY_EXPORT_WORKBOOK_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/class_statistics.h"
#include "analysis/review_list.h"
#include "analysis/total_changes.h"
#include "export/run_description.h"
#include "export/teacher_check.h"
#include "grading/graded_class.h"
#include "platform/clock.h"
#include "platform/result.h"

namespace vantry {

// The most rows an Excel sheet holds, its header row included.
inline constexpr int64_t kExcelMaxRows = 1048576;

// The cells of a sheet that another part of the program fills, written row by row
// from the top (the workbook streams its rows to disk). Texts are UTF-8 and shown as
// they stand; a text too long for a cell is cut with "…".
class SheetCells {
 public:
  enum class Style { kPlain, kHeader, kNote };
  virtual ~SheetCells() = default;
  virtual void Text(int64_t row, int col, const std::string& utf8,
                    Style style = Style::kPlain) = 0;
  virtual void Number(int64_t row, int col, double value) = 0;
  // `lead`, then `marked` in bold red, then `tail`, in one cell.
  virtual void MarkedText(int64_t row, int col, const std::string& lead,
                          const std::string& marked, const std::string& tail) = 0;
  // Columns first..last this many characters wide; before any cell is written.
  virtual void Width(int first, int last, double width) = 0;
};

// A sheet written after the workbook's own.
struct ExtraSheet {
  std::string name;
  std::function<void(SheetCells& cells)> write;
};

struct WorkbookOptions {
  // Rows one sheet may hold, its header included: a sheet whose rows grow with the
  // class or the exam continues beyond them on a sheet of the same name numbered 2, 3,
  // ... (评分依据2, 成绩2; tests use fewer).
  int64_t max_rows_per_sheet = kExcelMaxRows;
  // The creation time the workbook records (the moment the report was dated), so that
  // the same run writes the same bytes; none: when the workbook is written.
  std::optional<LocalDateTime> created = std::nullopt;
  // Sheets that follow the others, in order (规则建议).
  std::vector<ExtraSheet> extra_sheets = {};
};

// What the workbook records besides the class.
struct WorkbookContent {
  // Which exam, when, with which boxes: the 阅卷信息 sheet, every printed page's
  // header and the document's properties.
  RunDescription description;
  // The check against the teacher's marks (its verdict on 阅卷信息, its names and
  // largest disagreements on 需要复核); may be null.
  const TeacherCheck* check = nullptr;
  // What needs a second look and what a regrade changed; may be null.
  const ReviewList* review = nullptr;
  const TotalChanges* changes = nullptr;
};

// Why a workbook was not written.
enum class WorkbookProblem {
  kNone,
  kNoRoom,         // the disk (of the folder or the temporary folder) is full
  kFileSizeLimit,  // a file grew past the size the system allows this process
  kIncomplete,     // what was written did not read back whole
  kCannotCreate,   // no new file can be made in the folder
  kCannotReplace,  // the file there could not be replaced (held open, read-only)
  kNameTaken,      // a folder or another thing that is no file has the name
  kNoMemory,
  kFailed,  // the library refused, for another reason
};

// The problem in a few words for the summary (UTF-8), e.g. "磁盘空间不足"; empty for
// kNone.
std::string WorkbookProblemText(WorkbookProblem problem);

// Writes the workbook of `graded`, whose statistics are `stats`, to `path`, replacing
// a file there whole or not at all (a temporary beside it, renamed). Sheets:
//   成绩      名次, 姓名, 第1题 … 第N题, 总分, in sheet order, numbers; ties share a
//             rank; a question a paper lacks shows 0; header frozen, filter on.
//   需要复核  what needs a second look, by kind: 类别, 姓名, 题号, 说明.
//   小题分析  per question: full marks, mean, 得分率, highest, lowest, full and zero
//             counts, standard deviation, discrimination, papers answered; then 全卷.
//   得分点    per question and keyword group: papers that hit it and their share
//             (coloured from red to green, so the points most missed stand out), the
//             alternative found most often, and for ordered groups how often the
//             chain earned its bonus.
//   分数段    totals in bands of 10 % of the full marks, with 优秀, 及格 and 低分;
//             full marks that are not known are said in words instead.
//   评分依据  one row per paper and question with the explanation and, beside it,
//             the answer (a longer answer than a cell holds is cut, saying where the
//             whole one is), continued on further sheets beyond
//             `options.max_rows_per_sheet`.
//   阅卷信息  the exam, the date and time, the papers, the 分值 and 先后顺序 texts,
//             the full marks and the check's verdict.
// Every sheet prints on A4 (landscape where it is wide), fitted to one page wide, its
// header row repeated on every page, the exam and the date in the page header.
// Texts are UTF-8, bytes that are not valid GBK shown as U+FFFD. A statistic that is
// absent is an empty cell. Memory stays bounded whatever the class size: rows are
// spooled to disk as they are written, in the system's temporary folder, or where
// that has no room (a small or full temporary drive) beside `path`. The finished
// archive is stamped (kept_outputs.h) and read back whole (every member inflated and
// checked, every sheet holding the rows and cells it was given, the stamp matching)
// before it replaces anything, and uses the ZIP64 extensions when its sheets, as
// spooled, approach 4 GB. Runs the message pump between blocks of explanations, so a
// window waiting for it stays alive.
// When it fails, the message is WorkbookProblemText of why.
[[nodiscard]] Status WriteWorkbook(const GradedClass& graded,
                                   const ClassStatistics& stats,
                                   const std::filesystem::path& path,
                                   const WorkbookContent& content,
                                   const WorkbookOptions& options = {});

}  // namespace vantry

#endif  // VANTRY_EXPORT_WORKBOOK_H_
