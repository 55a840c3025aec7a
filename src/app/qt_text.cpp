#include "app/qt_text.h"

#include <QDir>
#include <QFile>
#include <string>

#include "text/gbk_codec.h"

namespace vantry {

QString GbkToQString(GbkView gbk) {
  const std::u16string utf16 = GbkToUtf16(gbk, InvalidGbk::kReplace);
  return QString(reinterpret_cast<const QChar*>(utf16.data()),
                 static_cast<qsizetype>(utf16.size()));
}

QString GbkToDisplayText(GbkView gbk) {
  QString text = GbkToQString(gbk);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar('\r'), QChar('\n'));
  return text;
}

GbkText QStringToGbk(const QString& text) {
  return Utf16ToGbk(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                        static_cast<size_t>(text.size())));
}

QString Utf8ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString PathToQString(const std::filesystem::path& path) {
#ifdef _WIN32
  return QDir::toNativeSeparators(QString::fromStdWString(path.native()));
#else
  return QDir::toNativeSeparators(
      QFile::decodeName(QByteArray::fromStdString(path.native())));
#endif
}

}  // namespace vantry
