// Cleaning a result report of its blank lines.
#include <benchmark/benchmark.h>

#include <string>

#include "text/blank_lines.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// A report of `bytes` bytes as a grading run writes it: one line per paper, Chinese
// names, a blank line after every fifth paper (a name that ended in a line break).
std::string ReportText(size_t bytes) {
  std::string out;
  out.reserve(bytes + 64);
  for (int paper = 0; out.size() < bytes; ++paper) {
    out += Utf8ToGbk("王小明") + std::to_string(paper) + " 5 3 10 0 8  26\r\n";
    if (paper % 5 == 4) out += "  \r\n";
  }
  return out;
}

void BM_RemoveBlankLines(benchmark::State& state) {
  const std::string report = ReportText(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    std::string text = report;
    benchmark::DoNotOptimize(RemoveBlankLines(text));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(report.size()));
}
BENCHMARK(BM_RemoveBlankLines)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMillisecond);

// The pattern's costly case: a run of line feeds without carriage returns (blank lines
// with Unix line ends inside a name) is scanned to its end from each of its line feeds,
// so the time grows with the square of the run's length.
void BM_RemoveBlankLinesLineFeedRun(benchmark::State& state) {
  const std::string report =
      "A\r\n" + std::string(static_cast<size_t>(state.range(0)), '\n') + "B\r\nC";
  for (auto _ : state) {
    std::string text = report;
    benchmark::DoNotOptimize(RemoveBlankLines(text));
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RemoveBlankLinesLineFeedRun)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
}  // namespace vantry

BENCHMARK_MAIN();
