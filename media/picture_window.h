#pragma once

#include <QImage>

#include "media/object_window.h"

class QLabel;
class QScrollArea;

// Kestrel's picture program: the picture at its size in a scrolling window,
// drawn on with the mouse, replaced from a picture file or the clipboard,
// and given back to its item as a bitmap file.
class CPictureWindow : public object_window {
 public:
  explicit CPictureWindow(CVelmarCntrItem& item);

  const QImage& picture() const { return picture_; }
  // The part of the window that shows the picture.
  QWidget* canvas() const;
  void set_picture(const QImage& picture);

  // The toolbar's commands.
  void open_file();
  void paste();

  // Drawing with the mouse: a line in black.
  void draw_line(const QPoint& from, const QPoint& to);

 private:
  class canvas_widget;

  std::string current_file() const override;
  void show_size();

  QImage picture_;
  canvas_widget* canvas_;
  QScrollArea* scroll_;
  QLabel* size_;
};

// A bitmap file of the picture.
std::string bitmap_file_of(const QImage& picture);
