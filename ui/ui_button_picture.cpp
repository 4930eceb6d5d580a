#include "ui/ui_button_picture.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace {

const QColor kFace(192, 192, 192);
const QColor kShadow(128, 128, 128);
const QColor kInk(0, 0, 0);
const QColor kPaper(255, 255, 255);
const QColor kArrow(0, 96, 192);

// The edges of a Windows-style button, raised or pressed.
void draw_frame(QPainter& p, bool down) {
  const int last = kButtonSide - 1;
  p.setPen(down ? kInk : kPaper);
  p.drawLine(0, 0, last - 1, 0);
  p.drawLine(0, 0, 0, last - 1);
  p.setPen(down ? kShadow : kFace);
  p.drawLine(1, 1, last - 2, 1);
  p.drawLine(1, 1, 1, last - 2);
  p.setPen(down ? kFace : kShadow);
  p.drawLine(1, last - 1, last - 1, last - 1);
  p.drawLine(last - 1, 1, last - 1, last - 1);
  p.setPen(down ? kPaper : kInk);
  p.drawLine(0, last, last, last);
  p.drawLine(last, 0, last, last);
}

void envelope(QPainter& p, QRectF box) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(kPaper);
  p.drawRect(box);
  p.drawLine(box.topLeft(), QPointF(box.center().x(), box.center().y() + 1));
  p.drawLine(box.topRight(), QPointF(box.center().x(), box.center().y() + 1));
}

// An arrow along a path, with its head at the path's end pointing along
// direction (a unit step).
void arrow(QPainter& p, const QPainterPath& path, QPointF tip, QPointF direction, QColor colour) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
  p.drawPath(path);
  QPointF side(-direction.y(), direction.x());
  QPolygonF head{tip + direction * 4, tip - direction * 3 + side * 4,
                 tip - direction * 3 - side * 4};
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(head);
}

void reply_arrow(QPainter& p, double x, double y) {
  QPainterPath path({x + 12, y + 9});
  path.cubicTo(x + 12, y + 3, x + 8, y + 2, x + 3, y + 2);
  arrow(p, path, {x + 3, y + 2}, {-1, 0}, kArrow);
}

// A sheet of paper with lines on it.
void sheet(QPainter& p, QRectF box) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(kPaper);
  p.drawRect(box);
  p.setPen(QPen(kShadow, 1));
  for (double y = box.top() + 4; y < box.bottom() - 2; y += 3)
    p.drawLine(QPointF(box.left() + 2, y), QPointF(box.right() - 2, y));
}

// A straight arrow from one point to another.
void straight_arrow(QPainter& p, QPointF from, QPointF to, QColor colour) {
  QPainterPath path(from);
  path.lineTo(to);
  QPointF step = to - from;
  double length = std::hypot(step.x(), step.y());
  arrow(p, path, to, step / length, colour);
}

