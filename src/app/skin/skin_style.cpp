#include "app/skin/skin_style.h"

#include <QApplication>
#include <QColor>
#include <QStringList>
#include <QStyleFactory>
#include <QWidget>
#include <algorithm>

namespace vantry::skin {
namespace {

QColor ToQColor(const Rgb& c) { return QColor(c.r, c.g, c.b); }

QString Css(const Rgb& c) { return ToQColor(c).name(QColor::HexRgb); }

Rgb Shift(const Rgb& c, const ColourShift& shift) {
  float h = 0, s = 0, l = 0;
  ToQColor(c).getHslF(&h, &s, &l);
  if (h < 0) h = 0;  // achromatic colours report no hue
  h = h + static_cast<float>(shift.hue) / 360.0f;
  h -= static_cast<float>(static_cast<int>(h));
  if (h < 0) h += 1.0f;
  const auto move = [](float value, int percent) {
    const float p = static_cast<float>(std::clamp(percent, -100, 100)) / 100.0f;
    return std::clamp(p >= 0 ? value + (1.0f - value) * p : value * (1.0f + p), 0.0f,
                      1.0f);
  };
  const QColor out =
      QColor::fromHslF(h, move(s, shift.saturation), move(l, shift.brightness));
  return Rgb{static_cast<std::uint8_t>(out.red()), static_cast<std::uint8_t>(out.green()),
             static_cast<std::uint8_t>(out.blue())};
}

// Widgets that follow the application's font but carry a style sheet of their own (the
// main window's fixed colours) are not reached when the application's font changes:
// have every widget resolve its font again, parents before children.
void ResolveFontsAgain(QWidget* widget) {
  QEvent change(QEvent::ApplicationFontChange);
  QCoreApplication::sendEvent(widget, &change);
  // isWidgetType rather than qobject_cast: the skin library reads no Qt data.
  for (QObject* child : widget->children()) {
    if (child->isWidgetType()) ResolveFontsAgain(static_cast<QWidget*>(child));
  }
}

}  // namespace

SkinDescription ShiftColours(const SkinDescription& skin, const ColourShift& shift) {
  if (shift.hue % 360 == 0 && shift.saturation == 0 && shift.brightness == 0) return skin;
  SkinDescription out = skin;
  for (Rgb* c : {&out.window, &out.window_text, &out.base, &out.alternate_base, &out.text,
                 &out.button_top, &out.button_bottom, &out.button_hover_top,
                 &out.button_hover_bottom, &out.button_pressed, &out.button_text,
                 &out.button_border, &out.border, &out.group_title, &out.highlight,
                 &out.highlighted_text}) {
    *c = Shift(*c, shift);
  }
  return out;
}

QPalette SkinPalette(const SkinDescription& skin) {
  QPalette p;
  const QColor window = ToQColor(skin.window);
  const QColor button = ToQColor(skin.button_bottom);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, ToQColor(skin.window_text));
  p.setColor(QPalette::Base, ToQColor(skin.base));
  p.setColor(QPalette::AlternateBase, ToQColor(skin.alternate_base));
  p.setColor(QPalette::Text, ToQColor(skin.text));
  p.setColor(QPalette::Button, button);
  p.setColor(QPalette::ButtonText, ToQColor(skin.button_text));
  p.setColor(QPalette::Highlight, ToQColor(skin.highlight));
  p.setColor(QPalette::HighlightedText, ToQColor(skin.highlighted_text));
  p.setColor(QPalette::ToolTipBase, ToQColor(skin.base));
  p.setColor(QPalette::ToolTipText, ToQColor(skin.text));
  p.setColor(QPalette::PlaceholderText, ToQColor(skin.border));
  p.setColor(QPalette::Light, window.lighter(130));
  p.setColor(QPalette::Midlight, window.lighter(110));
  p.setColor(QPalette::Mid, ToQColor(skin.border));
  p.setColor(QPalette::Dark, ToQColor(skin.button_border));
  p.setColor(QPalette::Shadow, ToQColor(skin.button_border).darker(150));
  // Disabled controls: the same faces with their text faded towards the face.
  const auto fade = [](const QColor& text, const QColor& face) {
    return QColor((text.red() + face.red() * 2) / 3,
                  (text.green() + face.green() * 2) / 3,
                  (text.blue() + face.blue() * 2) / 3);
  };
  p.setColor(QPalette::Disabled, QPalette::WindowText,
             fade(ToQColor(skin.window_text), window));
  p.setColor(QPalette::Disabled, QPalette::Text,
             fade(ToQColor(skin.text), ToQColor(skin.base)));
  p.setColor(QPalette::Disabled, QPalette::ButtonText,
             fade(ToQColor(skin.button_text), button));
  return p;
}

