#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/ui_command_target.h"
#include "ui/ui_menu.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class ui_child_frame;

// The program's main window: child frames in an MDI area, the menu of the
// active frame's template (or the frame's own), and a status bar with a
// message pane and the CAP, NUM and SCRL indicators.
class ui_main_frame : public QMainWindow, public ui_command_target {
 public:
  // menu: the main frame's own menu, shown while no child frame is open.
  explicit ui_main_frame(const ui_menu_resource& menu);
  ~ui_main_frame() override;

  QMdiArea* mdi_area() const { return mdi_; }
  ui_child_frame* active_frame() const;
  void add_frame(ui_child_frame* frame);

  // The built menu of a resource (made on first use) and the one shown now.
  ui_menu* menu(const ui_menu_resource& resource);
  ui_menu* menu_in_use() const { return in_use_; }
  // Every menu built so far.
  std::vector<ui_menu*> menus() const;

  // The message pane's text; empty shows the idle message.
  void set_message(const std::string& text);
  std::string message() const;
  QLabel* indicator(int index) const { return indicators_[index]; }

  // The title: the program's name, then " - " and the active document's.
  void update_title();
  // Shows the menu the active frame calls for.
  void update_menu();

 protected:
  // Called while the menu of a resource is first built, to add items of the
  // program's own (the user mailboxes).
  virtual void on_menu_built(ui_menu& menu) { (void)menu; }

  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void show_menu(ui_menu* menu);
  void refresh_indicators();
  void fill_window_list(QMenu* popup);

  QMdiArea* mdi_;
  const ui_menu_resource& own_menu_;
  std::map<int, std::unique_ptr<ui_menu>> menus_;
  ui_menu* in_use_ = nullptr;
  QLabel* message_;
  QLabel* indicators_[3];
};
