// Scoring speed of one realistic question with the controls held in memory.
#include <benchmark/benchmark.h>

#include <string>

#include "controls/control_names.h"
#include "controls/in_memory_controls.h"
#include "grading/boxes_read_at_use.h"
#include "scoring/score_question.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// Eight keyword groups of one to four alternatives, as a biology teacher writes them.
constexpr std::string_view kRule =
    "<分值>16</分值>"
    "<关键词>光合作用|光合|光能转化</关键词>"
    "<关键词>叶绿体</关键词>"
    "<关键词>二氧化碳|CO2|碳</关键词>"
    "<关键词>水|水分</关键词>"
    "<关键词>有机物|淀粉|葡萄糖|糖类</关键词>"
    "<关键词>氧气|O2</关键词>"
    "<关键词>光照|阳光|光</关键词>"
    "<关键词>能量储存|储存能量|贮存能量|储能</关键词>";

// About 300 bytes: most groups occur, some late in the answer, one not at all.
constexpr std::string_view kAnswer =
    "绿色植物通过叶绿体，利用光能，把二氧化碳和水转化成储存着能量的有机物（如淀粉），"
    "并且释放出氧气的过程，叫做光合作用。光合作用的场所是叶绿体，条件是需要光照，"
    "原料是二氧化碳和水，产物是有机物和氧气。光合作用把光能转变为化学能，"
    "为生物圈中的其他生物提供食物和能量，也维持了大气中的碳氧平衡。";

void BM_ScoreQuestion(benchmark::State& bench) {
  ProgramState state;
  state.SetParametersText(Utf8ToGbk("<综合题>" + std::string(kRule) + "</综合题>"));
  const GbkText answer = Utf8ToGbk(kAnswer);
  InMemoryControls controls;
  controls.SetControlText(controls::kPointsPerHit, "2"_gbk);
  controls.SetControlText(controls::kOrderKeys,
                          bench.range(0) ? "1-2,1-4,1-6"_gbk : ""_gbk);
  BoxesReadAtUse boxes(controls);
  int64_t total = 0;
  for (auto _ : bench) {
    total += ScoreQuestion(state, boxes, 1, answer);
  }
  benchmark::DoNotOptimize(total);
  bench.counters["questions"] = benchmark::Counter(
      static_cast<double>(bench.iterations()), benchmark::Counter::kIsRate);
  bench.counters["answer_bytes"] = static_cast<double>(answer.size());
}
BENCHMARK(BM_ScoreQuestion)->ArgName("ordered")->Arg(0)->Arg(1);

// The batch grader's path: rules split once, boxes fixed for the run, decisions
// recorded into a log that is reused.
void BM_ScoreAnswerCompiled(benchmark::State& bench) {
  ProgramState state;
  state.SetParametersText(Utf8ToGbk("<综合题>" + std::string(kRule) + "</综合题>"));
  const CompiledRules rules(state);
  FixedScoringBoxes boxes("2"_gbk, bench.range(0) ? "1-2,1-4,1-6"_gbk : ""_gbk, rules);
  const GbkText answer = Utf8ToGbk(kAnswer);
  ScoreLog log;
  int64_t total = 0;
  for (auto _ : bench) {
    log.clear();
    total += ScoreAnswer(rules.Question(1), 1, answer, boxes, log).raw_score;
  }
  benchmark::DoNotOptimize(total);
  bench.counters["questions"] = benchmark::Counter(
      static_cast<double>(bench.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScoreAnswerCompiled)->ArgName("ordered")->Arg(0)->Arg(1);

}  // namespace
}  // namespace vantry

BENCHMARK_MAIN();
