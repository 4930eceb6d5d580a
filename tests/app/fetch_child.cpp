// The desktop program's start-up fetch with the user's answers scripted:
// the environment confirmed, the password typed, delete-on-server ticked
// (unless "keep" is given). The kill trials start it and kill it at any
// moment; the fetch benchmark times it: it prints the seconds from the
// dialog's OK to the end of the fetch.
//   fetch_child PROFILE PASSWORD [keep]
#include <stdlib.h>

#include <chrono>
#include <cstdio>

#include <QApplication>

#include "app/fetch_dialog.h"
#include "app/resource_ids.h"
#include "app/velmar_app.h"
#include "ui/ui_script.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) return 2;
  const bool delete_on_server = argc == 3 || std::string(argv[3]) != "keep";
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  const std::string password = argv[2];
  ui_script script;
  std::chrono::steady_clock::time_point confirmed;
  script.press_ok(IDD_ENVIRONMENT).answer_dialog(IDD_FETCH, [&](ui_dialog& dialog) {
    dialog.set_text(IDC_FETCH_PASSWORD, password);
    dialog.set_checked(IDC_FETCH_DELETE, delete_on_server);
    confirmed = std::chrono::steady_clock::now();
    return true;
  });
  int result = 1;
  {
    CVelmarApp app;
    if (app.init_instance({}, argv[1])) {
      std::printf(
          "%.3f\n",
          std::chrono::duration<double>(std::chrono::steady_clock::now() - confirmed).count());
      for (const std::string& text : script.messages())
        if (text.rfind("取到 ", 0) == 0) result = 0;
    }
    app.close_all_documents();
  }
  return result;
}
