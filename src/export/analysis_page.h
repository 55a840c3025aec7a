// The class analysis page: one self-contained HTML file (no network, no external
// script, font or stylesheet) in Chinese, with inline SVG charts, that opens from a USB
// stick on any computer, reads on a phone and prints on A4.
#ifndef VANTRY_EXPORT_ANALYSIS_PAGE_H_
#define VANTRY_EXPORT_ANALYSIS_PAGE_H_

#include <cstddef>
#include <filesystem>
#include <string>

#include "analysis/class_statistics.h"
#include "analysis/review_list.h"
#include "analysis/total_changes.h"
#include "export/proposals_report.h"
#include "export/run_description.h"
#include "export/teacher_check.h"
#include "grading/graded_class.h"
#include "platform/clock.h"
#include "platform/result.h"

namespace vantry {

// What one class, one paper or one text may put on the page, so that a page of any
// class opens in a browser: past these the page says what it left out and points to
// the workbook, which holds everything.
struct PageLimits {
  // Classes of more papers get no students' table: the page summarises.
  size_t listed_papers = 20000;
  // The students' table (with its explanations and answers) stops at this many
  // bytes: past them the page summarises instead. With the rest of the page well
  // under 1 MB, every page stays under 15 MB.
  size_t table_bytes = 14u << 20;
  // Questions with a column, a bar and an explanation; the rest are only counted.
  int questions = 100;
  // The answers go on the page while all of them, each paper's cut to
  // `answer_bytes_per_paper` (GBK), add up to at most `answer_bytes`.
  size_t answer_bytes = 3u << 20;
  size_t answer_bytes_per_paper = 4000;
  // Characters of a name shown.
  size_t name_characters = 100;
};

struct AnalysisPageContent {
  // Which exam, when, with which boxes: in the title and the header.
  RunDescription description;
  // The check against the teacher's marks; none when there was no sheet.
  const TeacherCheck* check = nullptr;
  // The rule proposals learned from her marks; none when none were made.
  const ProposalsReport* proposals = nullptr;
  // What needs a second look, and the totals a regrade changed; none: left out.
  const ReviewList* review = nullptr;
  const TotalChanges* changes = nullptr;
  // The workbook the run wrote (its file name, UTF-8), which the page points to for
  // what it leaves out; empty when none was written.
  std::string workbook_name;
  PageLimits limits;
};

// The page for `graded`, whose statistics are `statistics` (computed once for every
// output): the exam, date and boxes; what needs a second look, each entry linking to
// its paper; the class summary; the totals in bands of 10 % of the full marks and each
// question's score rate as bar charts; per question its keyword groups, the
// most-missed first, and its discrimination index in words; the check against the
// teacher's marks, its verdict in plain words first; and the students' table (名次,
// 姓名, each question, 总分), ranked, sortable by clicking a column head, each row
// opening to every question's explanation and answer with the wordings that scored
// marked. Every text from the input files is escaped, and the page's security policy
// lets it load nothing and run no script but its own. The explanations are written
// once per distinct text and the answers as data, both put in place by a few lines of
// script when a row is opened; the rest reads without script.
std::string AnalysisPageHtml(const GradedClass& graded, const ClassStatistics& statistics,
                             const AnalysisPageContent& content);

// Builds the page, stamps it (kept_outputs.h) and writes it to `path`, replacing a file
// there whole or not at all. Fails when it could not be written (a page too large for
// the memory left included).
[[nodiscard]] Status WriteAnalysisPage(const GradedClass& graded,
                                       const ClassStatistics& statistics,
                                       const AnalysisPageContent& content,
                                       const std::filesystem::path& path);

}  // namespace vantry

#endif  // VANTRY_EXPORT_ANALYSIS_PAGE_H_
