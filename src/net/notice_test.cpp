#include "net/notice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/controls/control_names.h"
#include "app/controls/in_memory_controls.h"
#include "net/loopback_http_server.h"
#include "net/notice_host.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using testing::Gbk;
using testing::HttpResponse;
using ::testing::IsEmpty;
using testing::LoopbackHttpServer;
using ::testing::SizeIs;
using ::testing::StartsWith;
using testing::UnusedLoopbackPort;

class NoticeTest : public ::testing::Test {
 protected:
  NoticeTest() {
    // A caption that is not empty shows whether FetchNotice set it.
    controls_.SetControlText(controls::kAnnouncement, "old");
    controls_.set_on_message_box([this](const InMemoryControls::MessageBox&) {
      exit_code_while_box_was_up_ = controls_.exit_code();
    });
  }

  // Serves `notice` as /info.txt and runs FetchNotice against it.
  void Fetch(const std::string& notice) {
    LoopbackHttpServer server(
        HttpResponse("200 OK", {"Content-Type: text/plain"}, notice));
    FetchNotice(controls_, server.HostAndPort());
    requests_ = server.requests();
  }

  GbkText Announcement() { return controls_.GetControlText(controls::kAnnouncement); }

  InMemoryControls controls_;
  std::vector<std::string> requests_;
  std::optional<int> exit_code_while_box_was_up_ = -99;
};

TEST_F(NoticeTest, AnAnnouncementAloneIsShownAndStartUpGoesOn) {
  Fetch(Gbk("欢迎\r\n<公告> 本周五 18:00 维护\r\n</公告>\r\n"));
  EXPECT_EQ(Announcement(), Gbk(" 本周五 18:00 维护\r\n"));
  EXPECT_THAT(controls_.message_boxes(), IsEmpty());
  EXPECT_EQ(controls_.exit_code(), std::nullopt);

  ASSERT_THAT(requests_, SizeIs(1));
  EXPECT_THAT(requests_[0], StartsWith("GET /info.txt HTTP/1.1\r\n"));
}

TEST_F(NoticeTest, AnUpdateMessageIsShownThenTheProgramEnds) {
  controls_.set_recording(true);
  Fetch(Gbk("<公告>新版本</公告><更新>请下载 2.0 版</更新>"));

  ASSERT_THAT(controls_.message_boxes(), SizeIs(1));
  EXPECT_EQ(controls_.message_boxes()[0].text, Gbk("请下载 2.0 版"));
  EXPECT_EQ(controls_.message_boxes()[0].caption, Gbk("软件更新提示"));
  // The program ends with 0 only after the box, and the announcement was set before.
  EXPECT_EQ(exit_code_while_box_was_up_, std::nullopt);
  EXPECT_EQ(controls_.exit_code(), 0);
  EXPECT_THAT(controls_.events(),
              ElementsAre(InMemoryControls::Event{
                  "set", std::string(controls::kAnnouncement), Gbk("新版本")}));
}

TEST_F(NoticeTest, FieldsMayComeInEitherOrder) {
  Fetch(Gbk("<更新>升级</更新>中间<公告>你好</公告>"));
  EXPECT_EQ(Announcement(), Gbk("你好"));
  ASSERT_THAT(controls_.message_boxes(), SizeIs(1));
  EXPECT_EQ(controls_.message_boxes()[0].text, Gbk("升级"));
  EXPECT_EQ(controls_.exit_code(), 0);
}

TEST_F(NoticeTest, OnlyTheFirstAnnouncementCountsAndAnEarlierEndTagIsNotSeen) {
  Fetch(Gbk("<公告>一</公告><公告>二</公告>"));
  EXPECT_EQ(Announcement(), Gbk("一"));
  Fetch(Gbk("</公告>文字<公告>没有结束"));
  EXPECT_EQ(Announcement(), "");
  EXPECT_THAT(controls_.message_boxes(), IsEmpty());
}

TEST_F(NoticeTest, TextAfterANulByteIsIgnored) {
  Fetch(std::string("x\0", 2) + Gbk("<公告>甲</公告><更新>乙</更新>"));
  EXPECT_EQ(Announcement(), "");
  EXPECT_THAT(controls_.message_boxes(), IsEmpty());
  EXPECT_EQ(controls_.exit_code(), std::nullopt);
}

TEST_F(NoticeTest, AnEmptyUpdateFieldDoesNotEndTheProgram) {
  Fetch(Gbk("<更新></更新><公告></公告>"));
  EXPECT_EQ(Announcement(), "");
  EXPECT_THAT(controls_.message_boxes(), IsEmpty());
  EXPECT_EQ(controls_.exit_code(), std::nullopt);
}

TEST_F(NoticeTest, AnErrorPageIsANoticeWithoutFields) {
  LoopbackHttpServer server(HttpResponse("404 Not Found", {}, "<html>missing</html>"));
  FetchNotice(controls_, server.HostAndPort());
  EXPECT_EQ(Announcement(), "");
  EXPECT_THAT(controls_.message_boxes(), IsEmpty());
}

TEST_F(NoticeTest, ARedirectedNoticeIsFollowed) {
  LoopbackHttpServer server([](const std::string& request) {
    if (request.starts_with("GET /info.txt ")) {
      return testing::ScriptedResponse{
          HttpResponse("302 Found", {"Location: /v2.txt"}, "")};
    }
    return testing::ScriptedResponse{
        HttpResponse("200 OK", {}, Gbk("<公告>搬家了</公告>"))};
  });
  FetchNotice(controls_, server.HostAndPort());
  EXPECT_EQ(Announcement(), Gbk("搬家了"));
}

TEST_F(NoticeTest, NoServerMeansAnEmptyAnnouncementAndNoMessage) {
  FetchNotice(controls_, "127.0.0.1:" + std::to_string(UnusedLoopbackPort()));
  EXPECT_EQ(Announcement(), "");
  EXPECT_THAT(controls_.message_boxes(), IsEmpty());
  EXPECT_EQ(controls_.exit_code(), std::nullopt);
}

TEST_F(NoticeTest, AnEmptyHostMakesNoRequest) {
  LoopbackHttpServer server(HttpResponse("200 OK", {}, Gbk("<更新>不应出现</更新>")));
  FetchNotice(controls_, "");
  EXPECT_THAT(server.requests(), IsEmpty());
  EXPECT_EQ(Announcement(), "");
  EXPECT_THAT(controls_.message_boxes(), IsEmpty());
}

TEST_F(NoticeTest, ANoticeBeyondTheLimitIsCut) {
  // The announcement lies within the first MiB, the update message beyond it.
  std::string notice = Gbk("<公告>前</公告>");
  notice += std::string(kNoticeBodyLimit, ' ');
  notice += Gbk("<更新>太远</更新>");
  Fetch(notice);
  EXPECT_EQ(Announcement(), Gbk("前"));
  EXPECT_THAT(controls_.message_boxes(), IsEmpty());
  EXPECT_EQ(controls_.exit_code(), std::nullopt);
}

TEST(NoticeHostTest, IsTheConfiguredHost) {
  EXPECT_EQ(BuiltInNoticeHost(), VANTRY_CONFIGURED_NOTICE_HOST);
}

}  // namespace
}  // namespace vantry
