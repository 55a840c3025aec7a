#include "app/tutorial.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::TempDir;

TEST(TutorialTest, ShellOpenReportsOnlyAMissingFile) {
  TempDir dir;
  EXPECT_FALSE(ShellOpen(dir.File("软件使用教程.docx"), "", 0));
  const auto file = dir.Write("软件使用教程.docx", "PK");
  // Whether an application could be started is not told apart.
  EXPECT_TRUE(ShellOpen(file, "", 0));
  EXPECT_TRUE(ShellOpen(file, "", kShowHidden));
  EXPECT_TRUE(ShellOpen(file, "--x", kShowMinimizedNoActivate));
}

TEST(TutorialTest, OpeningShowsNothingWhateverHappens) {
  TempDir dir;
  OpenTutorial(dir.path());
  dir.Write("软件使用教程.docx", "PK");
  OpenTutorial(dir.path());
  QApplication::processEvents();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  for (const QWidget* widget : QApplication::topLevelWidgets())
    EXPECT_FALSE(widget->isVisible());
}

}  // namespace
}  // namespace vantry
