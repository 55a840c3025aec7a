#include "export/output_writers.h"

#include "export/analysis_page.h"
#include "export/json_record.h"
#include "export/proposals_sheet.h"
#include "export/workbook.h"

namespace vantry {

Status WriteWorkbookOutput(const OutputWork& work, const std::filesystem::path& path) {
  const WorkbookContent content{.description = *work.description,
                                .check = work.check,
                                .review = work.review,
                                .changes = work.changes};
  WorkbookOptions book{.created = work.run.dated};
  if (const ProposalsReport* report = work.proposals) {
    book.extra_sheets.push_back({kProposalsSheetName, [report](SheetCells& cells) {
                                   WriteProposalsSheet(*report, cells);
                                 }});
  }
  return WriteWorkbook(work.run.graded, work.stats, path, content, book);
}

Status WritePageOutput(const OutputWork& work, const std::filesystem::path& path) {
  const AnalysisPageContent content{.description = *work.description,
                                    .check = work.check,
                                    .proposals = work.proposals,
                                    .review = work.review,
                                    .changes = work.changes,
                                    .workbook_name = work.workbook_name,
                                    .limits = {}};
  return WriteAnalysisPage(work.run.graded, work.stats, content, path);
}

Status WriteJsonOutput(const OutputWork& work, const std::filesystem::path& path) {
  return WriteJsonRecord(work.run.graded, work.stats,
                         {work.run.points_per_hit, work.run.order_keys}, path);
}

}  // namespace vantry
