// The workbook's sheet 规则建议: the rule proposals with their evidence, one row per
// marked paper an edit changes, so the teacher can filter and sort them.
#ifndef VANTRY_EXPORT_PROPOSALS_SHEET_H_
#define VANTRY_EXPORT_PROPOSALS_SHEET_H_

#include "export/proposals_report.h"
#include "export/workbook.h"

namespace vantry {

// The sheet's name.
inline constexpr const char* kProposalsSheetName = "规则建议";

// Writes the report: where the proposed rules went, per question the estimate on
// papers not learned from, per proposal and changed paper one row (the wording marked
// in the answer), then the papers to mark next.
void WriteProposalsSheet(const ProposalsReport& report, SheetCells& cells);

}  // namespace vantry

#endif  // VANTRY_EXPORT_PROPOSALS_SHEET_H_
