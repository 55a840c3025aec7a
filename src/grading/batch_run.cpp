#include "grading/batch_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "grading/answer_sheet.h"
#include "grading/grade_paper.h"
#include "scoring/question_rules.h"
#include "scoring/scoring_boxes.h"
#include "text/date_time.h"

namespace vantry {
namespace {

// Papers per block: large enough that handing out blocks costs nothing, small enough
// that the threads finish together and progress moves smoothly.
constexpr size_t kBlockPapers = 512;

// One block's results, merged in block order when all are done.
struct Block {
  GradedClass graded;
  GbkText report;
};

// Grades blocks of papers on one thread; every thread has its own scratch.
class BlockGrader {
 public:
  BlockGrader(const ProgramState& state, const CompiledRules& rules,
              FixedScoringBoxes& boxes, const LoadedAnswerSheet& sheet)
      : rules_(rules), grader_(state, rules_, boxes), sheet_(sheet) {}

  void Grade(size_t first, size_t end, Block& block) {
    block.report.reserve((end - first) * 64);
    for (size_t i = first; i < end; ++i) {
      grader_.Grade(sheet_.name(i), sheet_.answer(i), record_);
      AppendReportLine(block.report, record_);
      block.graded.Add(record_);
    }
  }

  void Regrade(size_t index, PaperRecord& record) {
    grader_.Grade(sheet_.name(index), sheet_.answer(index), record);
  }

 private:
  PrecompiledRules rules_;
  PaperGrader grader_;
  const LoadedAnswerSheet& sheet_;
  PaperRecord record_;
};

// Grades papers again for their records, on whichever threads ask at once (the outputs
// are written side by side): each call borrows a grader no other thread is using.
class Regraders {
 public:
  Regraders(const ProgramState& state, const CompiledRules& rules,
            FixedScoringBoxes& boxes, const LoadedAnswerSheet& sheet)
      : state_(state), rules_(rules), boxes_(boxes), sheet_(sheet) {}

  void Regrade(size_t index, PaperRecord& record) {
    std::unique_ptr<BlockGrader> grader;
    {
      std::lock_guard lock(mutex_);
      if (!idle_.empty()) {
        grader = std::move(idle_.back());
        idle_.pop_back();
      }
    }
    if (!grader) grader = std::make_unique<BlockGrader>(state_, rules_, boxes_, sheet_);
    grader->Regrade(index, record);
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(grader));
  }

 private:
  const ProgramState& state_;
  const CompiledRules& rules_;
  FixedScoringBoxes& boxes_;
  const LoadedAnswerSheet& sheet_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<BlockGrader>> idle_;  // guarded by mutex_
};

int ThreadCount(int jobs) {
  if (jobs > 0) return jobs;
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// Grades every paper into `blocks`, reporting progress on the calling thread.
void GradeBlocks(const ProgramState& state, const CompiledRules& rules,
                 FixedScoringBoxes& boxes, const LoadedAnswerSheet& sheet, int jobs,
                 const std::function<void(int64_t, int64_t)>& on_progress,
                 std::vector<Block>& blocks) {
  const size_t papers = sheet.paper_count();
  const size_t block_count = (papers + kBlockPapers - 1) / kBlockPapers;
  blocks.resize(block_count);
  const auto total = static_cast<int64_t>(papers);
  const int threads = std::min<int>(ThreadCount(jobs), static_cast<int>(block_count));
  if (threads <= 1) {
    BlockGrader grader(state, rules, boxes, sheet);
    for (size_t b = 0; b < block_count; ++b) {
      const size_t first = b * kBlockPapers;
      const size_t end = std::min(papers, first + kBlockPapers);
      grader.Grade(first, end, blocks[b]);
      if (on_progress) on_progress(static_cast<int64_t>(end), total);
    }
    return;
  }

  std::atomic<size_t> next_block{0};
  std::mutex mutex;
  std::condition_variable done;
  int64_t graded = 0;  // guarded by mutex
  int running = threads;
  {
    std::vector<std::jthread> workers;
    for (int t = 0; t < threads; ++t) {
      workers.emplace_back([&] {
        BlockGrader grader(state, rules, boxes, sheet);
        for (size_t b = next_block++; b < block_count; b = next_block++) {
          const size_t first = b * kBlockPapers;
          const size_t end = std::min(papers, first + kBlockPapers);
          grader.Grade(first, end, blocks[b]);
          std::lock_guard lock(mutex);
          graded += static_cast<int64_t>(end - first);
          done.notify_one();
        }
        std::lock_guard lock(mutex);
        --running;
        done.notify_one();
      });
    }
    std::unique_lock lock(mutex);
    while (running > 0) {
      done.wait_for(lock, std::chrono::milliseconds(100));
      if (on_progress) {
        const int64_t so_far = graded;
        lock.unlock();
        on_progress(so_far, total);
        lock.lock();
      }
    }
  }
}

}  // namespace

BatchOutcome GradeBatch(const ProgramState& state, const BatchOptions& options) {
  const Clock& clock = *options.clock;
  BatchOutcome outcome;
  const GbkText start_stamp = TimestampText(clock);
  AnswerSheetRead read = ReadAnswerSheet(options.directory);
  const LoadedAnswerSheet sheet(std::move(read.text), ThreadCount(options.jobs) > 1
                                                          ? FieldCollection::kTwoThreads
                                                          : FieldCollection::kOneThread);
  outcome.problem = CheckAnswerSheet(options.directory, read, sheet);
  if (!outcome.problem) {
    outcome.problem = CheckParameters(options.directory, options.parameters_load, state);
  }
  if (outcome.problem) return outcome;

  const CompiledRules rules(state);
  FixedScoringBoxes boxes(options.points_per_hit, options.order_keys, rules);
  std::vector<Block> blocks;
  GradeBlocks(state, rules, boxes, sheet, options.jobs, options.on_progress, blocks);

  GradedClass graded;
  size_t report_bytes = 0;
  for (const Block& block : blocks) report_bytes += block.report.size();
  GbkText report;
  report.reserve(report_bytes);
  for (Block& block : blocks) {
    report += block.report;
    graded.Append(std::move(block.graded));
    block = Block();
  }
  blocks.clear();
  graded.SetCaps(state);
  // The boxes held still, so grading a paper again gives its record as it was.
  Regraders regraders(state, rules, boxes, sheet);
  graded.set_record_source([&regraders](size_t index, PaperRecord& record) {
    regraders.Regrade(index, record);
  });

  outcome.paper_count = static_cast<int64_t>(sheet.paper_count());
  outcome.report = WriteReport(report, options.directory, clock);
  OutputNotes notes;
  if (options.extra_outputs) {
    notes = options.extra_outputs({.graded = graded,
                                   .dated = outcome.report.dated,
                                   .points_per_hit = options.points_per_hit,
                                   .order_keys = options.order_keys,
                                   .replaced_report = outcome.report.replaced});
  }
  outcome.report.replaced.reset();
  const GbkText end_stamp = TimestampText(clock);
  outcome.outputs_failed = notes.failed;
  outcome.summary = SummaryWithNotes(
      SummaryText(static_cast<int>(std::min<int64_t>(outcome.paper_count, INT32_MAX)),
                  start_stamp, end_stamp, outcome.report),
      notes.lines);
  return outcome;
}

}  // namespace vantry
