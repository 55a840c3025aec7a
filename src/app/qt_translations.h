// Qt's own texts in Simplified Chinese: the standard buttons of message boxes (确定),
// the context menus of the edit boxes, the scroll bars' menus.
#ifndef VANTRY_APP_QT_TRANSLATIONS_H_
#define VANTRY_APP_QT_TRANSLATIONS_H_

#include <QTranslator>

namespace vantry {

// Loads Qt's Simplified Chinese catalogue, which the build compiles into the program,
// into `translator`; the caller installs it and keeps it for the program's life. The
// program's own texts are Chinese whatever the system's language, so Qt's are too.
// False when the catalogue is missing from the program (Qt's texts then stay English).
bool LoadQtChineseTranslations(QTranslator& translator);

}  // namespace vantry

#endif  // VANTRY_APP_QT_TRANSLATIONS_H_
