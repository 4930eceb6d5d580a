#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A push button drawn from two pictures, one up and one pressed, and sized
// to them. Its text is its name for tests and accessibility; the user sees
// the pictures.
class ui_bitmap_button : public QAbstractButton {
 public:
  ui_bitmap_button(int id, const QString& caption, QWidget* parent = nullptr);

  int id() const { return id_; }
  void load_bitmaps(const QPixmap& up, const QPixmap& down);
  const QPixmap& up() const { return up_; }
  const QPixmap& down() const { return down_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int id_;
  QPixmap up_;
  QPixmap down_;
};
