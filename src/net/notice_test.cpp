#include "net/notice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "net/notice_host.h"
#include "testing/loopback_http_server.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;
using testing::HttpResponse;
using ::testing::IsEmpty;
using testing::LoopbackHttpServer;
using ::testing::SizeIs;
using ::testing::StartsWith;
using testing::UnusedLoopbackPort;

class NoticeTest : public ::testing::Test {
 protected:
  // Serves `notice` as /info.txt and fetches it.
  Notice Fetch(GbkView notice) {
    LoopbackHttpServer server(
        HttpResponse("200 OK", {"Content-Type: text/plain"}, notice.bytes()));
    Notice found = FetchNotice(server.HostAndPort());
    requests_ = server.requests();
    return found;
  }

  std::vector<std::string> requests_;
};

TEST_F(NoticeTest, AnAnnouncementAloneHasNoUpdate) {
  const Notice notice = Fetch(Gbk("欢迎\r\n<公告> 本周五 18:00 维护\r\n</公告>\r\n"));
  EXPECT_EQ(notice.announcement, Gbk(" 本周五 18:00 维护\r\n"));
  EXPECT_EQ(notice.update, ""_gbk);
  ASSERT_THAT(requests_, SizeIs(1));
  EXPECT_THAT(requests_[0], StartsWith("GET /info.txt HTTP/1.1\r\n"));
}

TEST_F(NoticeTest, FieldsAreFoundInEitherOrder) {
  Notice notice = Fetch(Gbk("<公告>新版本</公告><更新>请下载 2.0 版</更新>"));
  EXPECT_EQ(notice.announcement, Gbk("新版本"));
  EXPECT_EQ(notice.update, Gbk("请下载 2.0 版"));
  notice = Fetch(Gbk("<更新>升级</更新>中间<公告>你好</公告>"));
  EXPECT_EQ(notice.announcement, Gbk("你好"));
  EXPECT_EQ(notice.update, Gbk("升级"));
}

TEST(ParseNoticeTest, FirstFieldsOnlyUpToTheFirstNul) {
  struct Case {
    GbkText body;
    GbkText announcement;
    GbkText update;
  };
  const Case cases[] = {
      {Gbk("<公告>一</公告><公告>二</公告>"), Gbk("一"), ""_gbk},
      // An end tag before the start tag is not seen; a field never closed is empty.
      {Gbk("</公告>文字<公告>没有结束"), ""_gbk, ""_gbk},
      {GbkText(std::string("x\0", 2)) + Gbk("<公告>甲</公告><更新>乙</更新>"), ""_gbk,
       ""_gbk},
      {Gbk("<更新></更新><公告></公告>"), ""_gbk, ""_gbk},
      {"<html>missing</html>"_gbk, ""_gbk, ""_gbk},
  };
  for (const Case& c : cases) {
    const Notice notice = ParseNotice(c.body.bytes());
    EXPECT_EQ(notice.announcement, c.announcement) << ::testing::PrintToString(c.body);
    EXPECT_EQ(notice.update, c.update) << ::testing::PrintToString(c.body);
  }
}

TEST_F(NoticeTest, AnErrorPageIsANoticeWithoutFields) {
  LoopbackHttpServer server(HttpResponse("404 Not Found", {}, "<html>missing</html>"));
  const Notice notice = FetchNotice(server.HostAndPort());
  EXPECT_EQ(notice.announcement, ""_gbk);
  EXPECT_EQ(notice.update, ""_gbk);
}

TEST_F(NoticeTest, ARedirectedNoticeIsFollowed) {
  LoopbackHttpServer server([](const std::string& request) {
    if (request.starts_with("GET /info.txt ")) {
      return testing::ScriptedResponse{
          HttpResponse("302 Found", {"Location: /v2.txt"}, "")};
    }
    return testing::ScriptedResponse{
        HttpResponse("200 OK", {}, Gbk("<公告>搬家了</公告>").bytes())};
  });
  EXPECT_EQ(FetchNotice(server.HostAndPort()).announcement, Gbk("搬家了"));
}

TEST_F(NoticeTest, NoServerGivesAnEmptyNotice) {
  const Notice notice = FetchNotice("127.0.0.1:" + std::to_string(UnusedLoopbackPort()));
  EXPECT_EQ(notice.announcement, ""_gbk);
  EXPECT_EQ(notice.update, ""_gbk);
}

TEST_F(NoticeTest, AnEmptyHostMakesNoRequest) {
  LoopbackHttpServer server(
      HttpResponse("200 OK", {}, Gbk("<更新>不应出现</更新>").bytes()));
  const Notice notice = FetchNotice("");
  EXPECT_THAT(server.requests(), IsEmpty());
  EXPECT_EQ(notice.update, ""_gbk);
}

TEST_F(NoticeTest, ANoticeBeyondTheLimitIsCut) {
  // The announcement lies within the first MiB, the update message beyond it.
  GbkText body = Gbk("<公告>前</公告>");
  body.append(kNoticeBodyLimit, ' ');
  body += Gbk("<更新>太远</更新>");
  const Notice notice = Fetch(body);
  EXPECT_EQ(notice.announcement, Gbk("前"));
  EXPECT_EQ(notice.update, ""_gbk);
}

TEST(NoticeHostTest, IsTheConfiguredHost) {
  EXPECT_EQ(BuiltInNoticeHost(), VANTRY_CONFIGURED_NOTICE_HOST);
}

}  // namespace
}  // namespace vantry
