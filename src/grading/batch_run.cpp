#include "grading/batch_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "grading/answer_sheet.h"
#include "grading/grade_paper.h"
#include "scoring/question_rules.h"
#include "scoring/scoring_boxes.h"

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
                 const RunProgress& on_progress, std::vector<Block>& blocks) {
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

// The batch's part of the run: the fixed boxes, the papers graded in blocks on every
// thread, no view but the progress.
class BatchGrading final : public ExamGrading {
 public:
  BatchGrading(const ProgramState& state, const BatchOptions& options)
      : state_(state), options_(options) {}

  FieldCollection field_collection() const override {
    return ThreadCount(options_.jobs) > 1 ? FieldCollection::kTwoThreads
                                          : FieldCollection::kOneThread;
  }

  GradedClass Grade(const LoadedAnswerSheet& sheet, GbkText& report) override {
    // Compiled once the exam files passed their check.
    const CompiledRules& rules = rules_.emplace(state_);
    FixedScoringBoxes& boxes =
        boxes_.emplace(options_.points_per_hit, options_.order_keys, rules);
    std::vector<Block> blocks;
    GradeBlocks(state_, rules, boxes, sheet, options_.jobs, options_.on_progress, blocks);
    GradedClass graded;
    size_t report_bytes = 0;
    for (const Block& block : blocks) report_bytes += block.report.size();
    report.reserve(report_bytes);
    for (Block& block : blocks) {
      report += block.report;
      graded.Append(std::move(block.graded));
      block = Block();
    }
    // The boxes held still, so grading a paper again gives its record as it was.
    regraders_.emplace(state_, rules, boxes, sheet);
    graded.set_record_source([this](size_t index, PaperRecord& record) {
      regraders_->Regrade(index, record);
    });
    return graded;
  }

  BoxesUsed Boxes() override {
    return {.points_per_hit = options_.points_per_hit, .order_keys = options_.order_keys};
  }

 private:
  const ProgramState& state_;
  const BatchOptions& options_;
  std::optional<CompiledRules> rules_;
  std::optional<FixedScoringBoxes> boxes_;
  std::optional<Regraders> regraders_;
};

}  // namespace

RunOutcome GradeBatch(const ProgramState& state, const BatchOptions& options) {
  BatchGrading grading(state, options);
  return RunExam(state, options, grading);
}

}  // namespace vantry