QString SkinStyleSheet(const SkinDescription& skin) {
  const QString radius = QString::number(skin.radius) + "px";
  const QString small_radius = QString::number(std::min(skin.radius, 3)) + "px";
  const auto gradient = [](const Rgb& top, const Rgb& bottom) {
    return QString("qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2)")
        .arg(Css(top), Css(bottom));
  };
  QString css;
  css += QString(
             "QPushButton { color: %1; background-color: %2; border: 1px solid %3;"
             " border-radius: %4; padding: 3px 10px; }\n")
             .arg(Css(skin.button_text), gradient(skin.button_top, skin.button_bottom),
                  Css(skin.button_border), radius);
  css += QString("QPushButton:hover { background-color: %1; border-color: %2; }\n")
             .arg(gradient(skin.button_hover_top, skin.button_hover_bottom),
                  Css(skin.highlight));
  css += QString("QPushButton:pressed { background-color: %1; }\n")
             .arg(Css(skin.button_pressed));
  css += QString("QPushButton:focus { border-color: %1; }\n").arg(Css(skin.highlight));
  css +=
      QString(
          "QGroupBox { border: 1px solid %1; border-radius: %2; margin-top: 7px; }\n"
          "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
          " left: 7px; padding: 0px 3px; color: %3; }\n")
          .arg(Css(skin.border), radius, Css(skin.group_title));
  css += QString(
             "QLineEdit, QPlainTextEdit { border: 1px solid %1; border-radius: %2;"
             " selection-background-color: %3; selection-color: %4; }\n"
             "QLineEdit:focus, QPlainTextEdit:focus { border-color: %3; }\n")
             .arg(Css(skin.border), small_radius, Css(skin.highlight),
                  Css(skin.highlighted_text));
  css += QString(
             "QScrollBar:vertical { background: %1; width: 14px; margin: 0px; border: "
             "none; }\n"
             "QScrollBar::handle:vertical { background: %2; min-height: 24px;"
             " border-radius: 3px; margin: 2px; }\n"
             "QScrollBar::handle:vertical:hover { background: %3; }\n"
             "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: "
             "0px; }\n"
             "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical {"
             " background: none; }\n")
             .arg(Css(skin.alternate_base), Css(skin.border), Css(skin.button_border));
  return css;
}

std::optional<QFont> SkinFont(const SkinDescription& skin, const QFont& system_font) {
  if (skin.font_family.empty() && skin.font_pixel_size == 0) return std::nullopt;
  QFont font = system_font;
  if (!skin.font_family.empty()) {
    QStringList families;
    for (const QString& family :
         QString::fromUtf8(skin.font_family.data(),
                           static_cast<qsizetype>(skin.font_family.size()))
             .split(',', Qt::SkipEmptyParts)) {
      if (!family.trimmed().isEmpty()) families << family.trimmed();
    }
    if (!families.isEmpty()) font.setFamilies(families);
  }
  if (skin.font_pixel_size > 0) font.setPixelSize(skin.font_pixel_size);
  return font;
}

void ApplySkin(QApplication& application, const SkinDescription& skin) {
  if (QStyle* fusion = QStyleFactory::create("Fusion")) QApplication::setStyle(fusion);
  QApplication::setPalette(SkinPalette(skin));
  const auto font = SkinFont(skin, QApplication::font());
  if (font) QApplication::setFont(*font);
  application.setStyleSheet(SkinStyleSheet(skin));
  // After the style sheet, which polishes the widgets again with the fonts they had.
  if (font) {
    for (QWidget* window : QApplication::topLevelWidgets()) ResolveFontsAgain(window);
  }
}

}  // namespace vantry::skin
