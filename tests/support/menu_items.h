#pragma once

#include <QAction>
#include <QMenu>
#include <string>
#include <vector>

#include "ui/ui_menu.h"
#include "ui/ui_text.h"

// The items of a pop-up menu as "text id" lines, "-" for a separator.
inline std::vector<std::string> menu_items(const QMenu* popup) {
  std::vector<std::string> lines;
  for (const QAction* action : popup->actions())
    lines.push_back(action->isSeparator()
                        ? "-"
                        : utf8(action->text()) + " " + std::to_string(ui_menu::item_id(action)));
  return lines;
}
