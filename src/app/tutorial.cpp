#include "app/tutorial.h"

#include "text/file_io.h"

#ifdef _WIN32
#include <shellapi.h>
#include <windows.h>

#include "text/gbk_codec.h"
#else
#include <QDesktopServices>
#include <QFile>
#include <QString>
#include <QUrl>
#endif

namespace vantry {

bool ShellOpen(const std::filesystem::path& file, const GbkText& parameters,
               int show_mode) {
#ifdef _WIN32
  const int show = show_mode == kShowHidden                ? SW_HIDE
                   : show_mode == kShowMinimizedNoActivate ? SW_SHOWMINNOACTIVE
                                                           : SW_SHOWNORMAL;
  const std::u16string wide_parameters = GbkToUtf16(parameters);
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
      nullptr, L"open", file.c_str(),
      parameters.empty() ? nullptr
                         : reinterpret_cast<const wchar_t*>(wide_parameters.c_str()),
      L"", show));
  return result != ERROR_FILE_NOT_FOUND;
#else
  // Desktop launchers take no parameters and choose their own window.
  (void)parameters;
  (void)show_mode;
  if (!PathExists(file)) return false;
  QDesktopServices::openUrl(
      QUrl::fromLocalFile(QFile::decodeName(file.string().c_str())));
  return true;
#endif
}

void OpenTutorial(const std::filesystem::path& directory) {
  ShellOpen(PathInDirectory(directory, kTutorialFileName), GbkText(), 0);
}

}  // namespace vantry
