#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "letter/viewer_host.h"
#include "ui/ui_view.h"

class CVelmarDoc;
class QListWidget;
class ui_bitmap_button;
class ui_child_frame;

// The message list of a mailbox: a grey band of ten picture buttons and four
// column titles above a list box with one line per letter. A double click or
// Enter opens the current letter in a viewer.
class CVelmarCntrItem;

class CListView : public QWidget, public ui_view, public viewer_opener {
 public:
  CListView();

  QWidget* widget() override { return this; }
  CVelmarDoc* mailbox() const;

  void on_update(ui_view* sender, long hint) override;
  // The viewer opened from this list goes with it.
  void on_frame_closing() override;
  QSize sizeHint() const override { return {640, 400}; }

  QListWidget* list_box() const { return list_; }
  ui_bitmap_button* button(int id) const;
  // The ids of the buttons, left to right.
  std::vector<int> button_ids() const;
  // The selected lines, in order.
  std::vector<int> selected_lines() const;
  // Selects exactly these lines (the caret on the last), as a user would.
  void select_lines(const std::vector<int>& lines);
  // The text of the letter last prepared by Save.
  const std::string& save_text() const { return save_text_; }

  // The buttons of the list.
  void on_save();
  void on_delete();
  void on_print();
  void on_close();

  // Opens the viewer on the current letter, or brings the one open forward.
  void open_viewer();
  // The viewer opened from this list, while it is open.
  ui_child_frame* viewer_frame() const { return viewer_open_ ? viewer_frame_.data() : nullptr; }
  void viewer_closed() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void fill_list();
  void on_selection_changed();

  QListWidget* list_;
  std::map<int, ui_bitmap_button*> buttons_;
  std::vector<int> order_;
  std::string save_text_;
  bool filling_ = false;
  bool viewer_open_ = false;
  QPointer<ui_child_frame> viewer_frame_;
  // The item last inserted here.
  CVelmarCntrItem* selection_ = nullptr;
};

// Shown by the commands that need a letter selected when none is.
inline constexpr const char* kSelectFirst = "先选择信件.";

// The band above the list: its height, the line across it and the titles.
inline constexpr int kBandHeight = 54;
inline constexpr int kBandLine = 36;
