#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <string_view>

#include "app/qt_text.h"
#include "app/widget_controls.h"
#include "controls/control_names.h"

namespace vantry {
namespace {

namespace c = controls;

QWidget* Control(const MainWindow& window, std::string_view name) {
  return window.findChild<QWidget*>(Utf8ToQString(name));
}

int CountPixels(const QImage& image, QColor colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour;
  }
  return n;
}

struct Expected {
  std::string_view name;
  const char* class_name;
  std::string_view parent;  // empty: the window
  QRect geometry;
  const char* text;
};

// The layout as the window must show it.
const Expected kLayout[] = {
    {c::kAnswerGroup, "QGroupBox", "", {4, 5, 432, 465}, "学生答案"},
    {c::kStudentAnswer, "QPlainTextEdit", c::kAnswerGroup, {8, 17, 415, 438}, ""},
    {c::kPointsGroup, "QGroupBox", "", {445, 5, 332, 189}, "匹配得分点"},
    {c::kMatchedPoints, "QPlainTextEdit", c::kPointsGroup, {8, 19, 316, 159}, ""},
    {c::kResultGroup, "QGroupBox", "", {445, 205, 332, 136}, "阅卷结果"},
    {c::kStudentName, "QLabel", c::kResultGroup, {8, 30, 172, 80}, "李小明"},
    {c::kScore, "QLabel", c::kResultGroup, {188, 30, 135, 80}, "20分"},
    {c::kPointsLabel, "QLabel", "", {445, 347, 32, 32}, "分值："},
    {c::kPointsPerHit, "QLineEdit", "", {491, 347, 39, 32}, "2"},
    {c::kOrderLabel, "QLabel", "", {541, 347, 59, 32}, "先后顺序："},
    {c::kOrderKeys, "QLineEdit", "", {600, 347, 177, 32}, ""},
    {c::kRemaining, "QLineEdit", "", {445, 387, 179, 80}, ""},
    {c::kGradeButton, "QPushButton", "", {632, 387, 145, 83}, "一键开始"},
    {c::kNoticeGroup, "QGroupBox", "", {786, 5, 222, 189}, "公告"},
    {c::kAnnouncement, "QLabel", c::kNoticeGroup, {14, 8, 193, 179}, ""},
    {c::kTutorialButton, "QPushButton", "", {786, 203, 222, 83}, "查看软件使用教程"},
    {c::kSponsorGroup, "QGroupBox", "", {786, 296, 222, 174}, "友情赞助 Donate Me"},
    {c::kSponsorText,
     "QLabel",
     c::kSponsorGroup,
     {15, 18, 192, 16},
     "软件免费使用，请勿倒卖！"},
    {c::kSponsorText1,
     "QLabel",
     c::kSponsorGroup,
     {7, 43, 208, 16},
     "如果有能力请打赏，支持我。"},
    {c::kPicture1, "QLabel", c::kSponsorGroup, {7, 65, 100, 100}, ""},
    {c::kPicture2, "QLabel", c::kSponsorGroup, {115, 65, 100, 100}, ""},
};

TEST(MainWindowTest, EveryControlByNameWithParentGeometryAndText) {
  MainWindow window;
  WidgetControls access(window, [](int) {});
  int named = 0;  // Qt names some inner parts "qt_..."
  for (QWidget* child : window.findChildren<QWidget*>()) {
    named += !child->objectName().isEmpty() && !child->objectName().startsWith("qt_");
  }
  EXPECT_EQ(named, 21);
  for (const Expected& e : kLayout) {
    SCOPED_TRACE(std::string(e.name));
    QWidget* control = Control(window, e.name);
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->metaObject()->className(), e.class_name);
    QWidget* parent =
        e.parent.empty() ? static_cast<QWidget*>(&window) : Control(window, e.parent);
    EXPECT_EQ(control->parentWidget(), parent);
    EXPECT_EQ(control->geometry(), e.geometry);
    EXPECT_TRUE(control->isEnabled());
    EXPECT_FALSE(control->isHidden());
    EXPECT_EQ(GbkToQString(access.GetControlText(e.name)), QString::fromUtf8(e.text));
  }
}

