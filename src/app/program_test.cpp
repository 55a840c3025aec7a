#include "app/program.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/qt_text.h"
#include "controls/control_names.h"
#include "platform/file_io.h"
#include "testing/loopback_http_server.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

namespace c = controls;
using testing::Gbk;
using testing::HttpResponse;
using testing::LoopbackHttpServer;
using testing::TempDir;

// Answers every message box that comes up (with Enter, as a person would) and keeps
// what it showed.
class BoxCatcher {
 public:
  struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QWidget* parent;
    Qt::WindowModality modality;
    QStringList buttons;  // their texts, as the user reads them
  };

  explicit BoxCatcher(std::function<void(const Box&)> while_up = {})
      : while_up_(std::move(while_up)) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) return;
      QStringList buttons;
      for (const QAbstractButton* button : box->buttons()) buttons << button->text();
      boxes_.push_back({box->windowTitle(), box->text(), box->icon(), box->parentWidget(),
                        box->windowModality(), buttons});
      if (while_up_) while_up_(boxes_.back());
      QTest::keyClick(box, Qt::Key_Return);
    });
    timer_.start();
  }

  const std::vector<Box>& boxes() const { return boxes_; }

 private:
  QTimer timer_;
  std::vector<Box> boxes_;
  std::function<void(const Box&)> while_up_;
};

template <typename T>
T* Control(Program& program, std::string_view name) {
  return program.window().findChild<T*>(Utf8ToQString(name));
}

void WriteSmallExam(const TempDir& dir) {
  dir.Write(
      "学生答题文本.txt",
      Gbk("<姓名>\t张三\t</姓名>\r\n<答题文本>\t光合作用在叶绿体中进行，产生氧气。\t"
          "细胞膜具有选择透过性。\t</答题文本>\r\n<姓名>\t李四\t</姓名>\r\n<答题文本>\t"
          "植物在叶绿体里制造养分。\t细胞膜。\t</答题文本>\r\n"));
  dir.Write(
      "参数设置.txt",
      Gbk("<综合题><分值>10</分值><关键词>光合作用|光合</关键词><关键词>叶绿体</关键词>"
          "<关键词>氧气</关键词></综合题>\r\n<综合题><分值>4</分值><关键词>细胞膜</"
          "关键词>"
          "<关键词>选择透过性</关键词></综合题>\r\n"));
}

std::string Today() {
  const std::time_t now = std::time(nullptr);
  char date[16];
  std::strftime(date, sizeof date, "%Y%m%d", std::localtime(&now));
  return date;
}

GbkText TodaysReport(const TempDir& dir) {
  return GbkText(ReadWholeFile(dir.File("阅卷结果" + Today() + ".txt")));
}

class ProgramTest : public ::testing::Test {
 protected:
  ~ProgramTest() override { qApp->setStyleSheet(QString()); }

  Program::Options Options(std::string notice_host = "") {
    return {dir_.path(), std::move(notice_host),
            [this](int code) { exits_.push_back(code); }};
  }

  TempDir dir_;
  ProgramState state_;
  std::vector<int> exits_;
};

TEST_F(ProgramTest, StartUpWearsTheSkinLoadsTheParametersAndShowsTheWindow) {
  WriteSmallExam(dir_);
  Program program(state_, Options());
  BoxCatcher catcher;
  EXPECT_TRUE(program.OnMainWindowCreated());
  EXPECT_TRUE(catcher.boxes().empty());
  EXPECT_TRUE(exits_.empty());
  EXPECT_TRUE(PathExists(dir_.File("SkinH_EL.dll")));
  EXPECT_FALSE(qApp->styleSheet().isEmpty());
  EXPECT_EQ(state_.rule_list().size(), 2u);
  EXPECT_THAT(state_.max_score_list(), ::testing::ElementsAre("10"_gbk, "4"_gbk));

  EXPECT_TRUE(program.window().isVisible());
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(program.window().frameGeometry(),
            QRect((screen.width() - 1020) / 2, (screen.height() - 502) / 2, 1020, 502));
  // The first state of the window, before any run.
  EXPECT_EQ(Control<QLabel>(program, c::kScore)->text(), QStringLiteral("20分"));
  EXPECT_EQ(Control<QLabel>(program, c::kStudentName)->text().size(), 3);
  EXPECT_EQ(Control<QLineEdit>(program, c::kPointsPerHit)->text(), QStringLiteral("2"));
  EXPECT_EQ(Control<QLabel>(program, c::kAnnouncement)->text(), QString());
}

