// GbkText to and from the text of Qt widgets.
#ifndef VANTRY_APP_QT_TEXT_H_
#define VANTRY_APP_QT_TEXT_H_

#include <QString>
#include <filesystem>
#include <string_view>

#include "text/gbk_text.h"

namespace vantry {

// For the screen: bytes that are not valid GBK show as U+FFFD.
QString GbkToQString(GbkView gbk);
// GbkToQString with CRLF and lone CR turned into LF, for labels and message boxes,
// which break lines at LF.
QString GbkToDisplayText(GbkView gbk);
// Characters that GBK lacks become "?".
GbkText QStringToGbk(const QString& text);
// A UTF-8 literal of the program (control names, captions) as a QString.
QString Utf8ToQString(std::string_view utf8);
// A path as the user reads it: in the system's own encoding of file names, with the
// platform's separators.
QString PathToQString(const std::filesystem::path& path);

}  // namespace vantry

#endif  // VANTRY_APP_QT_TEXT_H_
