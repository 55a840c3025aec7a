#include "app/apply_notice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "controls/control_names.h"
#include "controls/in_memory_controls.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using ::testing::ElementsAre;
using testing::Gbk;
using ::testing::IsEmpty;

TEST(ApplyNoticeTest, AnnouncementAloneLetsStartUpGoOn) {
  InMemoryControls controls;
  controls.SetControlText(controls::kAnnouncement, "old"_gbk);
  EXPECT_TRUE(ApplyNotice({.announcement = Gbk("维护")}, controls));
  EXPECT_EQ(controls.GetControlText(controls::kAnnouncement), Gbk("维护"));
  // A failed request clears the label too.
  EXPECT_TRUE(ApplyNotice({}, controls));
  EXPECT_EQ(controls.GetControlText(controls::kAnnouncement), ""_gbk);
  EXPECT_THAT(controls.message_boxes(), IsEmpty());
  EXPECT_EQ(controls.exit_code(), std::nullopt);
}

TEST(ApplyNoticeTest, UpdateIsShownAfterTheAnnouncementThenTheProgramEnds) {
  InMemoryControls controls;
  std::optional<int> exit_code_while_box_was_up = -99;
  controls.set_on_message_box([&](const InMemoryControls::MessageBox&) {
    exit_code_while_box_was_up = controls.exit_code();
  });
  controls.set_recording(true);
  EXPECT_FALSE(ApplyNotice({Gbk("新版本"), Gbk("请下载 2.0 版")}, controls));
  EXPECT_THAT(controls.events(),
              ElementsAre(InMemoryControls::Event{
                  "set", std::string(controls::kAnnouncement), Gbk("新版本")}));
  ASSERT_EQ(controls.message_boxes().size(), 1u);
  EXPECT_EQ(controls.message_boxes()[0].text, Gbk("请下载 2.0 版"));
  EXPECT_EQ(controls.message_boxes()[0].caption, Gbk("软件更新提示"));
  EXPECT_EQ(exit_code_while_box_was_up, std::nullopt);
  EXPECT_EQ(controls.exit_code(), 0);
}

}  // namespace
}  // namespace vantry
