#include "grading/batch_run.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "controls/control_names.h"
#include "controls/in_memory_controls.h"
#include "grading/grading_run.h"
#include "platform/file_io.h"
#include "testing/rule_texts.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;
using testing::TempDir;

// Everything a record says, flattened to text, so two records compare as one value.
std::string Describe(const PaperRecord& paper) {
  std::string out(paper.name.bytes());
  out += " total=" + std::to_string(paper.total) + "\n";
  for (const QuestionRecord& q : paper.questions) {
    out += " q" + std::to_string(q.question) + " [" + std::string(q.answer.bytes()) +
           "] raw=" + std::to_string(q.raw_score) +
           " shown=" + std::to_string(q.shown_score) +
           " cap=" + (q.cap ? std::to_string(*q.cap) : "-") +
           " bonus=" + std::to_string(q.bonus) + " chain=";
    for (int64_t p : paper.Chain(q)) out += std::to_string(p) + ",";
    for (const GroupRecord& g : paper.Groups(q)) {
      out += " g" + std::to_string(g.group) +
             (g.mode == GroupMode::kOrdered ? "o" : "u") + "a" +
             std::to_string(g.alternative) + "@" + std::to_string(g.position) + "+" +
             std::to_string(g.points);
    }
    out += "\n";
  }
  return out;
}

struct Collected {
  std::vector<std::string> records;
  std::vector<int32_t> totals;
};

// Takes every paper's record on four threads at once, each starting from another
// paper, as outputs written side by side do: every thread must see the same records.
ExtraOutputs Collect(Collected& into) {
  return [&into](const FinishedRun& run) {
    const GradedClass& graded = run.graded;
    constexpr size_t kThreads = 4;
    const size_t papers = graded.paper_count();
    std::vector<std::vector<std::string>> seen(kThreads,
                                               std::vector<std::string>(papers));
    {
      std::vector<std::jthread> readers;
      for (size_t t = 0; t < kThreads; ++t) {
        readers.emplace_back([&graded, &seen, papers, t] {
          PaperRecord record;
          // Many rounds, so that the threads overlap even on a busy machine.
          for (size_t k = 0; k < 50 * papers; ++k) {
            const size_t i = (k + t * 7) % papers;
            graded.Record(i, record);
            seen[t][i] = Describe(record);
          }
        });
      }
    }
    for (size_t t = 1; t < kThreads; ++t) EXPECT_EQ(seen[t], seen[0]) << "thread " << t;
    into.records = seen[0];
    for (size_t i = 0; i < papers; ++i) into.totals.push_back(graded.papers()[i].total);
    return OutputNotes{};
  };
}

TEST(GradeBatchTest, WindowAndBatchGiveTheSameReportAndRecords) {
  TempDir dir;
  // Ordered groups with rising and falling chains, a chain of five, caps that lower
  // and a text cap of 0, questions beyond the rules and the maxima, empty answers and
  // empty pieces, Latin letters in two cases.
  const ProgramState state = testing::StateWithRules(
      {Gbk("<关键词>光合作用|光合</关键词><关键词>叶绿体</关键词><关键词>氧气</关键词>"),
       Gbk("<关键词>DNA</关键词><关键词>基因|遗传</关键词>"),
       Gbk("<关键词>甲</关键词><关键词>乙</关键词><关键词>丙</关键词>")},
      {"5"_gbk, Gbk("十分")});
  GbkText sheet;
  const char* answers[] = {
      "光合作用在叶绿体中进行，产生氧气。\tDNA 和 dna\t甲乙丙\t多余",
      "叶绿体中的色素。氧气在叶绿体中产生。\t\t丙乙甲",
      "",
      "\t基因遗传 DNA\t甲甲甲甲甲乙",
      "光合光合光合\t遗传\t\t\t\t",
  };
  for (int i = 0; i < 40; ++i) {
    sheet += Gbk("<姓名>\t学生" + std::to_string(i) + "\t</姓名>\r\n<答题文本>\t" +
                 answers[i % 5] + "\t</答题文本>\r\n");
  }
  dir.Write("学生答题文本.txt", sheet);
  FixedClock clock{LocalDateTime{.year = 2026, .month = 12, .day = 8, .hour = 9}};
  const std::filesystem::path report_path = dir.File("阅卷结果20261208.txt");

  InMemoryControls controls;
  controls.SetControlText(controls::kPointsPerHit, "3"_gbk);
  controls.SetControlText(controls::kOrderKeys, Gbk("1-2,1-3；2-2 3-1,3-2,3-3"));
  Collected live;
  GradingOptions window;
  window.directory = dir.path();
  window.pause_ms = 0;
  window.clock = &clock;
  window.extra_outputs = Collect(live);
  const RunOutcome live_outcome = RunGrading(state, controls, window);
  ASSERT_TRUE(live_outcome.checked.ok()) << live_outcome.checked.message();
  const std::string live_report = ReadWholeFile(report_path);
  ASSERT_EQ(live.records.size(), 40u);

  for (int jobs : {1, 3}) {
    std::filesystem::remove(report_path);
    Collected batch;
    BatchOptions options;
    options.directory = dir.path();
    options.points_per_hit = "3"_gbk;
    options.order_keys = Gbk("1-2,1-3；2-2 3-1,3-2,3-3");
    options.jobs = jobs;
    options.clock = &clock;
    options.extra_outputs = Collect(batch);
    const RunOutcome outcome = GradeBatch(state, options);
    ASSERT_TRUE(outcome.checked.ok()) << outcome.checked.message();
    EXPECT_EQ(outcome.paper_count, 40);
    EXPECT_EQ(ReadWholeFile(report_path), live_report) << "jobs " << jobs;
    EXPECT_EQ(batch.records, live.records) << "jobs " << jobs;
    EXPECT_EQ(batch.totals, live.totals);
  }
  EXPECT_TRUE(live_report.starts_with(Gbk("学生0 5 0 9 0  14\r\n").bytes()))
      << live_report;
}

}  // namespace
}  // namespace vantry
