// Progress of a batch grading on stderr.
#ifndef VANTRY_CLI_PROGRESS_H_
#define VANTRY_CLI_PROGRESS_H_

#include <cstdint>
#include <cstdio>

namespace vantry {

// Reports graded/total papers. On a terminal it redraws one bar line whenever the
// whole percentage changes; elsewhere (a log file, a pipe) it writes a plain line at
// every tenth of a long run (1000 papers or more) and nothing for short ones. Writes at
// most about a hundred times per run, whatever the number of papers.
class ProgressReporter {
 public:
  ProgressReporter(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}
  void Update(int64_t graded, int64_t total);

 private:
  std::FILE* out_;
  bool terminal_;
  int last_step_ = -1;
};

}  // namespace vantry

#endif  // VANTRY_CLI_PROGRESS_H_
