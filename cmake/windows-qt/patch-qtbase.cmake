# Qt 6.4 does not compile with some widgets left out (fixed upstream in later
# releases): its compatibility code for removed API defines QToolBar and QMenuBar
# functions without asking whether those widgets are built, and the common style's
# private header relies on the item views for QHash. This mends the sources at
# SOURCE_DIR; run again, it changes nothing.
set(file ${SOURCE_DIR}/src/widgets/compat/removed_api.cpp)
file(READ ${file} text)
if(NOT text MATCHES "QT_CONFIG\\(toolbar\\)")
  string(REPLACE "#include \"qtoolbar.h\"\n"
                 "#if QT_CONFIG(toolbar)\n#include \"qtoolbar.h\"\n" text "${text}")
  string(REPLACE "#include \"qmenubar.h\"\n"
                 "#endif // QT_CONFIG(toolbar)\n\n#if QT_CONFIG(menubar)\n#include \"qmenubar.h\"\n"
                 text "${text}")
  string(REPLACE "// #include <qotherheader.h>"
                 "#endif // QT_CONFIG(menubar)\n\n// #include <qotherheader.h>" text "${text}")
  file(WRITE ${file} "${text}")
endif()

set(file ${SOURCE_DIR}/src/widgets/styles/qcommonstyle_p.h)
file(READ ${file} text)
if(NOT text MATCHES "qhash\\.h")
  string(REPLACE "#include \"qcommonstyle.h\"\n"
                 "#include \"qcommonstyle.h\"\n#include <QtCore/qhash.h>\n" text "${text}")
  file(WRITE ${file} "${text}")
endif()
