// Stands in for kestrel inside demo/demo.sh and walks the newcomer's road:
// the start-up fetch with the printed password (the letters leaving the
// server), a letter in each code opened, the Big5 letter answered and sent,
// and the reply fetched back. Prints the Dovecot's process id first, so the
// test can see it gone afterwards; any step that goes wrong ends it with 1.
//   demo_child [fail]      (fail: print the id and end with 3 at once)
#include <stdlib.h>

#include <QApplication>
#include <QTest>
#include <QTextCursor>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/cns_view.h"
#include "app/fetch_dialog.h"
#include "app/list_view.h"
#include "app/resource_ids.h"
#include "app/velmar_app.h"
#include "app/velmar_doc.h"
#include "letter/editor_view.h"
#include "letter/letter_ids.h"
#include "letter/part_text_ctrl.h"
#include "letter/viewer_view.h"
#include "media/object_servers.h"
#include "model/letter_display.h"
#include "platform/profile_file.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_ids.h"
#include "ui/ui_script.h"

namespace {

ui_script* questions = nullptr;

// Says which step went wrong, after everything the program asked.
int failed(const std::string& step) {
  if (questions)
    for (const std::string& shown : questions->shown())
      std::fprintf(stderr, "  %s\n", shown.c_str());
  if (questions && !questions->finished())
    std::fprintf(stderr, "  %s\n", questions->problems().c_str());
  std::fprintf(stderr, "demo_child: %s\n", step.c_str());
  return 1;
}

void answer_fetch(ui_script& script, bool delete_on_server) {
  script.answer_dialog(IDD_FETCH, [delete_on_server](ui_dialog& dialog) {
    dialog.set_text(IDC_FETCH_PASSWORD, "demo");
    dialog.set_checked(IDC_FETCH_DELETE, delete_on_server);
    return true;
  });
}

// The letter on a line of the list as the viewer shows it, in UTF-8.
std::string shown(CVelmarApp& app, CListView& list, int line) {
  list.select_lines({line});
  list.open_viewer();
  auto* viewer = dynamic_cast<CViewerView*>(app.active_view());
  if (!viewer) return {};
  std::string text = letter_text_utf8(viewer->text(), true);
  viewer->run_command(IDC_BUTTON_CLOSE);
  return text;
}

// Double-clicks the line of the letter's text that starts with the words, as
// a user opens a part.
bool open_part(CVelmarApp& app, CListView& list, int line, const QString& words) {
  if (line < 0) return false;
  list.select_lines({line});
  list.open_viewer();
  auto* viewer = dynamic_cast<CViewerView*>(app.active_view());
  if (!viewer) return false;
  CPartTextCtrl* text = viewer->part_text();
  const int at = text->toPlainText().indexOf(words);
  if (at < 0) return false;
  QTextCursor cursor(text->document());
  cursor.setPosition(at + 1);
  QTest::mouseDClick(text->viewport(), Qt::LeftButton, {}, text->cursorRect(cursor).center());
  return true;
}

int find_line(CVelmarApp& app, CListView& list, const std::string& words) {
  const int count = static_cast<int>(list.mailbox()->data().letters.size());
  for (int line = 0; line < count; ++line)
    if (shown(app, list, line).find(words) != std::string::npos) return line;
  return -1;
}

int walk(CVelmarApp& app, ui_script& script) {
  auto* list = dynamic_cast<CListView*>(app.active_view());
  if (!list || !list->mailbox()) return failed("no In list after the start");
  if (list->mailbox()->data().letters.size() != 10)
    return failed("the start-up fetch took " +
                  std::to_string(list->mailbox()->data().letters.size()) + " letters, not 10");
  // The subjects and texts in each code, as the screen shows them.
  for (const char* words :
       {"开会通知", "北京大学计算中心开会", "回覆：開會通知", "臺北這裡的朋友", "七位的中文信",
        "欢迎使用 Kestrel", "这个演示邮箱里的信", ">> AUDIO:DOUBLE"})
    if (find_line(app, *list, words) < 0) return failed(std::string("no letter shows ") + words);

  // The ISO-2022-CN text opens in its Chinese view, the picture in its window.
  if (!open_part(app, *list, find_line(app, *list, "七位的中文信"), ">> TEXT:") ||
      !dynamic_cast<CcnsView*>(app.active_view()))
    return failed("the ISO-2022-CN part did not open in its view");
  CVelmarDoc* in = list->mailbox();
  if (!open_part(app, *list, find_line(app, *list, ">> IMAGE:DOUBLE"), ">> IMAGE:DOUBLE") ||
      in->data().items.empty() || !app.servers().window_of(*in->data().items.back()))
    return failed("the picture did not open in its window");

  // The Big5 letter answered: its traditional characters quoted and sent in
  // the demo's code, UTF-8.
  const int big5 = find_line(app, *list, "臺北這裡的朋友");
  list->select_lines({big5});
  list->open_viewer();
  auto* viewer = dynamic_cast<CViewerView*>(app.active_view());
  if (!viewer) return failed("the viewer did not open");
  script.answer(IDYES);                       // quote the letter
  viewer->run_command(IDC_BUTTON_REPLY_ALL);  // the button with the reply picture
  auto* composer = dynamic_cast<CEditorView*>(app.active_view());
  if (!composer) return failed("reply opened no composer");
  composer->set_line(CEditorView::field::to, "demo@kestrel.example");
  script.clear_shown();
  composer->run_command(ID_COMPOSE_SEND);
  if (script.messages() != std::vector<std::string>{" 发信成功! "})
    return failed("sending said " + (script.messages().empty() ? "nothing" : script.messages()[0]));

  answer_fetch(script, true);
  app.run_command(ID_FETCH_MAIL);
  list = nullptr;
  for (ui_document* each : app.documents())
    if (auto* mailbox = dynamic_cast<CVelmarDoc*>(each);
        mailbox && mailbox->data().mailbox_name == "IN")
      for (ui_view* view : mailbox->views())
        if (auto* in_list = dynamic_cast<CListView*>(view)) list = in_list;
  if (!list || list->mailbox()->data().letters.size() != 11)
    return failed("the reply was not fetched back");
  std::string reply = shown(app, *list, 10);
  if (reply.find("Re:回覆：開會通知") == std::string::npos ||
      reply.find(">來信收到，謝謝。臺北這裡的朋友多用大五碼寫信") == std::string::npos ||
      reply.find("CHARSET=UTF-8") == std::string::npos)
    return failed("the reply fetched back reads:\n" + reply);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* folder = getenv("KESTREL_DEMO_FOLDER");
  if (!folder) return failed("not started by demo.sh");
  std::string pid;
  std::ifstream(std::string(folder) + "/run/master.pid") >> pid;
  std::printf("dovecot pid %s\n", pid.c_str());
  std::fflush(stdout);
  if (argc > 1 && std::string(argv[1]) == "fail") return 3;

  // The build's fonts, where the program looks first: under the work directory.
  std::error_code error;
  std::filesystem::create_directory_symlink(KESTREL_TEST_FONTS,
                                            std::string(folder) + "/mailboxes/ccfont", error);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  ui_script script;
  questions = &script;
  script.press_ok(IDD_ENVIRONMENT);
  answer_fetch(script, true);
  script.answer(IDNO);  // the large letter: do not skip it
  int result = 1;
  {
    CVelmarApp app;
    if (app.init_instance({}, profile_file::default_path()))
      result = walk(app, script);
    else
      result = failed("the program did not start");
    app.close_all_documents();
  }
  return result;
}
