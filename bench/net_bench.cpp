// Cost of the notice exchange on loopback and of the cookie texts it may handle.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "net/cookie_text.h"
#include "net/http_request.h"
#include "net/notice.h"
#include "testing/loopback_http_server.h"
#include "text/gbk_codec.h"

namespace vantry {
namespace {

using testing::HttpResponse;
using testing::LoopbackHttpServer;

// One whole start-up notice: request, answer, fields set.
void BM_FetchNotice(benchmark::State& state) {
  LoopbackHttpServer server(HttpResponse(
      "200 OK", {"Content-Type: text/plain"},
      Utf8ToGbk("<公告>本周五晚 18:00 至 20:00 服务器维护，请提前保存。</公告>")
          .bytes()));
  for (auto _ : state) benchmark::DoNotOptimize(FetchNotice(server.HostAndPort()));
}
BENCHMARK(BM_FetchNotice)->Unit(benchmark::kMicrosecond);

// A body of the given size, fetched whole.
void BM_HttpRequestBody(benchmark::State& state) {
  const std::string body(static_cast<size_t>(state.range(0)), 'x');
  LoopbackHttpServer server(HttpResponse("200 OK", {}, body));
  for (auto _ : state) benchmark::DoNotOptimize(HttpRequest(server.Url("/")).body);
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HttpRequestBody)
    ->Arg(1 << 10)
    ->Arg(1 << 20)
    ->Arg(16 << 20)
    ->Unit(benchmark::kMillisecond);

// A header block with many cookies, collected and merged with as many sent ones.
void BM_CollectAndMergeCookies(benchmark::State& state) {
  GbkText block("HTTP/1.1 200 OK\r\n"_gbk);
  GbkText sent;
  for (int i = 0; i < state.range(0); ++i) {
    block += GbkText("Set-Cookie: k" + std::to_string(i) + "=" + std::string(40, 'v') +
                     "; path=/\r\n");
    if (i > 0) sent += "; "_gbk;
    sent += GbkText("s" + std::to_string(i) + "=1");
  }
  for (auto _ : state) {
    GbkText sent_copy = sent;
    GbkText returned = CollectSetCookies(block);
    benchmark::DoNotOptimize(MergeCookies(sent_copy, returned));
  }
}
BENCHMARK(BM_CollectAndMergeCookies)->Arg(20)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantry

BENCHMARK_MAIN();
