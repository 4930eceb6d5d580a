#include "app/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QPixmap program_icon_pixmap(int side) {
  QPixmap pixmap(side, side);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(side / 32.0, side / 32.0);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 110, 190));
  p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
  // The letter.
  p.setPen(QPen(QColor(30, 30, 30), 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(5, 14, 22, 13));
  p.drawLine(QPointF(5, 14), QPointF(16, 22));
  p.drawLine(QPointF(27, 14), QPointF(16, 22));
  // The kestrel: a swept wing and a tail over the letter.
  QPainterPath bird(QPointF(4, 11));
  bird.cubicTo(10, 4, 18, 3, 28, 5);
  bird.cubicTo(22, 7, 19, 9, 18, 12);
  bird.lineTo(14, 11);
  bird.cubicTo(11, 10, 7, 10, 4, 11);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(190, 100, 40));
  p.drawPath(bird);
  return pixmap;
}

QIcon program_icon() {
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64})
    icon.addPixmap(program_icon_pixmap(side));
  return icon;
}
