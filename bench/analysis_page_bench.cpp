// Times the analysis page of a large class: grades the exam in a folder as
// vantry-grade does, then computes the statistics, finds what needs a second look and
// writes the page (with the check against 教师评分.csv when that sheet is in the
// folder) RUNS times, and prints the
// median and slowest wall time, the median processor time (less swayed by other work
// on a shared machine), the page's size and how many distinct explanations it holds.
//
//   analysis_page_bench DIR [ORDER] [RUNS=5]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "analysis/class_statistics.h"
#include "analysis/review_list.h"
#include "export/analysis_page.h"
#include "export/output_table.h"
#include "export/run_description.h"
#include "export/teacher_check.h"
#include "grading/batch_run.h"
#include "platform/clock.h"
#include "platform/file_io.h"
#include "scoring/parameters.h"

int main(int argc, char** argv) {
  using namespace vantry;
  if (argc < 2) {
    std::fprintf(stderr, "usage: analysis_page_bench DIR [ORDER] [RUNS]\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  ProgramState state;
  BatchOptions batch;
  batch.directory = dir;
  batch.parameters_load = LoadParameters(state, dir);
  if (argc > 2) batch.order_keys = GbkText(argv[2]);
  std::vector<double> seconds, cpu_seconds;
  size_t page_bytes = 0, papers = 0, distinct = 0;
  batch.extra_outputs = [&](const FinishedRun& run) {
    const GradedClass& graded = run.graded;
    papers = graded.paper_count();
    const std::filesystem::path path = dir / DatedOutputName(kPageOutput, run.dated);
    for (int round = 0; round < runs; ++round) {
      const auto start = std::chrono::steady_clock::now();
      timespec cpu_start{}, cpu_end{};
      clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu_start);
      const ClassStatistics statistics = ComputeClassStatistics(graded, state);
      const std::optional<TeacherCheck> check = CheckBesideExam(graded, dir);
      const ReviewList review = FindPapersToReview(
          graded, statistics, check && check->ok() ? &check->comparison : nullptr);
      const Status written = WriteAnalysisPage(graded, statistics,
                                               {.description = DescribeRun(dir, run),
                                                .check = check ? &*check : nullptr,
                                                .review = &review,
                                                .changes = nullptr,
                                                .workbook_name = "阅卷结果.xlsx",
                                                .limits = {}},
                                               path);
      if (!written) {
        std::fprintf(stderr, "analysis_page_bench: the page was not written\n");
        std::exit(1);
      }
      seconds.push_back(
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
              .count());
      clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu_end);
      cpu_seconds.push_back(static_cast<double>(cpu_end.tv_sec - cpu_start.tv_sec) +
                            static_cast<double>(cpu_end.tv_nsec - cpu_start.tv_nsec) /
                                1e9);
    }
    const std::string html = ReadWholeFile(path);
    page_bytes = html.size();
    // The explanations block holds each distinct text once, as a JSON string.
    const size_t block = html.find("id=\"explanations\">");
    for (size_t at = html.find("\",\"", block); at != std::string::npos;
         at = html.find("\",\"", at + 3))
      ++distinct;
    return OutputNotes{};
  };
  const RunOutcome outcome = GradeBatch(state, batch);
  if (!outcome.checked.ok() || seconds.empty()) {
    std::fprintf(stderr, "analysis_page_bench: nothing graded in %s\n", argv[1]);
    return 1;
  }
  std::sort(seconds.begin(), seconds.end());
  std::sort(cpu_seconds.begin(), cpu_seconds.end());
  std::printf("papers:      %zu\n", papers);
  std::printf(
      "page time:   median %.3f s, slowest %.3f s of %d runs "
      "(statistics, explanations, page written)\n",
      seconds[seconds.size() / 2], seconds.back(), runs);
  std::printf("page CPU:    median %.3f s\n", cpu_seconds[cpu_seconds.size() / 2]);
  std::printf("page size:   %.2f MB\n", static_cast<double>(page_bytes) / 1048576);
  std::printf("explanations: about %zu distinct texts\n", distinct);
  return 0;
}