void draw_picture(QPainter& p, button_picture what) {
  using picture = button_picture;
  switch (what) {
    case picture::previous:
      sheet(p, {13, 6, 13, 20});
      straight_arrow(p, {20, 16}, {6, 16}, kArrow);
      break;
    case picture::next:
      sheet(p, {6, 6, 13, 20});
      straight_arrow(p, {12, 16}, {25, 16}, kArrow);
      break;
    case picture::compose: {
      sheet(p, {6, 5, 15, 21});
      p.setPen(QPen(kInk, 1));
      p.setBrush(QColor(240, 200, 64));
      QPolygonF pencil{{26, 8}, {28, 10}, {17, 23}, {14, 24}, {15, 21}};
      p.drawPolygon(pencil);
      break;
    }
    case picture::reply:
      envelope(p, {10, 13, 16, 11});
      reply_arrow(p, 4, 5);
      break;
    case picture::reply_all:
      envelope(p, {11, 14, 15, 10});
      reply_arrow(p, 6, 6);
      reply_arrow(p, 3, 2);
      break;
    case picture::forward: {
      envelope(p, {5, 13, 16, 11});
      QPainterPath path({12, 11});
      path.cubicTo(12, 5, 17, 4, 24, 4);
      arrow(p, path, {24, 4}, {1, 0}, QColor(0, 128, 0));
      break;
    }
    case picture::redirect: {
      envelope(p, {4, 5, 15, 10});
      QPainterPath path({12, 17});
      path.lineTo(12, 23);
      path.lineTo(22, 23);
      arrow(p, path, {23, 23}, {1, 0}, QColor(160, 0, 160));
      break;
    }
    case picture::trash: {
      p.setPen(QPen(kInk, 1));
      p.setBrush(QColor(160, 160, 160));
      p.drawRect(QRectF(8, 7, 16, 3));
      p.drawRect(QRectF(13, 5, 6, 2));
      p.setBrush(kShadow);
      QPolygonF bin{{9.5, 10}, {22.5, 10}, {21, 26}, {11, 26}};
      p.drawPolygon(bin);
      p.setPen(QPen(QColor(224, 224, 224), 1));
      for (double x : {13.5, 16.0, 18.5})
        p.drawLine(QPointF(x, 12), QPointF(x, 24));
      break;
    }
    case picture::save:
      p.setPen(QPen(kInk, 1));
      p.setBrush(QColor(0, 0, 128));
      p.drawRect(QRectF(6, 6, 20, 20));
      p.setBrush(kPaper);
      p.drawRect(QRectF(9, 6, 14, 9));
      p.setBrush(QColor(160, 160, 160));
      p.drawRect(QRectF(10, 19, 12, 7));
      p.setBrush(QColor(0, 0, 128));
      p.drawRect(QRectF(17, 20, 3, 5));
      break;
    case picture::move: {
      envelope(p, {3, 5, 13, 9});
      p.setPen(QPen(kInk, 1));
      p.setBrush(QColor(240, 200, 64));
      p.drawRect(QRectF(14, 17, 14, 10));
      p.drawRect(QRectF(14, 15, 6, 2));
      QPainterPath path({10, 16});
      path.cubicTo(10, 21, 12, 22, 16, 22);
      arrow(p, path, {18, 22}, {1, 0}, kArrow);
      break;
    }
    case picture::remove:
      p.setPen(QPen(kInk, 1));
      p.setBrush(kPaper);
      p.drawRect(QRectF(8, 5, 14, 20));
      p.setPen(QPen(kShadow, 1));
      for (int y = 9; y <= 21; y += 3)
        p.drawLine(10, y, 20, y);
      p.setPen(QPen(QColor(208, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(12, 12, 25, 26);
      p.drawLine(25, 12, 12, 26);
      break;
    case picture::print:
      p.setPen(QPen(kInk, 1));
      p.setBrush(kPaper);
      p.drawRect(QRectF(10, 5, 12, 9));
      p.setBrush(QColor(160, 160, 160));
      p.drawRect(QRectF(5, 13, 22, 9));
      p.setBrush(kPaper);
      p.drawRect(QRectF(9, 20, 14, 7));
      p.setBrush(QColor(0, 160, 0));
      p.drawRect(QRectF(22, 15, 2, 2));
      break;
    case picture::close: {
      p.setPen(QPen(kInk, 1));
      p.setBrush(QColor(96, 64, 32));
      p.drawRect(QRectF(6, 5, 12, 22));
      p.setBrush(QColor(176, 120, 64));
      QPolygonF door{{6, 5}, {14, 8}, {14, 29}, {6, 27}};
      p.drawPolygon(door);
      QPainterPath path({16, 16});
      path.lineTo(24, 16);
      arrow(p, path, {25, 16}, {1, 0}, QColor(208, 0, 0));
      break;
    }
  }
}

}  // namespace

QPixmap ui_button_picture(button_picture what, bool down) {
  QPixmap pixmap(kButtonSide, kButtonSide);
  pixmap.fill(kFace);
  QPainter painter(&pixmap);
  draw_frame(painter, down);
  painter.setRenderHint(QPainter::Antialiasing);
  if (down) painter.translate(1, 1);
  draw_picture(painter, what);
  return pixmap;
}
