// The desktop program's start-up fetch with the user's answers scripted:
// the environment confirmed, the password typed, delete-on-server ticked.
// The kill trials start it and kill it at any moment.
//   fetch_child PROFILE PASSWORD
#include <stdlib.h>

#include <QApplication>

#include "app/fetch_dialog.h"
#include "app/resource_ids.h"
#include "app/velmar_app.h"
#include "ui/ui_script.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  const std::string password = argv[2];
  ui_script script;
  script.press_ok(IDD_ENVIRONMENT).answer_dialog(IDD_FETCH, [&password](ui_dialog& dialog) {
    dialog.set_text(IDC_FETCH_PASSWORD, password);
    dialog.set_checked(IDC_FETCH_DELETE, true);
    return true;
  });
  int result = 1;
  {
    CVelmarApp app;
    if (app.init_instance({}, argv[1])) {
      for (const std::string& text : script.messages())
        if (text.rfind("取到 ", 0) == 0) result = 0;
    }
    app.close_all_documents();
  }
  return result;
}
