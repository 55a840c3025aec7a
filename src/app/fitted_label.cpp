#include "app/fitted_label.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <QStyle>
#include <algorithm>

namespace vantry {
namespace {

// The pixel size of `font`, also for a font given in points.
int PixelSize(const QFont& font) {
  return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

QFont AtPixelSize(QFont font, int pixel_size) {
  font.setPixelSize(pixel_size);
  return font;
}

bool Fits(const QFont& font, const QString& text, QSize box) {
  // Line breaks in the text start new lines; the rest stays on one line.
  const QRect needed = QFontMetrics(font).boundingRect(
      QRect(0, 0, box.width(), box.height()), Qt::AlignCenter, text);
  return needed.width() <= box.width() && needed.height() <= box.height();
}

}  // namespace

QFont FitFontToBox(const QFont& font, const QString& text, QSize box,
                   int minimum_pixel_size) {
  if (text.isEmpty() || Fits(font, text, box)) return font;
  const int full = PixelSize(font);
  if (full <= minimum_pixel_size) return font;
  // Widths and heights grow with the size: the largest size that fits lies between
  // the minimum and the full size, found by halving.
  int low = minimum_pixel_size;  // the answer when nothing larger fits
  int high = full - 1;
  while (low < high) {
    const int middle = (low + high + 1) / 2;
    if (Fits(AtPixelSize(font, middle), text, box)) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return AtPixelSize(font, low);
}

QFont FittedLabel::DrawnFont() const {
  return FitFontToBox(font(), text(), contentsRect().size(), kMinimumPixelSize);
}

void FittedLabel::paintEvent(QPaintEvent* event) {
  const QFont drawn = DrawnFont();
  const QRect box = contentsRect();
  QString shown = text();
  const bool fits = Fits(drawn, shown, box.size());
  if (drawn == font() && fits) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  drawFrame(&painter);
  painter.setFont(drawn);
  if (!fits) {
    shown.replace(QChar('\n'), QChar(' '));
    shown = QFontMetrics(drawn).elidedText(shown, Qt::ElideRight, box.width());
  }
  style()->drawItemText(&painter, box,
                        QStyle::visualAlignment(layoutDirection(), alignment()),
                        palette(), isEnabled(), shown, foregroundRole());
}

}  // namespace vantry
