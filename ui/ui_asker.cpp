#include "ui/ui_asker.h"

#include "ui/qt_asker.h"

namespace {

ui_asker* current = nullptr;

}  // namespace

ui_asker& ui_ask() {
  static qt_asker windows;
  return current ? *current : windows;
}

ui_asker* ui_set_asker(ui_asker* asker) {
  ui_asker* old = current;
  current = asker;
  return old;
}

int ui_message_box(const std::string& text, unsigned style) {
  return ui_ask().message_box(text, style);
}
