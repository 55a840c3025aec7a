#include "app/qt_translations.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <memory>

namespace vantry {
namespace {

QStringList ActionTexts(const QMenu& menu) {
  QStringList texts;
  for (const QAction* action : menu.actions()) {
    if (!action->isSeparator()) texts << action->text();
  }
  return texts;
}

// The test binary installs the catalogue at start, as the program does.
TEST(QtTranslationsTest, StandardButtonsAndEditMenusReadChinese) {
  QTranslator translator;
  ASSERT_TRUE(LoadQtChineseTranslations(translator));
  EXPECT_FALSE(translator.isEmpty());
  EXPECT_EQ(translator.language(), QStringLiteral("zh_CN"));

  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("提示信息"), QStringLiteral("x"),
                  QMessageBox::Ok);
  EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));

  QLineEdit line;
  const std::unique_ptr<QMenu> line_menu(line.createStandardContextMenu());
  const QStringList line_texts = ActionTexts(*line_menu);
  QPlainTextEdit edit;
  const std::unique_ptr<QMenu> edit_menu(edit.createStandardContextMenu());
  const QStringList edit_texts = ActionTexts(*edit_menu);
  for (const QStringList& texts : {line_texts, edit_texts}) {
    ASSERT_FALSE(texts.isEmpty());
    for (const QString& text : texts) {
      // Every entry carries Chinese: none is left in English.
      bool chinese = false;
      for (const QChar c : text)
        chinese = chinese || (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF);
      EXPECT_TRUE(chinese) << text.toStdString();
    }
  }
  EXPECT_TRUE(line_texts.join('|').contains(QStringLiteral("粘贴")))
      << line_texts.join('|').toStdString();
}

}  // namespace
}  // namespace vantry
