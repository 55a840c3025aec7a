#include "cli/exit_code.h"

namespace vantry {

GradeExit ExitOfRun(const RunOutcome& outcome) {
  if (!outcome.checked.ok()) return GradeExit::kNothingGraded;
  if (!outcome.report.written.ok()) return GradeExit::kReportNotWritten;
  return outcome.outputs_failed ? GradeExit::kOutputNotDone : GradeExit::kDone;
}

}  // namespace vantry
