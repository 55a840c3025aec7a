#include "app/widget_controls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <optional>
#include <vector>

#include "app/main_window.h"
#include "app/qt_text.h"
#include "controls/control_names.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

namespace c = controls;
using testing::Gbk;

template <typename T>
T* Control(const MainWindow& window, std::string_view name) {
  return window.findChild<T*>(Utf8ToQString(name));
}

class WidgetControlsTest : public ::testing::Test {
 protected:
  WidgetControlsTest() : access_(window_, [this](int code) { exit_code_ = code; }) {
    window_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }

  MainWindow window_;
  std::optional<int> exit_code_;
  WidgetControls access_;
};

TEST_F(WidgetControlsTest, SetAndGetEditBoxesInGbk) {
  access_.SetControlText(c::kStudentAnswer, Gbk("第1小题=====\r\n光合作用\r\n\r\n"));
  QApplication::processEvents();
  EXPECT_EQ(Control<QPlainTextEdit>(window_, c::kStudentAnswer)->toPlainText(),
            QStringLiteral("第1小题=====\n光合作用\n\n"));
  EXPECT_EQ(access_.GetControlText(c::kStudentAnswer),
            Gbk("第1小题=====\r\n光合作用\r\n\r\n"));
  access_.SetControlText(c::kStudentAnswer, ""_gbk);
  EXPECT_EQ(access_.GetControlText(c::kStudentAnswer), ""_gbk);

  access_.SetControlText(c::kRemaining, "20000"_gbk);
  QApplication::processEvents();
  EXPECT_EQ(Control<QLineEdit>(window_, c::kRemaining)->text(), QStringLiteral("20000"));
  EXPECT_EQ(access_.GetControlText(c::kRemaining), "20000"_gbk);
  access_.SetControlText(c::kOrderKeys, Gbk("1-2，1-3"));
  EXPECT_EQ(access_.GetControlText(c::kOrderKeys), Gbk("1-2，1-3"));
}

TEST_F(WidgetControlsTest, InvalidGbkShowsAsReplacementCharacter) {
  access_.SetControlText(c::kStudentName, GbkView("A\x81\xFF"
                                                  "B"));
  access_.SetControlText(c::kStudentAnswer, GbkView("x\xFE"));  // a lead byte at the end
  QApplication::processEvents();
  EXPECT_EQ(Control<QLabel>(window_, c::kStudentName)->text(),
            QString::fromUtf16(u"A\uFFFD\uFFFDB"));
  EXPECT_TRUE(Control<QPlainTextEdit>(window_, c::kStudentAnswer)
                  ->toPlainText()
                  .contains(QChar(0xFFFD)));
  // Characters GBK lacks come back as "?".
  Control<QLineEdit>(window_, c::kOrderKeys)
      ->setText(QString::fromUtf16(u"1-2\U0001F600"));
  EXPECT_EQ(access_.GetControlText(c::kOrderKeys), "1-2?"_gbk);
}

TEST_F(WidgetControlsTest, AppendMovesToTheEndAndFollowsIt) {
  auto* points = Control<QPlainTextEdit>(window_, c::kMatchedPoints);
  access_.SetControlText(c::kMatchedPoints, ""_gbk);
  access_.AppendControlText(c::kMatchedPoints, Gbk("第 1 题得分：5 分\r\n"));
  EXPECT_EQ(access_.GetControlText(c::kMatchedPoints), Gbk("第 1 题得分：5 分\r\n"));
  access_.AppendControlText(c::kMatchedPoints, Gbk("第 2 题得分：3 分\r\n"));
  EXPECT_EQ(access_.GetControlText(c::kMatchedPoints),
            Gbk("第 1 题得分：5 分\r\n第 2 题得分：3 分\r\n"));

  // Appending twice adds both texts in order with nothing between, also where the
  // user left the caret elsewhere.
  access_.SetControlText(c::kStudentAnswer, "start"_gbk);
  QApplication::processEvents();
  auto* answer = Control<QPlainTextEdit>(window_, c::kStudentAnswer);
  QTextCursor cursor = answer->textCursor();
  cursor.setPosition(2);
  answer->setTextCursor(cursor);
  access_.AppendControlText(c::kStudentAnswer, "a"_gbk);
  access_.AppendControlText(c::kStudentAnswer, "b"_gbk);
  EXPECT_EQ(access_.GetControlText(c::kStudentAnswer), "startab"_gbk);
  QApplication::processEvents();
  EXPECT_EQ(answer->toPlainText(), QStringLiteral("startab"));
  EXPECT_EQ(answer->textCursor().position(), 7);

  // The view follows the end.
  for (int i = 0; i < 60; ++i)
    access_.AppendControlText(c::kMatchedPoints, "line\r\n"_gbk);
  QApplication::processEvents();
  QScrollBar* bar = points->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());

  access_.SetControlText(c::kRemaining, "12"_gbk);
  access_.AppendControlText(c::kRemaining, "3"_gbk);
  EXPECT_EQ(access_.GetControlText(c::kRemaining), "123"_gbk);
}

