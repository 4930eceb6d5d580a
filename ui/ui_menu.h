#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "ui/ui_command_target.h"

class QAction;
class QMenu;

// A menu resource: its top-level pop-ups and their items. An item with an
// empty text and id 0 is a separator; an item with items is a pop-up. The
// text marks its access key with "&" and may add "\t" and a shortcut.
struct ui_menu_item {
  std::string text;
  int id = 0;
  std::vector<ui_menu_item> items;
  std::string prompt;  // shown in the status bar while the item is highlighted
};

struct ui_menu_resource {
  int id;
  std::vector<ui_menu_item> popups;
};

ui_menu_item ui_separator();

// A built menu: the pop-ups of one resource as Qt menus. Items carry their
// command ids; choosing one, or its shortcut, runs the command, and a pop-up
// asks how its commands look each time it opens.
class ui_menu : public QObject {
 public:
  using run_function = std::function<void(int id)>;
  using state_function = std::function<ui_command_state(int id)>;

  ui_menu(const ui_menu_resource& resource, run_function run, state_function state);
  ~ui_menu() override;

  int resource() const { return resource_; }
  const std::vector<QMenu*>& popups() const { return popups_; }
  QMenu* popup(int index) const;

  // Item editing by position within a pop-up (separators count).
  void append_item(QMenu* popup, const std::string& text, int id);
  void append_separator(QMenu* popup);
  void remove_at(QMenu* popup, int position);
  void modify_at(QMenu* popup, int position, const std::string& text, int id);

  // The command id of an action (0 for separators and pop-ups).
  static int item_id(const QAction* action);

 private:
  QAction* make_action(QMenu* popup, const ui_menu_item& item);
  void build(QMenu* popup, const std::vector<ui_menu_item>& items);
  void watch(QMenu* popup);

  int resource_;
  run_function run_;
  state_function state_;
  std::vector<QMenu*> popups_;
};
