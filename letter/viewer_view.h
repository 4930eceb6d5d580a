#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <vector>

#include "letter/viewer_host.h"
#include "model/letter_format.h"
#include "ui/ui_view.h"

class CAletter;
class CPartTextCtrl;
class CVelmarCntrItem;
class CVelmarDocData;
class QLineEdit;
class ui_bitmap_button;

// One letter of a mailbox in a window of its own: a grey band of twelve
// picture buttons and the subject line above the letter's text, where
// double-clicking a placeholder line opens its part. It always shows the
// mailbox's current letter and marks it read.
class CViewerView : public QWidget, public ui_view {
 public:
  explicit CViewerView(viewer_host& host);
  ~CViewerView() override;

  QWidget* widget() override { return this; }
  QSize sizeHint() const override { return {660, 480}; }

  // The window that opened the viewer, told when it goes; alive tells
  // whether that window is still there.
  void set_opener(viewer_opener* opener, QObject* alive);

  // Marks the current letter read and shows it.
  void on_update(ui_view* sender, long hint) override;
  // Formats the current letter and shows it, or closes the viewer when the
  // mailbox has none.
  void ShowCurrentLetter();

  const letter_text& text() const { return text_; }
  CPartTextCtrl* part_text() const { return part_text_; }
  QLineEdit* subject_line() const { return subject_; }
  ui_bitmap_button* button(int id) const;
  // The ids of the buttons, left to right.
  std::vector<int> button_ids() const { return order_; }

  // The buttons.
  void on_prev();
  void on_next();
  void on_delete();
  void on_save();
  void on_trash();
  void on_move();
  void on_print_button();
  void on_close();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  CVelmarDocData* mailbox() const;
  CAletter* current_letter() const;
  // Makes the letter at index current, marks it read, and shows it.
  void step_to(int index);
  // Marks the current letter read; true when its status changed.
  bool mark_read();
  void on_copy();
  // Closes the viewer after its letter left the mailbox.
  void leave();
  void on_insert_object();
  void on_cancel_edit();

  viewer_host& host_;
  letter_text text_;
  CPartTextCtrl* part_text_;
  QLineEdit* subject_;
  std::map<int, ui_bitmap_button*> buttons_;
  std::vector<int> order_;
  // The item last inserted here.
  CVelmarCntrItem* selection_ = nullptr;
  viewer_opener* opener_ = nullptr;
  QPointer<QObject> opener_alive_;
};

// The band above the letter, its height.
inline constexpr int kViewerBandHeight = 62;
