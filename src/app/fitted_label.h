// A one-line label whose text always shows whole: the student's name and the score.
#ifndef VANTRY_APP_FITTED_LABEL_H_
#define VANTRY_APP_FITTED_LABEL_H_

#include <QFont>
#include <QLabel>
#include <QSize>
#include <QString>

namespace vantry {

// The font in which `text` is drawn in a box of `box` pixels: `font` itself when the
// text fits; otherwise `font` at the largest smaller pixel size at which it fits, but
// not below `minimum_pixel_size` (where it may still not fit). Face and weight stay.
QFont FitFontToBox(const QFont& font, const QString& text, QSize box,
                   int minimum_pixel_size);

// Draws its text in its own font when the text fits its box, and shrinks the font just
// enough when it does not (a long name, a very large or negative total), down to
// kMinimumPixelSize; a text too long even then is cut with "…" rather than clipped. The
// label's font() stays what was set, so the next text that fits is drawn at full size.
class FittedLabel : public QLabel {
 public:
  static constexpr int kMinimumPixelSize = 9;

  using QLabel::QLabel;

  // The font the current text is drawn in.
  QFont DrawnFont() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vantry

#endif  // VANTRY_APP_FITTED_LABEL_H_
