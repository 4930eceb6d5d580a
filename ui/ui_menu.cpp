#include "ui/ui_menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "ui/ui_text.h"

ui_menu_item ui_separator() {
  return {};
}

ui_menu::ui_menu(const ui_menu_resource& resource, run_function run, state_function state)
    : resource_(resource.id), run_(std::move(run)), state_(std::move(state)) {
  for (const ui_menu_item& item : resource.popups) {
    auto* popup = new QMenu(qstr(item.text));
    build(popup, item.items);
    popups_.push_back(popup);
  }
}

ui_menu::~ui_menu() {
  for (QMenu* popup : popups_)
    delete popup;
}

QMenu* ui_menu::popup(int index) const {
  return index >= 0 && index < static_cast<int>(popups_.size()) ? popups_[index] : nullptr;
}

int ui_menu::item_id(const QAction* action) {
  return action && !action->isSeparator() && !action->menu() ? action->data().toInt() : 0;
}

QAction* ui_menu::make_action(QMenu* popup, const ui_menu_item& item) {
  std::string text = item.text;
  std::string shortcut;
  if (std::size_t tab = text.find('\t'); tab != std::string::npos) {
    shortcut = text.substr(tab + 1);
    text.erase(tab);
  }
  auto* action = new QAction(qstr(text), popup);
  action->setData(item.id);
  if (!shortcut.empty()) action->setShortcut(QKeySequence(qstr(shortcut)));
  if (!item.prompt.empty()) action->setStatusTip(qstr(item.prompt));
  const int id = item.id;
  connect(action, &QAction::triggered, this, [this, id] { run_(id); });
  return action;
}

void ui_menu::build(QMenu* popup, const std::vector<ui_menu_item>& items) {
  for (const ui_menu_item& item : items) {
    if (!item.items.empty()) {
      QMenu* sub = popup->addMenu(qstr(item.text));
      build(sub, item.items);
    } else if (item.text.empty() && item.id == 0) {
      popup->addSeparator();
    } else {
      popup->addAction(make_action(popup, item));
    }
  }
  watch(popup);
}

void ui_menu::watch(QMenu* popup) {
  connect(popup, &QMenu::aboutToShow, this, [this, popup] {
    for (QAction* action : popup->actions()) {
      int id = item_id(action);
      if (id == 0) continue;
      ui_command_state state = state_(id);
      action->setEnabled(state.enabled);
      action->setCheckable(state.checked);
      action->setChecked(state.checked);
    }
  });
  // Shortcuts work only on enabled actions; the commands check their state
  // themselves when they run.
  connect(popup, &QMenu::aboutToHide, this, [popup] {
    for (QAction* action : popup->actions())
      action->setEnabled(true);
  });
}

void ui_menu::append_item(QMenu* popup, const std::string& text, int id) {
  popup->addAction(make_action(popup, {text, id, {}, {}}));
}

void ui_menu::append_separator(QMenu* popup) {
  popup->addSeparator();
}

void ui_menu::remove_at(QMenu* popup, int position) {
  QList<QAction*> actions = popup->actions();
  if (position < 0 || position >= actions.size()) return;
  QAction* action = actions[position];
  popup->removeAction(action);
  if (action->parent() == popup) delete action;
}

void ui_menu::modify_at(QMenu* popup, int position, const std::string& text, int id) {
  QList<QAction*> actions = popup->actions();
  if (position < 0 || position >= actions.size()) return;
  QAction* old = actions[position];
  QAction* replacement = make_action(popup, {text, id, {}, {}});
  popup->insertAction(old, replacement);
  popup->removeAction(old);
  if (old->parent() == popup) delete old;
}

