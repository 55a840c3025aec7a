// Cleaning a result report of its blank lines.
#include <benchmark/benchmark.h>

#include <string>

#include "testing/blank_lines_by_pattern.h"
#include "text/blank_lines.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

// A report of `bytes` bytes as a grading run writes it: one line per paper, Chinese
// names, and with `blank_every` > 0 a blank line after every so many papers (a name
// that ended in a line break).
GbkText ReportText(size_t bytes, int blank_every) {
  GbkText out;
  out.reserve(bytes + 64);
  for (int paper = 0; out.size() < bytes; ++paper) {
    out +=
        Utf8ToGbk("王小明") + GbkText(std::to_string(paper)) + " 5 3 10 0 8  26\r\n"_gbk;
    if (blank_every > 0 && paper % blank_every == blank_every - 1) out += "  \r\n"_gbk;
  }
  return out;
}

// Arguments: report bytes, 1 for the pattern engine (0: the byte path), and a blank
// line every so many papers (0: none, the usual report).
void BM_RemoveBlankLines(benchmark::State& state) {
  const GbkText report =
      ReportText(static_cast<size_t>(state.range(0)), static_cast<int>(state.range(2)));
  const bool by_pattern = state.range(1) == 1;
  for (auto _ : state) {
    GbkText text = report;
    benchmark::DoNotOptimize(by_pattern ? RemoveBlankLinesByPattern(text)
                                        : RemoveBlankLines(text));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(report.size()));
}
BENCHMARK(BM_RemoveBlankLines)
    ->ArgNames({"bytes", "pattern", "blank_every"})
    ->Args({10 << 20, 0, 0})
    ->Args({10 << 20, 0, 5})
    ->Args({1 << 20, 1, 0})
    ->Args({1 << 20, 1, 5})
    ->Unit(benchmark::kMillisecond);

// The pattern's costly case: a run of line feeds without carriage returns (blank lines
// with Unix line ends inside a name) is scanned to its end from each of its line feeds,
// so the pattern's time grows with the square of the run's length; the byte path
// passes the run once.
void BM_RemoveBlankLinesLineFeedRun(benchmark::State& state) {
  const GbkText report =
      "A\r\n"_gbk + GbkText(static_cast<size_t>(state.range(0)), '\n') + "B\r\nC"_gbk;
  for (auto _ : state) {
    GbkText text = report;
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
