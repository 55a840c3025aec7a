#include "app/tutorial.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/qt_text.h"
#include "platform/file_io.h"
#include "testing/test_support.h"

namespace vantry {
namespace {

using testing::TempDir;

// PATH holds only `directory` while the object lives, so that a launcher of the test's
// own stands in for the desktop's.
class ScopedPath {
 public:
  explicit ScopedPath(const std::filesystem::path& directory) : saved_(qgetenv("PATH")) {
    qputenv("PATH", QByteArray::fromStdString(directory.string()));
  }
  ~ScopedPath() { qputenv("PATH", saved_); }

 private:
  QByteArray saved_;
};

// Writes an xdg-open into `dir` that records its arguments and ends with `exit_code`.
void WriteLauncher(const TempDir& dir, int exit_code) {
  const auto launcher =
      dir.Write("xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" >> " +
                                testing::ShellQuote(dir.File("launched").string()) +
                                "\nexit " + std::to_string(exit_code) + "\n");
  std::filesystem::permissions(launcher, std::filesystem::perms::owner_all);
}

// Processes events until `done` holds or two seconds have passed.
template <typename Done>
bool WaitFor(Done done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < 2000) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return done();
}

TEST(TutorialTest, ShellOpenTellsAMissingFileAndAFailedLauncher) {
  TempDir bin;
  TempDir docs;
  QObject owner;
  std::vector<OpenFailure> failures;
  const auto record = [&](OpenFailure failure) { failures.push_back(failure); };
  const auto file = docs.File("软件使用教程.docx");

  // Missing: told at once, no launcher started.
  WriteLauncher(bin, 0);
  {
    ScopedPath path(bin.path());
    ShellOpen(file, ""_gbk, 0, owner, record);
  }
  EXPECT_EQ(failures, std::vector<OpenFailure>{OpenFailure::kFileMissing});
  EXPECT_FALSE(PathExists(bin.File("launched")));

  // Opened: the launcher gets the file's full path, and nothing is told.
  docs.Write("软件使用教程.docx", "PK");
  failures.clear();
  {
    ScopedPath path(bin.path());
    ShellOpen(file, "--ignored"_gbk, kShowHidden, owner, record);
  }
  ASSERT_TRUE(WaitFor([&] { return !ReadWholeFile(bin.File("launched")).empty(); }));
  QApplication::processEvents();
  EXPECT_EQ(ReadWholeFile(bin.File("launched")), file.string() + "\n");
  EXPECT_TRUE(failures.empty());

  // The launcher found no application (xdg-open ends with 3): told when it ends.
  WriteLauncher(bin, 3);
  {
    ScopedPath path(bin.path());
    ShellOpen(file, ""_gbk, 0, owner, record);
  }
  EXPECT_TRUE(failures.empty());  // not before the launcher has ended
  ASSERT_TRUE(WaitFor([&] { return !failures.empty(); }));
  EXPECT_EQ(failures, std::vector<OpenFailure>{OpenFailure::kNoApplication});

  // No launcher at all.
  failures.clear();
  TempDir empty;
  {
    ScopedPath path(empty.path());
    ShellOpen(file, ""_gbk, 0, owner, record);
  }
  EXPECT_EQ(failures, std::vector<OpenFailure>{OpenFailure::kNoApplication});
}

TEST(TutorialTest, TheBoxNamesTheFileWhatIsWrongAndWhatToDo) {
  TempDir dir;
  const auto file = dir.File("软件使用教程.docx");
  const QString path = PathToQString(file);
  ASSERT_TRUE(path.endsWith(QStringLiteral("软件使用教程.docx")));

  const QString missing = TutorialFailureText(OpenFailure::kFileMissing, file);
  EXPECT_TRUE(missing.startsWith(QStringLiteral("找不到软件使用教程：\n") + path + "\n"))
      << missing.toStdString();
  EXPECT_TRUE(missing.contains(QStringLiteral("放回程序所在的文件夹")));

  const QString no_application = TutorialFailureText(OpenFailure::kNoApplication, file);
  EXPECT_TRUE(
      no_application.startsWith(QStringLiteral("无法打开软件使用教程：\n") + path))
      << no_application.toStdString();
  EXPECT_TRUE(no_application.contains(QStringLiteral(".docx")));

  // OpenTutorial looks in the folder it is given, never in the working directory.
  std::optional<QString> told;
  QObject owner;
  OpenTutorial(dir.path(), owner, [&](const QString& text) { told = text; });
  ASSERT_TRUE(told);
  EXPECT_EQ(*told, missing);
}

}  // namespace
}  // namespace vantry
