#include "app/tutorial.h"

#include <utility>

#include "app/qt_text.h"
#include "platform/file_io.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first
#include <shellapi.h>

#include "text/gbk_codec.h"
#else
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#endif

namespace vantry {

void ShellOpen(const std::filesystem::path& file, const GbkText& parameters,
               int show_mode, QObject& owner, OpenFailureFunction on_failure) {
#ifdef _WIN32
  (void)owner;
  const int show = show_mode == kShowHidden                ? SW_HIDE
                   : show_mode == kShowMinimizedNoActivate ? SW_SHOWMINNOACTIVE
                                                           : SW_SHOWNORMAL;
  const std::u16string wide_parameters = GbkToUtf16(parameters);
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
      nullptr, L"open", file.c_str(),
      parameters.empty() ? nullptr
                         : reinterpret_cast<const wchar_t*>(wide_parameters.c_str()),
      L"", show));
  // Values above 32 mean the application was started.
  if (result > 32) return;
  on_failure(result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND
                 ? OpenFailure::kFileMissing
                 : OpenFailure::kNoApplication);
#else
  // Desktop launchers take no parameters and choose their own window.
  (void)parameters;
  (void)show_mode;
  if (!PathExists(file)) {
    on_failure(OpenFailure::kFileMissing);
    return;
  }
  const QString local = PathToQString(file);
  const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (launcher.isEmpty()) {
    // Qt knows the other ways (a desktop portal, a desktop's own launcher).
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(local))) {
      on_failure(OpenFailure::kNoApplication);
    }
    return;
  }
  // xdg-open tells that no application could open the file only by its exit status,
  // and may run as long as the application does: watch it without waiting. The
  // watcher goes when the launcher ends; the program ends without destroying it, so
  // the launcher and the application keep running then.
  auto* process = new QProcess(&owner);
  QObject::connect(process, &QProcess::finished, process,
                   [process, on_failure](int exit_code, QProcess::ExitStatus status) {
                     if (status != QProcess::NormalExit || exit_code != 0) {
                       on_failure(OpenFailure::kNoApplication);
                     }
                     process->deleteLater();
                   });
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, on_failure](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     on_failure(OpenFailure::kNoApplication);
                     process->deleteLater();
                   });
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  process->setStandardInputFile(QProcess::nullDevice());
  process->start(launcher, {local});
#endif
}

QString TutorialFailureText(OpenFailure failure, const std::filesystem::path& file) {
  const QString path = PathToQString(file);
  switch (failure) {
    case OpenFailure::kFileMissing:
      return QStringLiteral(
                 "找不到软件使用教程：\n%1\n\n"
                 "请把“软件使用教程.docx”放回程序所在的文件夹，"
                 "再点“查看软件使用教程”。")
          .arg(path);
    case OpenFailure::kNoApplication:
      break;
  }
  return QStringLiteral(
             "无法打开软件使用教程：\n%1\n\n"
             "这台电脑上没有能打开 .docx 文档的软件，或者它没能启动。"
             "请安装 WPS Office、Microsoft Word 或 LibreOffice 后再试，"
             "也可以把这个文件复制到别的电脑上阅读。")
      .arg(path);
}

void OpenTutorial(const std::filesystem::path& directory, QObject& owner,
                  std::function<void(const QString&)> show_problem) {
  const std::filesystem::path file = PathInDirectory(directory, kTutorialFileName);
  ShellOpen(file, GbkText(), 0, owner,
            [file, show_problem = std::move(show_problem)](OpenFailure failure) {
              show_problem(TutorialFailureText(failure, file));
            });
}

}  // namespace vantry