TEST_F(ProgramTest, WithoutAParametersFileStartUpIsSilent) {
  Program program(state_, Options());
  BoxCatcher catcher;
  EXPECT_TRUE(program.OnMainWindowCreated());
  EXPECT_TRUE(catcher.boxes().empty());
  EXPECT_TRUE(state_.rule_list().empty());
  EXPECT_TRUE(state_.max_score_list().empty());
}

TEST_F(ProgramTest, ABrokenSkinLibraryIsFatalBeforeAnythingElse) {
  WriteSmallExam(dir_);
  dir_.Write("SkinH_EL.dll", "not a library");
  LoopbackHttpServer server(HttpResponse("200 OK", {}, Gbk("<公告>x</公告>").bytes()));
  Program program(state_, Options(server.HostAndPort()));
  BoxCatcher catcher;
  EXPECT_FALSE(program.OnMainWindowCreated());
  ASSERT_EQ(catcher.boxes().size(), 1u);
  const BoxCatcher::Box& box = catcher.boxes()[0];
  EXPECT_EQ(box.title, QStringLiteral("错误"));
  EXPECT_EQ(box.text,
            QStringLiteral("运行时出错!\n\n错误信息：无法找到指定DLL库文件“SkinH_EL.dll”"
                           "中的输出命令“SkinH_AttachRes”\n"));
  EXPECT_EQ(box.icon, QMessageBox::Critical);
  EXPECT_EQ(box.parent, nullptr);
  EXPECT_EQ(box.modality, Qt::ApplicationModal);
  EXPECT_EQ(exits_, std::vector<int>{-1});
  // Nothing after the skin ran: no parameters, no window, no notice request.
  EXPECT_TRUE(state_.rule_list().empty());
  EXPECT_FALSE(program.window().isVisible());
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(ReadWholeFile(dir_.File("SkinH_EL.dll")), "not a library");
}

TEST_F(ProgramTest, TheNoticeSetsTheAnnouncementAsPlainText) {
  LoopbackHttpServer server(
      HttpResponse("200 OK", {}, Gbk("<公告><b>周五</b> 维护\r\n请保存</公告>").bytes()));
  Program program(state_, Options(server.HostAndPort()));
  BoxCatcher catcher;
  EXPECT_TRUE(program.OnMainWindowCreated());
  EXPECT_EQ(server.requests().size(), 1u);
  QApplication::processEvents();  // the screen shows it once the window runs
  auto* notice = Control<QLabel>(program, c::kAnnouncement);
  EXPECT_EQ(notice->text(), QStringLiteral("<b>周五</b> 维护\n请保存"));
  EXPECT_EQ(notice->textFormat(), Qt::PlainText);
  EXPECT_TRUE(catcher.boxes().empty());
}

