#include "app/skin/skin_style.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace vantry::skin {
namespace {

QColor ToQColor(const Rgb& c) { return QColor(c.r, c.g, c.b); }

int CountPixels(const QImage& image, QColor colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour;
  }
  return n;
}

TEST(SkinStyleTest, ShiftingColours) {
  SkinDescription skin;
  skin.window = {255, 0, 0};
  skin.text = {0x33, 0x66, 0x99};
  const SkinDescription same = ShiftColours(skin, {});
  EXPECT_EQ(same.window, skin.window);
  EXPECT_EQ(same.text, skin.text);
  EXPECT_EQ(ShiftColours(skin, {360, 0, 0}).text, skin.text);

  const SkinDescription turned = ShiftColours(skin, {180, 0, 0});
  EXPECT_EQ(turned.window, (Rgb{0, 255, 255}));
  EXPECT_EQ(ShiftColours(skin, {0, 0, 100}).window, (Rgb{255, 255, 255}));
  EXPECT_EQ(ShiftColours(skin, {0, 0, -100}).window, (Rgb{0, 0, 0}));
  const Rgb grey = ShiftColours(skin, {0, -100, 0}).window;
  EXPECT_EQ(grey.r, grey.g);
  EXPECT_EQ(grey.g, grey.b);
}

TEST(SkinStyleTest, PaletteStyleSheetAndFontCarryTheSkin) {
  SkinDescription skin;
  skin.window = {0x10, 0x20, 0x30};
  skin.highlight = {0xAB, 0xCD, 0xEF};
  skin.button_border = {0x12, 0x34, 0x56};
  skin.radius = 9;
  const QPalette palette = SkinPalette(skin);
  EXPECT_EQ(palette.color(QPalette::Window), ToQColor(skin.window));
  EXPECT_EQ(palette.color(QPalette::Highlight), ToQColor(skin.highlight));
  EXPECT_EQ(palette.color(QPalette::Base), ToQColor(skin.base));

  const QString css = SkinStyleSheet(skin);
  EXPECT_TRUE(css.contains("#abcdef"));
  EXPECT_TRUE(css.contains("#123456"));
  EXPECT_TRUE(css.contains("border-radius: 9px"));
  EXPECT_FALSE(css.contains("QLabel"));  // labels keep their own colours

  QFont system("Sans Serif");
  system.setPointSize(9);
  EXPECT_FALSE(SkinFont(skin, system));
  skin.font_family = "Family One, Family Two,";
  skin.font_pixel_size = 13;
  const auto font = SkinFont(skin, system);
  ASSERT_TRUE(font);
  EXPECT_EQ(font->families(), (QStringList{"Family One", "Family Two"}));
  EXPECT_EQ(font->pixelSize(), 13);
}

TEST(SkinStyleTest, WidgetsOwnColoursWinOverTheSkin) {
  auto& application = *qobject_cast<QApplication*>(QCoreApplication::instance());
  SkinDescription skin;
  skin.window = {0xDD, 0xEE, 0xDD};
  skin.window_text = {0x40, 0x40, 0x40};
  ApplySkin(application, skin);
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), ToQColor(skin.window));

  QWidget parent;
  parent.resize(200, 60);
  QLabel label(QStringLiteral("███"), &parent);
  label.setGeometry(0, 0, 200, 60);
  QFont big = label.font();
  big.setPixelSize(40);
  label.setFont(big);
  label.setStyleSheet("color: rgb(0, 136, 255); background: transparent;");
  const QImage image = parent.grab().toImage();
  EXPECT_GT(CountPixels(image, QColor(0, 136, 255)), 200);
  EXPECT_EQ(CountPixels(image, ToQColor(skin.window_text)), 0);
  // The skin's face shows around the glyphs.
  EXPECT_EQ(image.pixelColor(199, 59), ToQColor(skin.window));
  application.setStyleSheet(QString());
}

TEST(SkinStyleTest, WidgetsMadeBeforeTheSkinTakeItsFont) {
  auto& application = *qobject_cast<QApplication*>(QCoreApplication::instance());
  const QFont system_font = QApplication::font();
  QWidget window;
  QLabel plain(&window);
  QLineEdit styled(&window);  // a style sheet of its own, as the main window's boxes
  styled.setStyleSheet("color: rgb(0, 0, 0); background-color: rgb(255, 255, 255);");
  QLabel sized(&window);  // its own size, the default face
  QFont size_only;
  size_only.setPixelSize(15);
  sized.setFont(size_only);
  sized.setStyleSheet("color: rgb(0, 128, 128);");

  SkinDescription skin;
  skin.font_family = "No Such Face,WenQuanYi Micro Hei";
  skin.font_pixel_size = 13;
  ApplySkin(application, skin);
  EXPECT_EQ(plain.font().pixelSize(), 13);
  EXPECT_EQ(styled.font().pixelSize(), 13);
  EXPECT_EQ(styled.font().families(), QApplication::font().families());
  EXPECT_EQ(sized.font().pixelSize(), 15);
  EXPECT_EQ(sized.font().families(), QApplication::font().families());
  EXPECT_EQ(QFontInfo(styled.font()).family(), QStringLiteral("WenQuanYi Micro Hei"));

  application.setStyleSheet(QString());
  QApplication::setFont(system_font);
}

}  // namespace
}  // namespace vantry::skin