TEST(MainWindowTest, ControlKindsBehaveAsTheirRolesNeed) {
  MainWindow window;
  for (auto name : {c::kStudentAnswer, c::kMatchedPoints}) {
    auto* edit = qobject_cast<QPlainTextEdit*>(Control(window, name));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(edit->isReadOnly());
  }
  for (auto name : {c::kPointsPerHit, c::kOrderKeys, c::kRemaining}) {
    auto* edit = qobject_cast<QLineEdit*>(Control(window, name));
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(edit->isReadOnly());
    EXPECT_GT(edit->maxLength(), 1'000'000);  // no limit of its own
    EXPECT_TRUE(edit->alignment() & Qt::AlignLeft);
  }
  for (auto name : {c::kStudentName, c::kScore}) {
    auto* label = qobject_cast<QLabel*>(Control(window, name));
    EXPECT_EQ(label->alignment(), Qt::AlignCenter);
    EXPECT_FALSE(label->wordWrap());
  }
  for (auto name : {c::kAnnouncement, c::kSponsorText, c::kSponsorText1}) {
    auto* label = qobject_cast<QLabel*>(Control(window, name));
    EXPECT_EQ(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_TRUE(label->wordWrap());
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_FALSE(label->autoFillBackground());
  }
  for (auto name : {c::kPicture1, c::kPicture2}) {
    auto* picture = qobject_cast<QLabel*>(Control(window, name));
    EXPECT_FALSE(picture->pixmap().isNull());
    EXPECT_TRUE(picture->hasScaledContents());
  }
}

TEST(MainWindowTest, Fonts) {
  MainWindow window;
  struct Font {
    std::string_view name;
    bool yahei;
    int pixel_size;
    int weight;
  };
  const Font fonts[] = {
      {c::kStudentName, true, 56, QFont::Bold},
      {c::kScore, true, 56, QFont::Bold},
      {c::kRemaining, true, 53, QFont::Bold},
      {c::kGradeButton, true, 20, QFont::Bold},
      {c::kTutorialButton, true, 20, QFont::Bold},
      {c::kAnnouncement, false, 15, QFont::Normal},
      {c::kSponsorText, false, 16, QFont::Normal},
      {c::kSponsorText1, false, 16, QFont::Normal},
  };
  for (const Font& f : fonts) {
    SCOPED_TRACE(std::string(f.name));
    QWidget* control = Control(window, f.name);
    EXPECT_TRUE(control->testAttribute(Qt::WA_SetFont));
    const QFont font = control->font();
    EXPECT_EQ(font.pixelSize(), f.pixel_size);
    EXPECT_EQ(font.weight(), f.weight);
    if (f.yahei) {
      EXPECT_EQ(font.families().value(0), QStringLiteral("微软雅黑"));
      // Where the face is missing an installed CJK face stands in, and draws Chinese.
      EXPECT_TRUE(QFontMetrics(font).inFontUcs4(U'阅'))
          << QFontInfo(font).family().toStdString();
    } else {
      EXPECT_FALSE(font.resolveMask() & QFont::FamiliesResolved);  // the default face
    }
  }
  for (auto name : {c::kAnswerGroup, c::kStudentAnswer, c::kPointsGroup,
                    c::kMatchedPoints, c::kResultGroup, c::kPointsLabel, c::kPointsPerHit,
                    c::kOrderLabel, c::kOrderKeys, c::kNoticeGroup, c::kSponsorGroup}) {
    EXPECT_FALSE(Control(window, name)->testAttribute(Qt::WA_SetFont)) << name;
  }
}

TEST(MainWindowTest, ColoursAndTransparentLabels) {
  MainWindow window;
  WidgetControls access(window, [](int) {});
  // Solid glyphs, so that the exact text colour shows in many pixels.
  const GbkText blocks = QStringToGbk(QStringLiteral("■■"));
  struct Colour {
    std::string_view name;
    QColor text;
  };
  const Colour colours[] = {
      {c::kStudentName, QColor(0, 136, 255)},  {c::kScore, QColor(255, 0, 255)},
      {c::kAnnouncement, QColor(0, 128, 128)}, {c::kSponsorText, QColor(255, 0, 255)},
      {c::kSponsorText1, QColor(0, 136, 255)}, {c::kRemaining, QColor(255, 80, 128)},
      {c::kPointsLabel, QColor(0, 0, 0)},      {c::kOrderLabel, QColor(0, 0, 0)},
      {c::kPointsPerHit, QColor(0, 0, 0)},     {c::kStudentAnswer, QColor(0, 0, 0)},
  };
  for (const Colour& colour : colours) {
    SCOPED_TRACE(std::string(colour.name));
    access.SetControlText(colour.name, blocks);
    access.Flush();
    QWidget* control = Control(window, colour.name);
    const QImage image = control->grab().toImage();
    EXPECT_GT(CountPixels(image, colour.text), 20);
  }
  // Edit boxes are white inside.
  for (auto name : {c::kStudentAnswer, c::kMatchedPoints, c::kPointsPerHit, c::kOrderKeys,
                    c::kRemaining}) {
    QWidget* control = Control(window, name);
    const QImage image = control->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() - 6), QColor(Qt::white))
        << name;
  }
  // A transparent label draws only its text: the group box shows through around it.
  window.resize(MainWindow::kOuterWidth, MainWindow::kOuterHeight);
  QWidget* group = Control(window, c::kResultGroup);
  QWidget* name_label = Control(window, c::kStudentName);
  const QImage group_image = group->grab().toImage();
  const QPoint inside_corner = name_label->geometry().topLeft() + QPoint(2, 2);
  const QPoint beside = name_label->geometry().topLeft() + QPoint(-3, 2);
  EXPECT_EQ(group_image.pixelColor(inside_corner), group_image.pixelColor(beside));
  EXPECT_NE(group_image.pixelColor(inside_corner), QColor(Qt::white));
}

