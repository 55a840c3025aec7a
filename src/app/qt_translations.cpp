#include "app/qt_translations.h"

#include <QString>

namespace vantry {

bool LoadQtChineseTranslations(QTranslator& translator) {
  // Laid into the program's resources by the build, from Qt's own translations.
  return translator.load(QStringLiteral(":/vantry/translations/qtbase_zh_CN.qm"));
}

}  // namespace vantry