TEST_F(ProgramTest, AnUpdateMessageEndsTheProgramAfterItsBox) {
  LoopbackHttpServer server(HttpResponse(
      "200 OK", {}, Gbk("<公告>新版</公告><更新>请下载 2.0</更新>").bytes()));
  Program program(state_, Options(server.HostAndPort()));
  BoxCatcher catcher;
  EXPECT_FALSE(program.OnMainWindowCreated());
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].title, QStringLiteral("软件更新提示"));
  EXPECT_EQ(catcher.boxes()[0].text, QStringLiteral("请下载 2.0"));
  EXPECT_EQ(catcher.boxes()[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(catcher.boxes()[0].parent, &program.window());
  EXPECT_EQ(exits_, std::vector<int>{0});
  EXPECT_EQ(Control<QLabel>(program, c::kAnnouncement)->text(), QStringLiteral("新版"));
}

TEST_F(ProgramTest, ASilentNoticeServerHoldsStartUpThreeSecondsWithTheWindowAlive) {
  // Accepts, reads the request and never answers.
  LoopbackHttpServer server([](const std::string&) {
    return testing::ScriptedResponse{"", true};
  });
  Program program(state_, Options(server.HostAndPort()));
  auto* points = Control<QLineEdit>(program, c::kPointsPerHit);
  bool returned = false;
  std::optional<qint64> typed_at;
  QElapsedTimer clock;
  QTimer::singleShot(300, [&] {
    points->setFocus();
    points->selectAll();
    QTest::keyClicks(points, "5");
    if (!returned) typed_at = clock.elapsed();
  });
  clock.start();
  EXPECT_TRUE(program.OnMainWindowCreated());
  const qint64 took = clock.elapsed();
  returned = true;
  EXPECT_GE(took, 2900);
  EXPECT_LT(took, 3500);
  // The key was taken while the notice was still on its way.
  ASSERT_TRUE(typed_at);
  EXPECT_LT(*typed_at, 1000);
  EXPECT_EQ(points->text(), QStringLiteral("5"));
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(Control<QLabel>(program, c::kAnnouncement)->text(), QString());
  EXPECT_TRUE(exits_.empty());
}

TEST_F(ProgramTest, TheGradingButtonGradesLiveWithWhatTheTeacherTyped) {
  WriteSmallExam(dir_);
  Program program(state_, Options());
  ASSERT_TRUE(program.OnMainWindowCreated());
  auto* points = Control<QLineEdit>(program, c::kPointsPerHit);
  points->setFocus();
  points->selectAll();
  QTest::keyClicks(points, "3");
  auto* order = Control<QLineEdit>(program, c::kOrderKeys);
  order->setFocus();
  QTest::keyClicks(order, "1-2,1-3");

  // Events keep flowing during the run: a ticking timer, and a second click on the
  // button, which is ignored.
  auto* button = Control<QPushButton>(program, c::kGradeButton);
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
  ticker.start(10);
  QTimer::singleShot(200, [&] { QTest::mouseClick(button, Qt::LeftButton); });
  struct Seen {
    QString name, score, remaining, button, points;
    int ticks;
  };
  std::optional<Seen> seen;
  BoxCatcher catcher([&](const BoxCatcher::Box&) {
    seen = Seen{Control<QLabel>(program, c::kStudentName)->text(),
                Control<QLabel>(program, c::kScore)->text(),
                Control<QLineEdit>(program, c::kRemaining)->text(),
                button->text(),
                GbkToQString(program.controls().GetControlText(c::kMatchedPoints)),
                ticks};
  });
  QTest::mouseClick(button, Qt::LeftButton);

  ASSERT_EQ(catcher.boxes().size(), 1u);
  const BoxCatcher::Box& box = catcher.boxes()[0];
  EXPECT_EQ(box.title, QStringLiteral("提示信息"));
  EXPECT_TRUE(box.text.startsWith(QStringLiteral("共有试卷：2 份\n")))
      << box.text.toStdString();
  EXPECT_EQ(box.icon, QMessageBox::NoIcon);
  EXPECT_EQ(box.parent, &program.window());
  EXPECT_EQ(box.modality, Qt::ApplicationModal);
  EXPECT_EQ(box.buttons, QStringList{QStringLiteral("确定")});
  EXPECT_EQ(exits_, std::vector<int>{0});

  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->name, QStringLiteral("李四"));
  EXPECT_EQ(seen->score, QStringLiteral("3"));
  EXPECT_EQ(seen->remaining, QStringLiteral("1"));
  EXPECT_EQ(seen->button, QStringLiteral("正在进行"));
  EXPECT_EQ(seen->points, QStringLiteral("第 1 题得分：0 分\r\n第 2 题得分：3 分\r\n"));
  EXPECT_GT(seen->ticks, 20);  // the one-second pause kept the window alive
  EXPECT_EQ(TodaysReport(dir_), Gbk("张三 9 4  13\r\n李四 0 3  3"));
  // The workbook and the analysis page lie beside the report, the summary names them
  // after the report, and the page records the boxes' texts the teacher typed.
  EXPECT_TRUE(ReadWholeFile(dir_.File("阅卷结果" + Today() + ".xlsx")).starts_with("PK"));
  const std::string page = ReadWholeFile(dir_.File("阅卷分析" + Today() + ".html"));
  EXPECT_NE(page.find("<summary>李四<"), std::string::npos);
  EXPECT_NE(page.find("<dt>分值</dt><dd>3（"), std::string::npos);
  EXPECT_NE(page.find("<dt>先后顺序</dt><dd>1-2,1-3</dd>"), std::string::npos);
  EXPECT_TRUE(box.text.endsWith(QStringLiteral(".txt’！\n成绩表已保存在‘阅卷结果") +
                                Utf8ToQString(Today()) +
                                QStringLiteral(".xlsx’！\n分析页已保存在‘阅卷分析") +
                                Utf8ToQString(Today()) + QStringLiteral(".html’！")))
      << box.text.toStdString();
}