TEST_F(WidgetControlsTest, AppendInsertsAtTheEndWithoutRebuildingTheBox) {
  auto* answer = Control<QPlainTextEdit>(window_, c::kStudentAnswer);
  access_.SetControlText(c::kStudentAnswer, Gbk("第1小题\r\n"));
  access_.Flush();
  struct Change {
    int from, removed, added;
  };
  std::vector<Change> changes;
  QObject::connect(answer->document(), &QTextDocument::contentsChange,
                   [&](int from, int removed, int added) {
                     changes.push_back({from, removed, added});
                   });
  // Typed while the appends wait for the next event round: kept where it was typed.
  access_.AppendControlText(c::kStudentAnswer, Gbk("光合作用\r\n"));
  access_.AppendControlText(c::kStudentAnswer, Gbk("第2小题"));
  answer->setFocus();
  QTextCursor start = answer->textCursor();
  start.setPosition(0);
  answer->setTextCursor(start);
  QTest::keyClicks(answer, "X");
  access_.Flush();
  EXPECT_EQ(answer->toPlainText(), QStringLiteral("X第1小题\n光合作用\n第2小题"));
  EXPECT_EQ(answer->textCursor().position(), answer->document()->characterCount() - 1);
  // Only insertions: the typed character at 0, then the appended text at the end. A
  // box rebuilt whole would report its old content as removed.
  ASSERT_FALSE(changes.empty());
  int appended = 0;
  for (const Change& change : changes) {
    EXPECT_EQ(change.removed, 0) << change.from;
    if (change.from > 0) {
      EXPECT_EQ(change.from, 6);  // "X第1小题\n"
      appended += change.added;
    }
  }
  EXPECT_EQ(appended, 9);  // "光合作用\n第2小题"
}

TEST_F(WidgetControlsTest, ReadsWhatTheUserTyped) {
  auto* points = Control<QLineEdit>(window_, c::kPointsPerHit);
  EXPECT_EQ(access_.GetControlText(c::kPointsPerHit), "2"_gbk);
  points->setFocus();
  points->selectAll();
  QTest::keyClicks(points, "5");
  EXPECT_EQ(access_.GetControlText(c::kPointsPerHit), "5"_gbk);
  QTest::keyClick(points, Qt::Key_Backspace);
  QTest::keyClicks(points, "10");
  EXPECT_EQ(access_.GetControlText(c::kPointsPerHit), "10"_gbk);

  auto* order = Control<QLineEdit>(window_, c::kOrderKeys);
  order->setFocus();
  QTest::keyClicks(order, "1-2,1-3");
  EXPECT_EQ(access_.GetControlText(c::kOrderKeys), "1-2,1-3"_gbk);

  auto* answer = Control<QPlainTextEdit>(window_, c::kStudentAnswer);
  answer->setFocus();
  QTest::keyClicks(answer, "ab");
  QTest::keyClick(answer, Qt::Key_Return);
  QTest::keyClicks(answer, "c");
  EXPECT_EQ(access_.GetControlText(c::kStudentAnswer), "ab\r\nc"_gbk);
}

TEST_F(WidgetControlsTest, CaptionsOfLabelsButtonsAndGroups) {
  access_.SetControlText(c::kGradeButton, Gbk("正在进行"));
  access_.SetControlText(c::kScore, "17"_gbk);
  access_.SetControlText(c::kAnnouncement, "<b>x</b> &amp; <a href='y'>z</a>"_gbk);
  QApplication::processEvents();
  EXPECT_EQ(Control<QPushButton>(window_, c::kGradeButton)->text(),
            QStringLiteral("正在进行"));
  EXPECT_EQ(access_.GetControlText(c::kGradeButton), Gbk("正在进行"));
  EXPECT_EQ(Control<QLabel>(window_, c::kScore)->text(), QStringLiteral("17"));
  access_.SetControlText(c::kResultGroup, Gbk("结果"));
  EXPECT_EQ(access_.GetControlText(c::kResultGroup), Gbk("结果"));

  // An announcement is plain text, never markup.
  auto* notice = Control<QLabel>(window_, c::kAnnouncement);
  EXPECT_EQ(notice->textFormat(), Qt::PlainText);
  EXPECT_EQ(notice->text(), QStringLiteral("<b>x</b> &amp; <a href='y'>z</a>"));
  access_.SetControlText(c::kAnnouncement, Gbk(" 第一行\r\n第二行 "));
  QApplication::processEvents();
  EXPECT_EQ(notice->text(), QStringLiteral(" 第一行\n第二行 "));
  access_.SetControlText(c::kAnnouncement, ""_gbk);
  QApplication::processEvents();
  EXPECT_EQ(notice->text(), QString());

  // A picture box has no caption; unknown names are ignored.
  auto* picture = Control<QLabel>(window_, c::kPicture1);
  access_.SetControlText(c::kPicture1, "x"_gbk);
  QApplication::processEvents();
  EXPECT_FALSE(picture->pixmap().isNull());
  access_.SetControlText("no such control", "x"_gbk);
  access_.AppendControlText("no such control", "x"_gbk);
  EXPECT_EQ(access_.GetControlText("no such control"), ""_gbk);
}

