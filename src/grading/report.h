// The result report file and the summary shown at the end of a grading run.
#ifndef VANTRY_GRADING_REPORT_H_
#define VANTRY_GRADING_REPORT_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "grading/paper_record.h"
#include "platform/clock.h"
#include "platform/result.h"
#include "text/gbk_text.h"

namespace vantry {

// Appends one paper's report line to `report`: name, " ", the score line (every capped
// question score followed by one space), " ", the total, "\r\n". A paper without
// questions gives name, two spaces and "0".
void AppendReportLine(GbkText& report, GbkView name, GbkView score_line, int32_t total);

// The same line from a graded paper's record: its name, its shown scores and total.
// Appends in place without building pieces, for runs of many papers.
void AppendReportLine(GbkText& report, const PaperRecord& paper);

// A line of a report read back: the name and the total.
struct ReportedTotal {
  GbkView name;  // a view into the report
  int32_t total = 0;
};

// The name and the total of every line of `report`, a report as WriteReport writes it
// (name, " ", each score and " ", " ", the total; lines joined by CRLF), read from the
// end of each line, which always ends in two spaces and the total. A line that does
// not (a name broken over lines) joins the next. A name may end in numbers itself
// (张 3): of the names a line can be read with, the shortest for which `is_name` says
// yes is taken (of the shortest few), else the shortest.
std::vector<ReportedTotal> ReadReportTotals(GbkView report,
                                            const std::function<bool(GbkView)>& is_name);

// The report's file name (UTF-8): the stem, the date as yyyyMMdd, the extension.
inline constexpr std::string_view kReportFileStem = "阅卷结果";
inline constexpr std::string_view kReportFileExtension = ".txt";

// The report file's name for the clock's local date: "阅卷结果" + yyyyMMdd + ".txt", in
// GBK as the summary shows it.
GbkText ReportFileName(const Clock& clock);

struct ReportResult {
  // Where the report was (or would have been) written.
  std::filesystem::path path;
  // Its name in GBK, e.g. 阅卷结果20261208.txt.
  GbkText file_name;
  // Whether it was written; the summary words a failure itself.
  Status written = Failure{};
  // The reading of the clock that dated it: the run's other outputs take their date
  // from it too, so a run across midnight names them all for one day.
  LocalDateTime dated;
  // The text of the same-day report it replaced, read just before; none when there was
  // none (or it was not a file that could be read).
  std::optional<GbkText> replaced;
};

// Writes `report_text`, cleaned of blank lines (which also drops its final line break),
// to the dated report file in `directory`, replacing a file of the same day, whose
// text is kept in the result. The file is replaced whole or not at all. `report_text`
// is cleaned in place.
[[nodiscard]] ReportResult WriteReport(GbkText& report_text,
                                       const std::filesystem::path& directory,
                                       const Clock& clock);

// When a run started and ended, by one clock reading each.
struct RunTimes {
  LocalDateTime started;
  LocalDateTime ended;
};

// The summary box's message for `paper_count` papers graded in `times`: the number of
// papers, the whole seconds taken (as the difference of the two TimestampMilliseconds),
// the average per paper (three decimals at most; 0 without papers) and where the
// report was saved, or that it could not be saved.
GbkText SummaryText(int64_t paper_count, const RunTimes& times,
                    const ReportResult& report);

}  // namespace vantry

#endif  // VANTRY_GRADING_REPORT_H_
