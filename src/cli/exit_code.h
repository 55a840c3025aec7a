// vantry-grade's exit status, and how a run's outcome decides it.
#ifndef VANTRY_CLI_EXIT_CODE_H_
#define VANTRY_CLI_EXIT_CODE_H_

#include "grading/run_skeleton.h"

namespace vantry {

// The codes the help's "Exit status" paragraph lists.
enum class GradeExit : int {
  // Graded; the report and every further output asked for were written.
  kDone = 0,
  kReportNotWritten = 1,
  // Also a --check or --propose file that cannot be read: nothing is written then.
  kBadArguments = 2,
  // The exam files cannot be graded as they are: nothing is written.
  kNothingGraded = 3,
  // The report was written, but a further output was not done (the summary says which).
  kOutputNotDone = 4,
};

// The exit of a run that was started: the check before it first, then the report,
// then the further outputs.
[[nodiscard]] GradeExit ExitOfRun(const RunOutcome& outcome);

// The process's exit code for `exit`.
constexpr int ExitCode(GradeExit exit) { return static_cast<int>(exit); }

}  // namespace vantry

#endif  // VANTRY_CLI_EXIT_CODE_H_
