#pragma once

#include "ui/ui_main_frame.h"

// The program's main window: its own menu is resource 2; every menu it
// builds lists the user mailboxes.
class CMainFrame : public ui_main_frame {
 public:
  CMainFrame();

 protected:
  void on_menu_built(ui_menu& menu) override;
};
