// The class analysis page: one self-contained HTML file (no network, no external
// script, font or stylesheet) in Chinese, with inline SVG charts, that opens from a USB
// stick on any computer and prints on A4.
#ifndef VANTRY_EXPORT_ANALYSIS_PAGE_H_
#define VANTRY_EXPORT_ANALYSIS_PAGE_H_

#include <filesystem>
#include <string>
#include <vector>

#include "analysis/class_statistics.h"
#include "export/proposals_report.h"
#include "export/teacher_check.h"
#include "grading/graded_class.h"
#include "scoring/program_state.h"
#include "text/clock.h"
#include "text/gbk_text.h"

namespace vantry {

struct AnalysisPageContent {
  // The day of the run, as shown in the title (UTF-8, e.g. "2026年12月8日").
  std::string date;
  // The check against the teacher's marks; none when there was no sheet.
  const TeacherCheck* check = nullptr;
  // The rule proposals learned from her marks; none when none were made.
  const ProposalsReport* proposals = nullptr;
};

// The page for `graded`, whose statistics are `statistics` (computed once for every
// output): the class summary; the totals in bands of 10 % of the full marks and each
// question's score rate as bar charts; per question its keyword groups, the
// most-missed first, and its discrimination index in words; the check against the
// teacher's marks; and the students' table (名次, 姓名, each question, 总分), ranked,
// sortable by clicking a column head, each row opening to the explanation of every
// question. Every text from the input files is escaped, and the page's security policy
// lets it load nothing and run no script but its own. The explanations are written
// once per distinct text and put in place by a few lines of script when a row is
// opened, which keeps the page of a large class small; the rest reads without script.
std::string AnalysisPageHtml(const GradedClass& graded, const ClassStatistics& statistics,
                             const AnalysisPageContent& content);

struct AnalysisPageOptions {
  // The folder the page is written to, beside the report.
  std::filesystem::path directory;
  // The day the page is for (the run's report's): it names the file and dates the
  // title.
  LocalDateTime day;
  // The check against the teacher's marks to show; none: the page has no such section.
  const TeacherCheck* check = nullptr;
  // The rule proposals to show (section 规则建议); none: no such section.
  const ProposalsReport* proposals = nullptr;
};

struct AnalysisPageResult {
  std::filesystem::path path;
  GbkText file_name;  // 阅卷分析yyyyMMdd.html
  bool written = false;
  // A line for the run's summary when the page was not written (GBK).
  std::vector<GbkText> notes;
};

// Builds the page and writes it beside the report as "阅卷分析" + yyyyMMdd + ".html",
// replacing a page of the same day whole or not at all.
AnalysisPageResult WriteAnalysisPage(const GradedClass& graded,
                                     const ClassStatistics& statistics,
                                     const AnalysisPageOptions& options);

}  // namespace vantry

#endif  // VANTRY_EXPORT_ANALYSIS_PAGE_H_
