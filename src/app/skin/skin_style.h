// Turning a skin into the application's style, palette, style sheet and font.
#ifndef VANTRY_APP_SKIN_SKIN_STYLE_H_
#define VANTRY_APP_SKIN_SKIN_STYLE_H_

#include <QFont>
#include <QPalette>
#include <QString>
#include <optional>

#include "app/skin/skin_format.h"

class QApplication;

namespace vantry::skin {

// A tint applied to every colour of a skin: hue turned by `hue` degrees, saturation and
// lightness moved by `saturation` and `brightness` percent of their range (-100 to 100).
// All zero leaves the colours as they are.
struct ColourShift {
  int hue = 0;
  int saturation = 0;
  int brightness = 0;
};

// The skin with `shift` applied to each of its colours.
SkinDescription ShiftColours(const SkinDescription& skin, const ColourShift& shift);

QPalette SkinPalette(const SkinDescription& skin);
// Rules for buttons, group boxes, edit boxes and scroll bars. Rules name widget classes
// only, so a widget's own style sheet (fixed colours of the main window) keeps winning.
QString SkinStyleSheet(const SkinDescription& skin);
// The default font for controls without one of their own; nothing when the skin keeps
// the system's font.
std::optional<QFont> SkinFont(const SkinDescription& skin, const QFont& system_font);

// Dresses the running application: the Fusion style (so the look is the same on every
// platform), then the palette, the font and the style sheet of `skin`.
void ApplySkin(QApplication& application, const SkinDescription& skin);

}  // namespace vantry::skin

#endif  // VANTRY_APP_SKIN_SKIN_STYLE_H_
