// Opening the tutorial document with the system's associated application.
#ifndef VANTRY_APP_TUTORIAL_H_
#define VANTRY_APP_TUTORIAL_H_

#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// The tutorial document's name in the program folder.
inline constexpr std::string_view kTutorialFileName = "软件使用教程.docx";

// How ShellOpen shows the application's window.
enum ShowMode : int {
  kShowHidden = 1,
  kShowMinimizedNoActivate = 2,
  // Any other value: a normal window.
};

// Why a document could not be opened.
enum class OpenFailure {
  kFileMissing,
  // No application is associated with the document's type, or the system could not
  // start it.
  kNoApplication,
};

using OpenFailureFunction = std::function<void(OpenFailure)>;

// Opens `file` with the application the system associates with it, handing it
// `parameters` where the platform passes them (Windows), and does not wait for the
// application. Calls `on_failure` when the file is missing or no application can open
// it: at once where the system says so at once (Windows, a missing file, no launcher),
// or later, from the event loop, where the desktop's launcher (xdg-open) tells only
// by ending with a failure; that watch ends with `owner`.
void ShellOpen(const std::filesystem::path& file, const GbkText& parameters,
               int show_mode, QObject& owner, OpenFailureFunction on_failure);

// The text of the box that tells the teacher that the tutorial `file` could not be
// opened, and why, with its full path and what to do.
QString TutorialFailureText(OpenFailure failure, const std::filesystem::path& file);

// Opens "软件使用教程.docx" of `directory` (the program folder: RunDirectory() in the
// program). When it cannot be opened, calls `show_problem` with the text of the box
// that says so (TutorialFailureText), at the latest while `owner` lives.
void OpenTutorial(const std::filesystem::path& directory, QObject& owner,
                  std::function<void(const QString&)> show_problem);

}  // namespace vantry

#endif  // VANTRY_APP_TUTORIAL_H_
