#include "controls/in_memory_controls.h"

#include <gtest/gtest.h>

#include "controls/control_names.h"
#include "controls/control_table.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::Gbk;

TEST(InMemoryControlsTest, StartsWithTheWindowsInitialTexts) {
  InMemoryControls c;
  EXPECT_EQ(controls::ControlTable().size(), 21u);
  for (const auto& entry : controls::ControlTable()) EXPECT_TRUE(c.Has(entry.name));
  EXPECT_EQ(c.GetControlText(controls::kScore), Gbk("20分"));
  EXPECT_EQ(c.GetControlText(controls::kPointsPerHit), "2"_gbk);
  EXPECT_EQ(c.GetControlText(controls::kOrderKeys), ""_gbk);
  EXPECT_EQ(c.GetControlText(controls::kGradeButton), Gbk("一键开始"));
  EXPECT_EQ(c.GetControlText(controls::kStudentName).size(), 6u);  // three characters
}

TEST(InMemoryControlsTest, SetAppendAndGet) {
  InMemoryControls c;
  c.SetControlText(controls::kStudentAnswer, ""_gbk);
  EXPECT_EQ(c.GetControlText(controls::kStudentAnswer), ""_gbk);
  c.AppendControlText(controls::kStudentAnswer, "a"_gbk);
  EXPECT_EQ(c.GetControlText(controls::kStudentAnswer), "a"_gbk);
  c.AppendControlText(controls::kStudentAnswer, "b\r\n"_gbk);
  EXPECT_EQ(c.GetControlText(controls::kStudentAnswer), "ab\r\n"_gbk);
  c.SetControlText(controls::kPointsPerHit, "5"_gbk);
  EXPECT_EQ(c.GetControlText(controls::kPointsPerHit), "5"_gbk);
  c.SetControlText("no such control", "x"_gbk);
  EXPECT_EQ(c.GetControlText("no such control"), ""_gbk);
  EXPECT_FALSE(c.Has("no such control"));
}

TEST(InMemoryControlsTest, RecordsCallsBoxesAndExit) {
  InMemoryControls c;
  c.set_recording(true);
  c.SetControlText(controls::kRemaining, "2"_gbk);
  c.GetControlText(controls::kRemaining);
  c.ShowMessageBox("t"_gbk, "c"_gbk);
  c.EndProcess(0);
  ASSERT_EQ(c.events().size(), 2u);
  EXPECT_EQ(c.events()[0],
            (InMemoryControls::Event{"set", std::string(controls::kRemaining), "2"_gbk}));
  EXPECT_EQ(c.events()[1].kind, "get");
  ASSERT_EQ(c.message_boxes().size(), 1u);
  EXPECT_EQ(c.message_boxes()[0].caption, "c"_gbk);
  EXPECT_EQ(c.exit_code(), 0);
}

}  // namespace
}  // namespace vantry