TEST_F(ProgramTest, AWorkbookThatCannotBeSavedAddsOneLineToTheSummary) {
  WriteSmallExam(dir_);
  const std::string workbook = "阅卷结果" + Today() + ".xlsx";
  std::filesystem::create_directory(dir_.File(workbook));
  Program program(state_, Options());
  ASSERT_TRUE(program.OnMainWindowCreated());
  BoxCatcher catcher;
  QTest::mouseClick(Control<QPushButton>(program, c::kGradeButton), Qt::LeftButton);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_TRUE(catcher.boxes()[0].text.contains(
      QStringLiteral(".txt’！\n成绩表未能保存到‘") + Utf8ToQString(workbook) +
      QStringLiteral("’！（这个名字已被一个文件夹占用）\n分析页已保存在‘")))
      << catcher.boxes()[0].text.toStdString();
  EXPECT_EQ(TodaysReport(dir_), Gbk("张三 6 4  10\r\n李四 2 2  4"));
}

// Processes events until `done` holds or `limit_ms` have passed.
template <typename Done>
bool ProcessEventsUntil(Done done, int limit_ms = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < limit_ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return done();
}

TEST_F(ProgramTest, AClickDuringStartUpStartsTheRunOnceStartUpIsOver) {
  WriteSmallExam(dir_);
  LoopbackHttpServer server(HttpResponse("200 OK", {}, Gbk("<公告>欢迎</公告>").bytes()));
  Program program(state_, Options(server.HostAndPort()));
  auto* button = Control<QPushButton>(program, c::kGradeButton);
  // Delivered while start-up paints the window, before the notice is fetched.
  std::optional<size_t> requests_at_click;
  QTimer::singleShot(0, [&] {
    requests_at_click = server.requests().size();
    QTest::mouseClick(button, Qt::LeftButton);
  });
  BoxCatcher catcher;
  ASSERT_TRUE(program.OnMainWindowCreated());
  ASSERT_EQ(requests_at_click, 0u);
  // Not run inside start-up: the notice came first.
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(button->text(), QStringLiteral("一键开始"));
  EXPECT_TRUE(catcher.boxes().empty());

  // From the event loop: the run, its summary and the end.
  ASSERT_TRUE(ProcessEventsUntil([&] { return !exits_.empty(); }));
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_TRUE(catcher.boxes()[0].text.startsWith(QStringLiteral("共有试卷：2 份\n")));
  EXPECT_EQ(exits_, std::vector<int>{0});
  EXPECT_EQ(TodaysReport(dir_), Gbk("张三 6 4  10\r\n李四 2 2  4"));
}

TEST_F(ProgramTest, AClickDuringStartUpDoesNotRunWhenTheNoticeEndsTheProgram) {
  WriteSmallExam(dir_);
  LoopbackHttpServer server(
      HttpResponse("200 OK", {}, Gbk("<更新>请下载 2.0</更新>").bytes()));
  Program program(state_, Options(server.HostAndPort()));
  QTimer::singleShot(0, [&] {
    QTest::mouseClick(Control<QPushButton>(program, c::kGradeButton), Qt::LeftButton);
  });
  BoxCatcher catcher;
  EXPECT_FALSE(program.OnMainWindowCreated());
  ProcessEventsUntil([] { return false; }, 300);  // a wrongly kept click's chance
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].title, QStringLiteral("软件更新提示"));
  EXPECT_EQ(exits_, std::vector<int>{0});
  EXPECT_TRUE(TodaysReport(dir_).empty());
}

