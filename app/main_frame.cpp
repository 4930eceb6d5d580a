#include "app/main_frame.h"

#include "app/menus.h"
#include "app/velmar_app.h"

CMainFrame::CMainFrame() : ui_main_frame(main_menu()) {}

void CMainFrame::on_menu_built(ui_menu& menu) {
  if (CVelmarApp* app = CVelmarApp::instance()) app->add_user_mailboxes(menu);
}
