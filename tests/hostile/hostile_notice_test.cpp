// The start-up notice against servers that misbehave: the program must come up (or
// end) within the request's time-outs, showing nothing it should not.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "net/notice.h"
#include "testing/loopback_http_server.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;
using testing::HttpResponse;
using testing::LoopbackHttpServer;
using testing::ScriptedResponse;

struct Outcome {
  Notice notice;
  std::chrono::steady_clock::duration took{};
};

void Fetch(const LoopbackHttpServer& server, Outcome& outcome) {
  const auto start = std::chrono::steady_clock::now();
  outcome.notice = FetchNotice(server.HostAndPort());
  outcome.took = std::chrono::steady_clock::now() - start;
}

// No update message: start-up goes on.
void ExpectStartUpGoesOn(Outcome& outcome) { EXPECT_EQ(outcome.notice.update, ""_gbk); }

TEST(HostileNoticeTest, EndlessBodyIsCutAndTheAnnouncementStillShows) {
  // A body without length that never ends: the notice keeps its first MiB.
  std::string bytes = "HTTP/1.1 200 OK\r\n\r\n" + Gbk("<公告>今天停电</公告>").bytes();
  bytes += std::string(3 << 20, 'x');
  LoopbackHttpServer server([&](const std::string&) {
    return ScriptedResponse{bytes, true};
  });
  Outcome outcome;
  Fetch(server, outcome);
  EXPECT_EQ(outcome.notice.announcement, Gbk("今天停电"));
  ExpectStartUpGoesOn(outcome);
  EXPECT_LT(outcome.took, std::chrono::seconds(20));
}

TEST(HostileNoticeTest, SilentServerIsAbandonedAtTheStallTimeOut) {
  LoopbackHttpServer server([](const std::string&) {
    return ScriptedResponse{"", true};
  });
  Outcome outcome;
  Fetch(server, outcome);
  EXPECT_EQ(outcome.notice.announcement, ""_gbk);
  ExpectStartUpGoesOn(outcome);
  EXPECT_LT(outcome.took, std::chrono::seconds(65));  // the notice's total time-out
}

TEST(HostileNoticeTest, HundredKilobytesOfHeadersStillDeliverTheNotice) {
  std::vector<std::string> lines;
  for (int i = 0; i < 1000; ++i)
    lines.push_back("X-Padding-" + std::to_string(i) + ": " + std::string(90, 'p'));
  LoopbackHttpServer server(
      HttpResponse("200 OK", lines, Gbk("<公告>你好</公告>").bytes()));
  Outcome outcome;
  Fetch(server, outcome);
  EXPECT_EQ(outcome.notice.announcement, Gbk("你好"));
  ExpectStartUpGoesOn(outcome);
}

TEST(HostileNoticeTest, RedirectLoopEndsAsAFailedRequest) {
  LoopbackHttpServer server(
      HttpResponse("302 Found", {"Location: /info.txt"}, Gbk("<公告>x</公告>").bytes()));
  Outcome outcome;
  Fetch(server, outcome);
  EXPECT_EQ(outcome.notice.announcement, ""_gbk);
  ExpectStartUpGoesOn(outcome);
  EXPECT_GT(server.requests().size(), 5u);
  EXPECT_LT(server.requests().size(), 100u);
}

TEST(HostileNoticeTest, CloseMidBodyKeepsWhatArrived) {
  const GbkText body = Gbk("<公告>半截</公告><更新>");
  LoopbackHttpServer server("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" +
                            body.bytes());
  Outcome outcome;
  Fetch(server, outcome);
  // The announcement arrived whole; the update message never closed, so no box.
  EXPECT_EQ(outcome.notice.announcement, Gbk("半截"));
  ExpectStartUpGoesOn(outcome);
}

}  // namespace
}  // namespace vantry