TEST_F(ProgramTest, AnExamThatCannotBeGradedIsToldAndTheWindowWaitsForTheNextClick) {
  WriteSmallExam(dir_);
  const std::string good_sheet = ReadWholeFile(dir_.File("学生答题文本.txt"));
  // Two names, one answer: pairing by position would mix the students up.
  dir_.Write("学生答题文本.txt", Gbk("<姓名>\t张三\t</姓名>\r\n<姓名>\t李四\t</姓名>\r\n"
                                     "<答题文本>\t光合作用\t</答题文本>\r\n"));
  Program program(state_, Options());
  ASSERT_TRUE(program.OnMainWindowCreated());
  auto* button = Control<QPushButton>(program, c::kGradeButton);
  {
    BoxCatcher catcher;
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(catcher.boxes().size(), 1u);
    const BoxCatcher::Box& box = catcher.boxes()[0];
    EXPECT_EQ(box.title, QStringLiteral("提示信息"));
    EXPECT_TRUE(box.text.contains(QStringLiteral("学生答题文本.txt")))
        << box.text.toStdString();
    EXPECT_EQ(box.parent, &program.window());
    EXPECT_EQ(box.buttons, QStringList{QStringLiteral("确定")});
  }
  // Nothing ran, nothing was written, the window stays as it was.
  EXPECT_TRUE(exits_.empty());
  EXPECT_TRUE(program.window().isVisible());
  EXPECT_EQ(button->text(), QStringLiteral("一键开始"));
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    EXPECT_EQ(entry.path().filename().string().rfind("阅卷", 0), std::string::npos)
        << entry.path();
  }

  // Corrected, the next click grades.
  dir_.Write("学生答题文本.txt", good_sheet);
  BoxCatcher catcher;
  QTest::mouseClick(button, Qt::LeftButton);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_TRUE(catcher.boxes()[0].text.startsWith(QStringLiteral("共有试卷：2 份\n")));
  EXPECT_EQ(exits_, std::vector<int>{0});
}

TEST_F(ProgramTest, ATutorialThatCannotBeOpenedIsToldWithItsFullPath) {
  Program program(state_, Options());
  ASSERT_TRUE(program.OnMainWindowCreated());
  BoxCatcher catcher;
  QTest::mouseClick(Control<QPushButton>(program, c::kTutorialButton), Qt::LeftButton);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  const BoxCatcher::Box& box = catcher.boxes()[0];
  EXPECT_EQ(box.title, QStringLiteral("提示信息"));
  EXPECT_TRUE(box.text.contains(PathToQString(dir_.File("软件使用教程.docx"))))
      << box.text.toStdString();
  EXPECT_TRUE(box.text.startsWith(QStringLiteral("找不到软件使用教程")));
  EXPECT_EQ(box.parent, &program.window());
  EXPECT_EQ(box.buttons, QStringList{QStringLiteral("确定")});
  EXPECT_TRUE(exits_.empty());  // the window stays
  EXPECT_TRUE(program.window().isVisible());
}

TEST_F(ProgramTest, ClosingTheWindowEndsTheProgramAlsoDuringARun) {
  std::string sheet;
  for (int i = 0; i < 20000; ++i) {
    sheet +=
        (Gbk("<姓名>\t学生" + std::to_string(i) +
             "\t</姓名><答题文本>\t光合作用在叶绿体中进行。\t细胞膜。\t</答题文本>\r\n"))
            .bytes();
  }
  WriteSmallExam(dir_);
  dir_.Write("学生答题文本.txt", sheet);
  Program program(state_, Options());
  ASSERT_TRUE(program.OnMainWindowCreated());

  std::optional<bool> report_existed_at_close;
  // Runs at the run's first look at the window's events.
  QTimer::singleShot(0, [&] {
    QTest::keyClick(&program.window(), Qt::Key_Escape);
    report_existed_at_close = !TodaysReport(dir_).empty();
  });
  BoxCatcher catcher;  // this binding returns from EndProcess, so the run goes on
  QTest::mouseClick(Control<QPushButton>(program, c::kGradeButton), Qt::LeftButton);
  ASSERT_TRUE(report_existed_at_close);
  EXPECT_FALSE(*report_existed_at_close);
  ASSERT_FALSE(exits_.empty());
  EXPECT_EQ(exits_[0], 0);
  EXPECT_FALSE(program.window().isVisible());
}

}  // namespace
}  // namespace vantry
