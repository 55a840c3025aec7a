// Opening the tutorial document with the system's associated application.
#ifndef VANTRY_APP_TUTORIAL_H_
#define VANTRY_APP_TUTORIAL_H_

#include <filesystem>
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

// Opens `file` with the application the system associates with it, handing it
// `parameters` where the platform passes them (Windows), and does not wait for it.
// False when `file` does not exist; true otherwise, also when no application could be
// started (as the shell reports only the missing file apart). Shows nothing.
bool ShellOpen(const std::filesystem::path& file, const GbkText& parameters,
               int show_mode);

// Opens "软件使用教程.docx" of `directory` (the program folder: RunDirectory() in the
// program). Whatever happens, nothing is shown.
void OpenTutorial(const std::filesystem::path& directory);

}  // namespace vantry

#endif  // VANTRY_APP_TUTORIAL_H_
