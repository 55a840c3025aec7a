#include "app/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace vantry {
namespace {

QPixmap IconImage(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);

  // Tile.
  QLinearGradient tile(0, 0, 0, 64);
  tile.setColorAt(0, QColor(0x3A, 0x8E, 0xD6));
  tile.setColorAt(1, QColor(0x1F, 0x5F, 0x9E));
  p.setPen(Qt::NoPen);
  p.setBrush(tile);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

  // Paper with a folded corner.
  QPainterPath paper;
  paper.moveTo(15, 9);
  paper.lineTo(41, 9);
  paper.lineTo(50, 18);
  paper.lineTo(50, 55);
  paper.lineTo(15, 55);
  paper.closeSubpath();
  p.setBrush(QColor(0xFD, 0xFD, 0xF8));
  p.drawPath(paper);
  QPainterPath fold;
  fold.moveTo(41, 9);
  fold.lineTo(41, 18);
  fold.lineTo(50, 18);
  fold.closeSubpath();
  p.setBrush(QColor(0xD5, 0xDD, 0xE6));
  p.drawPath(fold);

  // Lines of writing.
  p.setPen(QPen(QColor(0x9A, 0xA9, 0xB8), 2.2, Qt::SolidLine, Qt::RoundCap));
  for (int y : {20, 27, 34, 41})
    p.drawLine(QPointF(20, y), QPointF(y == 20 ? 36 : 45, y));

  // The teacher's red tick.
  p.setPen(
      QPen(QColor(0xE0, 0x2E, 0x2E), 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  QPainterPath tick;
  tick.moveTo(24, 40);
  tick.lineTo(32, 49);
  tick.lineTo(54, 25);
  p.drawPath(tick);
  return pixmap;
}

void DrawHeart(QPainter& p) {
  QRadialGradient glow(50, 45, 55);
  glow.setColorAt(0, QColor(0xFF, 0xF3, 0xF5));
  glow.setColorAt(1, QColor(0xFF, 0xDD, 0xE4));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawRoundedRect(QRectF(0, 0, 100, 100), 10, 10);

  QPainterPath heart;
  heart.moveTo(50, 82);
  heart.cubicTo(18, 60, 12, 40, 22, 28);
  heart.cubicTo(32, 16, 46, 22, 50, 34);
  heart.cubicTo(54, 22, 68, 16, 78, 28);
  heart.cubicTo(88, 40, 82, 60, 50, 82);
  QLinearGradient red(0, 20, 0, 82);
  red.setColorAt(0, QColor(0xFF, 0x6B, 0x81));
  red.setColorAt(1, QColor(0xD9, 0x23, 0x44));
  p.setBrush(red);
  p.drawPath(heart);
  p.setBrush(QColor(255, 255, 255, 150));
  p.drawEllipse(QRectF(28, 31, 10, 7));
}

void DrawTea(QPainter& p) {
  QRadialGradient glow(50, 45, 55);
  glow.setColorAt(0, QColor(0xF4, 0xFB, 0xF2));
  glow.setColorAt(1, QColor(0xDD, 0xEE, 0xD9));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawRoundedRect(QRectF(0, 0, 100, 100), 10, 10);

  // Steam.
  p.setPen(QPen(QColor(0x9C, 0xB8, 0x98), 3, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  for (int x : {38, 52}) {
    QPainterPath steam;
    steam.moveTo(x, 38);
    steam.cubicTo(x - 6, 31, x + 6, 25, x, 16);
    p.drawPath(steam);
  }
  // Saucer, cup and handle.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x5E, 0x8C, 0x5A));
  p.drawEllipse(QRectF(18, 74, 64, 12));
  p.setPen(QPen(QColor(0x3F, 0x6E, 0x3C), 5));
  p.drawArc(QRectF(62, 48, 18, 18), -90 * 16, 180 * 16);
  p.setPen(Qt::NoPen);
  QLinearGradient cup(0, 42, 0, 80);
  cup.setColorAt(0, QColor(0x7F, 0xB0, 0x78));
  cup.setColorAt(1, QColor(0x3F, 0x6E, 0x3C));
  p.setBrush(cup);
  QPainterPath body;
  body.moveTo(24, 42);
  body.lineTo(72, 42);
  body.cubicTo(72, 66, 64, 80, 48, 80);
  body.cubicTo(32, 80, 24, 66, 24, 42);
  p.drawPath(body);
  p.setBrush(QColor(0xC8, 0x9B, 0x4E));
  p.drawEllipse(QRectF(26, 39, 44, 7));
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(IconImage(size));
  return icon;
}

QPixmap SponsorPicture(int which, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 100.0, size / 100.0);
  if (which == 1) {
    DrawHeart(p);
  } else {
    DrawTea(p);
  }
  return pixmap;
}

}  // namespace vantry
