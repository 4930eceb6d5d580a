#pragma once

#include <string>

#include "ui/ui_dialog.h"
#include "ui/ui_script.h"

// Scripted dialog answers that fill one control and press OK.

// Selects line INDEX of the list CONTROL.
inline ui_script::dialog_answer choosing(int control, int index) {
  return [control, index](ui_dialog& dialog) {
    dialog.select(control, index);
    return true;
  };
}

// Types TEXT into the edit CONTROL.
inline ui_script::dialog_answer typing(int control, const std::string& text) {
  return [control, text](ui_dialog& dialog) {
    dialog.set_text(control, text);
    return true;
  };
}