TEST_F(WidgetControlsTest, WritesReachTheWidgetsWhenTheWindowProcessesEvents) {
  auto* answer = Control<QPlainTextEdit>(window_, c::kStudentAnswer);
  auto* name = Control<QLabel>(window_, c::kStudentName);
  const QString name_before = name->text();
  for (int i = 0; i < 1000; ++i) {
    access_.SetControlText(c::kStudentAnswer, ""_gbk);
    access_.AppendControlText(c::kStudentAnswer, "q1\r\n"_gbk);
    access_.AppendControlText(c::kStudentAnswer, "q2\r\n"_gbk);
    access_.SetControlText(c::kStudentName, GbkText(std::to_string(i)));
  }
  // Not laid out one by one, but a read sees the latest write at once.
  EXPECT_EQ(name->text(), name_before);
  EXPECT_EQ(access_.GetControlText(c::kStudentName), "999"_gbk);
  EXPECT_EQ(access_.GetControlText(c::kStudentAnswer), "q1\r\nq2\r\n"_gbk);
  access_.AppendControlText(c::kStudentAnswer, "q3"_gbk);
  access_.Flush();
  EXPECT_EQ(answer->toPlainText(), QStringLiteral("q1\nq2\nq3"));

  // What the user types after the window caught up is kept and read.
  access_.AppendControlText(c::kStudentAnswer, "\r\n"_gbk);
  QApplication::processEvents();
  answer->setFocus();
  QTest::keyClicks(answer, "typed");
  EXPECT_EQ(access_.GetControlText(c::kStudentAnswer), "q1\r\nq2\r\nq3\r\ntyped"_gbk);
  access_.AppendControlText(c::kStudentAnswer, "!"_gbk);
  EXPECT_EQ(access_.GetControlText(c::kStudentAnswer), "q1\r\nq2\r\nq3\r\ntyped!"_gbk);
}

TEST_F(WidgetControlsTest, MessageBoxIsModalOwnedPlainAndWaitsForOk) {
  struct Seen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Critical;
    Qt::WindowModality modality = Qt::NonModal;
    QWidget* parent = nullptr;
    QMessageBox::StandardButtons buttons;
  } seen;
  bool found = false;
  access_.SetControlText(c::kScore, "8"_gbk);
  QString score_behind_box;
  QTimer::singleShot(50, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    found = true;
    score_behind_box = Control<QLabel>(window_, c::kScore)->text();
    seen = {box->windowTitle(),    box->text(),         box->icon(),
            box->windowModality(), box->parentWidget(), box->standardButtons()};
    QTest::keyClick(box, Qt::Key_Return);
  });
  access_.ShowMessageBox(Gbk("共有试卷：2 份\r\n<b>批卷</b>用时：1 秒"), Gbk("提示信息"));
  ASSERT_TRUE(found);
  EXPECT_EQ(seen.title, QStringLiteral("提示信息"));
  EXPECT_EQ(seen.text, QStringLiteral("共有试卷：2 份\n<b>批卷</b>用时：1 秒"));
  EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
  EXPECT_EQ(seen.modality, Qt::ApplicationModal);
  EXPECT_EQ(seen.parent, &window_);
  EXPECT_EQ(seen.buttons, QMessageBox::Ok);
  EXPECT_EQ(score_behind_box, QStringLiteral("8"));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(WidgetControlsTest, EndProcessGoesToTheEndFunction) {
  access_.EndProcess(0);
  EXPECT_EQ(exit_code_, 0);
  access_.EndProcess(-1);
  EXPECT_EQ(exit_code_, -1);
}

}  // namespace
}  // namespace vantry
