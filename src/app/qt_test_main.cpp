// Entry of the widget tests: one QApplication for all tests of the binary.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTranslator>

#include "app/qt_translations.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  // Qt's texts in Chinese, as in the program.
  QTranslator qt_chinese;
  if (vantry::LoadQtChineseTranslations(qt_chinese))
    application.installTranslator(&qt_chinese);
  return RUN_ALL_TESTS();
}
