#pragma once

#include <QAbstractScrollArea>
#include <QSize>

#include "ui/ui_view.h"

class QPainter;

// A view that scrolls over a fixed extent in pixels: on_draw paints in the
// extent's coordinates, as if the whole extent were on the screen.
class ui_scroll_view : public QAbstractScrollArea, public ui_view {
 public:
  explicit ui_scroll_view(QWidget* parent = nullptr);

  QWidget* widget() override { return this; }

  // The total extent; page steps are the visible size, line steps a tenth.
  void set_scroll_sizes(QSize total);
  QSize total_size() const { return total_; }
  // The extent's point at the top left corner of the viewport.
  QPoint scroll_position() const;
  void scroll_to(QPoint position);

 protected:
  // Paints the part of the extent given (in extent coordinates).
  virtual void on_draw(QPainter& painter, const QRect& visible) = 0;

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void update_bars();
  QSize total_{0, 0};
};
