#include "ui/ui_scroll_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

ui_scroll_view::ui_scroll_view(QWidget* parent) : QAbstractScrollArea(parent) {
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
}

void ui_scroll_view::set_scroll_sizes(QSize total) {
  total_ = total;
  update_bars();
  viewport()->update();
}

QPoint ui_scroll_view::scroll_position() const {
  return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void ui_scroll_view::scroll_to(QPoint position) {
  horizontalScrollBar()->setValue(position.x());
  verticalScrollBar()->setValue(position.y());
}

void ui_scroll_view::update_bars() {
  QSize page = viewport()->size();
  QScrollBar* bars[2] = {horizontalScrollBar(), verticalScrollBar()};
  int totals[2] = {total_.width(), total_.height()};
  int pages[2] = {page.width(), page.height()};
  for (int i = 0; i < 2; ++i) {
    bars[i]->setRange(0, std::max(0, totals[i] - pages[i]));
    bars[i]->setPageStep(std::max(1, pages[i]));
    bars[i]->setSingleStep(std::max(1, pages[i] / 10));
  }
}

void ui_scroll_view::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  QPoint origin = scroll_position();
  painter.translate(-origin);
  on_draw(painter, event->rect().translated(origin));
}

void ui_scroll_view::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  update_bars();
}

void ui_scroll_view::scrollContentsBy(int, int) {
  viewport()->update();
}
