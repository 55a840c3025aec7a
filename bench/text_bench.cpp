// Throughput of the text scans that read the exam files, on a 50 MB GBK text.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "text/find_text.h"
#include "text/gbk_codec.h"
#include "text/tagged_fields.h"

namespace vantry {
namespace {

constexpr size_t kTextBytes = 50u << 20;

// A realistic answer sheet: GBK records with tags, Chinese answers and TABs.
const GbkText& SheetText() {
  static const GbkText text = [] {
    const GbkText record = Utf8ToGbk(
        "<姓名>\t王小明\t</"
        "姓名>\r\n<答题文本>\t光合作用在叶绿体中进行，产生氧气和有机物。"
        "\t细胞膜控制物质进出，细胞核是遗传信息库。\t食物链：草→兔→狐，能量逐级递减。"
        "\t</答题文本>\r\n");
    GbkText out;
    out.reserve(kTextBytes + record.size());
    while (out.size() < kTextBytes) out += record;
    return out;
  }();
  return text;
}

void BM_FindTextAbsent(benchmark::State& state) {
  const GbkText& text = SheetText();
  const GbkText sought =
      state.range(0) == 0 ? GbkText("xyzzy!"_gbk) : Utf8ToGbk("鲸鱼鲨");
  for (auto _ : state) benchmark::DoNotOptimize(FindText(text, sought));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
  state.SetLabel(state.range(0) == 0 ? "6-byte ASCII" : "6-byte Chinese");
}
BENCHMARK(BM_FindTextAbsent)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FindTextAbsentIgnoreCase(benchmark::State& state) {
  const GbkText& text = SheetText();
  for (auto _ : state) benchmark::DoNotOptimize(FindText(text, "XYZZY!"_gbk, 1, true));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_FindTextAbsentIgnoreCase)->Unit(benchmark::kMillisecond);

// The worst case of a naive search: a keyword "a…ab" of n/2 bytes against an answer of
// n letters "a" (every position matches all but the last byte). Time must grow
// linearly with n: the fitted complexity is reported as BigO/RMS.
void BM_FindTextWorstCase(benchmark::State& state) {
  const size_t n = static_cast<size_t>(state.range(0));
  const bool ignore_case = state.range(1) != 0;
  const GbkText answer(n, 'a');
  GbkText keyword(n / 2 - 1, ignore_case ? 'A' : 'a');
  keyword += 'b';
  for (auto _ : state) {
    benchmark::DoNotOptimize(FindText(answer, keyword, 1, ignore_case));
  }
  state.SetComplexityN(static_cast<int64_t>(n));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(n));
  state.SetLabel(ignore_case ? "ignore case" : "exact");
}
BENCHMARK(BM_FindTextWorstCase)
    ->ArgsProduct({{100000, 200000, 400000, 800000}, {0}})
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindTextWorstCase)
    ->ArgsProduct({{100000, 200000, 400000, 800000}, {1}})
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

void BM_ExtractTaggedFields(benchmark::State& state) {
  const GbkText& text = SheetText();
  const GbkText start = Utf8ToGbk("<答题文本>\t");
  const GbkText end = Utf8ToGbk("\t</答题文本>");
  std::vector<GbkText> fields;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ExtractTaggedFields(text, start, end, fields));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
  state.counters["fields"] = static_cast<double>(fields.size());
}
BENCHMARK(BM_ExtractTaggedFields)->Unit(benchmark::kMillisecond);

// The same fields as views, as the grading run collects the sheet's: the scan alone.
void BM_ExtractTaggedFieldViews(benchmark::State& state) {
  const GbkText& text = SheetText();
  const GbkText start = Utf8ToGbk("<答题文本>\t");
  const GbkText end = Utf8ToGbk("\t</答题文本>");
  std::vector<GbkView> fields;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ExtractTaggedFieldViews(text, start, end, fields));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
  state.counters["fields"] = static_cast<double>(fields.size());
}
BENCHMARK(BM_ExtractTaggedFieldViews)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantry

BENCHMARK_MAIN();
