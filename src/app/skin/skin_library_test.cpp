// The built skin library, loaded into this process as the program loads it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QLibrary>
#include <QPalette>
#include <QStyle>
#include <string>

#include "app/skin/skin_format.h"

namespace vantry::skin {
namespace {

using AttachFunction = int (*)(const unsigned char*, int, const char*, int, int, int);

AttachFunction Entry() {
  QLibrary library(QStringLiteral(VANTRY_SKIN_MODULE_PATH));
  EXPECT_TRUE(library.load()) << library.errorString().toStdString();
  return reinterpret_cast<AttachFunction>(library.resolve("SkinH_AttachRes"));
}

int Attach(AttachFunction attach, const std::string& block, int hue = 0) {
  return attach(reinterpret_cast<const unsigned char*>(block.data()),
                static_cast<int>(block.size()), "", hue, 0, 0);
}

TEST(SkinLibraryTest, DressesTheApplicationThatLoadedIt) {
  const AttachFunction attach = Entry();
  ASSERT_NE(attach, nullptr);
  qApp->setStyleSheet(QString());
  const QColor before = QApplication::palette().color(QPalette::Window);

  // No data, an empty block or a block that is not a skin: nothing changes.
  EXPECT_EQ(attach(nullptr, 0, "", 0, 0, 0), 0);
  EXPECT_EQ(Attach(attach, ""), 0);
  EXPECT_EQ(Attach(attach, "PK\x03\x04 not a skin"), 0);
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), before);
  EXPECT_TRUE(qApp->styleSheet().isEmpty());

  EXPECT_EQ(
      Attach(attach, ".SHE\nwindow=#102030\nhighlight=#ff0000\nfont_pixel_size=13\n"), 1);
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
  EXPECT_TRUE(qApp->styleSheet().contains("#ff0000"));
  EXPECT_EQ(QApplication::font().pixelSize(), 13);

  // The three integers tint the skin: a hue turn of 180 degrees makes red cyan.
  EXPECT_EQ(Attach(attach, ".SHE\nhighlight=#ff0000\n", 180), 1);
  EXPECT_EQ(QApplication::palette().color(QPalette::Highlight), QColor(0, 255, 255));
  qApp->setStyleSheet(QString());
}

}  // namespace
}  // namespace vantry::skin
