#include "ui/ui_scroll_view.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QScrollBar>

namespace {

// Paints a black square at (500, 700) of a 2000 by 3000 extent.
class square_view : public ui_scroll_view {
 public:
  square_view() {
    resize(300, 200);
    set_scroll_sizes({2000, 3000});
  }
  std::vector<QRect> asked;

 protected:
  void on_draw(QPainter& painter, const QRect& visible) override {
    asked.push_back(visible);
    painter.fillRect(visible, Qt::white);
    painter.fillRect(QRect(500, 700, 10, 10), Qt::black);
  }
};

TEST(ScrollView, TheExtentScrollsByPagesAndLinesUnlessItIsSmallerThanTheWindow) {
  square_view view;
  QSize page = view.viewport()->size();
  EXPECT_EQ(view.horizontalScrollBar()->maximum(), 2000 - page.width());
  EXPECT_EQ(view.verticalScrollBar()->maximum(), 3000 - page.height());
  EXPECT_EQ(view.verticalScrollBar()->pageStep(), page.height());
  EXPECT_EQ(view.verticalScrollBar()->singleStep(), page.height() / 10);
  view.set_scroll_sizes({100, 50});
  EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
}

TEST(ScrollView, DrawingIsInExtentCoordinates) {
  square_view view;
  view.scroll_to({490, 695});
  EXPECT_EQ(view.scroll_position(), QPoint(490, 695));
  QImage image = view.viewport()->grab().toImage();
  EXPECT_EQ(image.pixelColor(10, 5), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(19, 14), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(20, 15), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(9, 5), QColor(Qt::white));
  ASSERT_FALSE(view.asked.empty());
  EXPECT_EQ(view.asked.back().topLeft(), QPoint(490, 695)) << "the visible part of the extent";
}

}  // namespace