TEST(MainWindowTest, WindowFrameCaptionAndPlace) {
  MainWindow window;
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Vantry"));
  EXPECT_FALSE(window.windowIcon().isNull());
  EXPECT_GE(window.windowIcon().actualSize(QSize(256, 256)).width(), 256);
  const Qt::WindowFlags flags = window.windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);

  window.PlaceOnScreen();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QRect frame = window.frameGeometry();
  EXPECT_EQ(frame.size(), QSize(MainWindow::kOuterWidth, MainWindow::kOuterHeight));
  // The test screen's windows have a frame: the client area is smaller by it.
  EXPECT_LT(window.width(), MainWindow::kOuterWidth);
  EXPECT_EQ(window.minimumSize(), window.maximumSize());  // fixed size
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(frame.topLeft(), QPoint((screen.width() - MainWindow::kOuterWidth) / 2,
                                    (screen.height() - MainWindow::kOuterHeight) / 2));
}

TEST(MainWindowTest, EscapeClosesTheWindowAndButtonsReachTheirHandlers) {
  MainWindow window;
  int destroyed = 0, graded = 0, tutorials = 0;
  window.SetHandlers({.on_destroyed = [&] { ++destroyed; },
                      .on_grade_clicked = [&] { ++graded; },
                      .on_tutorial_clicked = [&] { ++tutorials; }});
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  QTest::mouseClick(Control(window, c::kGradeButton), Qt::LeftButton);
  QTest::mouseClick(Control(window, c::kTutorialButton), Qt::LeftButton);
  QTest::mouseClick(Control(window, c::kTutorialButton), Qt::LeftButton);
  EXPECT_EQ(graded, 1);
  EXPECT_EQ(tutorials, 2);

  // Other keys in an edit box stay there; Esc passes through it to the window.
  QWidget* answer = Control(window, c::kStudentAnswer);
  answer->setFocus();
  QTest::keyClick(answer, Qt::Key_F1);
  QTest::keyClick(answer, Qt::Key_A);
  EXPECT_EQ(destroyed, 0);
  EXPECT_TRUE(window.isVisible());
  QTest::keyClick(answer, Qt::Key_Escape);
  EXPECT_EQ(destroyed, 1);
  EXPECT_FALSE(window.isVisible());
}

TEST(MainWindowTest, EscapeInASingleLineBoxClosesToo) {
  MainWindow window;
  int destroyed = 0;
  MainWindow::Handlers handlers;
  handlers.on_destroyed = [&] { ++destroyed; };
  window.SetHandlers(std::move(handlers));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QWidget* points = Control(window, c::kPointsPerHit);
  points->setFocus();
  QTest::keyClick(points, Qt::Key_Escape);
  EXPECT_EQ(destroyed, 1);
}

TEST(MainWindowTest, TabMovesTheFocusOn) {
  MainWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QWidget* answer = Control(window, c::kStudentAnswer);
  answer->setFocus();
  QTest::keyClick(answer, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Control(window, c::kMatchedPoints));
  EXPECT_EQ(qobject_cast<QPlainTextEdit*>(answer)->toPlainText(), QString());
}

}  // namespace
}  // namespace vantry
