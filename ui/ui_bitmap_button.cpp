#include "ui/ui_bitmap_button.h"

#include <QIcon>
#include <QPainter>
#include <QStyleOptionFocusRect>

ui_bitmap_button::ui_bitmap_button(int id, const QString& caption, QWidget* parent)
    : QAbstractButton(parent), id_(id) {
  setText(caption);
  setAccessibleName(caption);
  setToolTip(caption);
  setFocusPolicy(Qt::TabFocus);
}

void ui_bitmap_button::load_bitmaps(const QPixmap& up, const QPixmap& down) {
  up_ = up;
  down_ = down;
  resize(sizeHint());
  update();
}

QSize ui_bitmap_button::sizeHint() const {
  return up_.isNull() ? QSize(16, 16) : up_.deviceIndependentSize().toSize();
}

void ui_bitmap_button::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPixmap& picture = isDown() ? down_ : up_;
  if (isEnabled()) {
    painter.drawPixmap(0, 0, picture);
  } else {
    painter.drawPixmap(0, 0, QIcon(picture).pixmap(picture.size(), QIcon::Disabled));
  }
  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(3, 3, -3, -3);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}
