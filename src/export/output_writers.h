// What the writers of the further outputs' files (output_table.h) read.
#ifndef VANTRY_EXPORT_OUTPUT_WRITERS_H_
#define VANTRY_EXPORT_OUTPUT_WRITERS_H_

#include <string>

#include "analysis/class_statistics.h"
#include "analysis/review_list.h"
#include "analysis/total_changes.h"
#include "export/output_table.h"
#include "export/proposals_report.h"
#include "export/run_description.h"
#include "export/teacher_check.h"
#include "grading/run_skeleton.h"

namespace vantry {

// The run and what was made of it before the files are written. The pointers are null
// for what was not made.
struct OutputWork {
  const FinishedRun& run;
  const ClassStatistics& stats;
  // Which exam, when, with which boxes; made when the workbook or the page is asked.
  const RunDescription* description = nullptr;
  const TeacherCheck* check = nullptr;
  const ProposalsReport* proposals = nullptr;
  const ReviewList* review = nullptr;
  // The totals changed since the same-day report the run replaced.
  const TotalChanges* changes = nullptr;
  // The name (UTF-8) the workbook goes under, which the page points to; empty when
  // none is written.
  std::string workbook_name;
};

}  // namespace vantry

#endif  // VANTRY_EXPORT_OUTPUT_WRITERS_H_
