// The result report file and the summary shown at the end of a grading run.
#ifndef VANTRY_GRADING_REPORT_H_
#define VANTRY_GRADING_REPORT_H_

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "grading/paper_record.h"
#include "text/clock.h"
#include "text/gbk_text.h"

namespace vantry {

// Appends one paper's report line to `report`: name, " ", the score line (every capped
// question score followed by one space), " ", the total, "\r\n". A paper without
// questions gives name, two spaces and "0".
void AppendReportLine(GbkText& report, std::string_view name, std::string_view score_line,
                      int32_t total);

// The same line from a graded paper's record: its name, its shown scores and total.
// Appends in place without building pieces, for runs of many papers.
void AppendReportLine(GbkText& report, const PaperRecord& paper);

// The report file's name for the clock's local date: "阅卷结果" + yyyyMMdd + ".txt", in
// GBK as the summary shows it.
GbkText ReportFileName(const Clock& clock);

struct ReportResult {
  // Where the report was (or would have been) written.
  std::filesystem::path path;
  // Its name in GBK, e.g. 阅卷结果20261208.txt.
  GbkText file_name;
  bool written = false;
  // The reading of the clock that dated it: the run's other outputs take their date
  // from it too, so a run across midnight names them all for one day.
  LocalDateTime dated;
};

// Writes `report_text`, cleaned of blank lines (which also drops its final line break),
// to the dated report file in `directory`, replacing a file of the same day. The file
// is replaced whole or not at all. `report_text` is cleaned in place.
ReportResult WriteReport(GbkText& report_text, const std::filesystem::path& directory,
                         const Clock& clock);

// The summary box's message for `paper_count` papers graded between the two 13-digit
// millisecond stamps: the number of papers, the whole seconds taken, the average per
// paper (three decimals at most; 0 without papers) and where the report was saved, or
// that it could not be saved.
GbkText SummaryText(int paper_count, std::string_view start_stamp,
                    std::string_view end_stamp, const ReportResult& report);

}  // namespace vantry

#endif  // VANTRY_GRADING_REPORT_H_
