#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <stdexcept>

#include "tests/support/menu_items.h"
#include "tests/support/ui_fixture.h"
#include "ui/ui_menu.h"
#include "ui/ui_text.h"
#include "ui/ui_wait_cursor.h"

namespace {

using Commands = ui_fixture;
using strings = std::vector<std::string>;

constexpr int kProbe = 40000;

// Records which target ran a command.
struct trail {
  strings ran;
};

class probe_view : public QLabel, public ui_view {
 public:
  explicit probe_view(trail& t) {
    on_command(kProbe, [&t] { t.ran.push_back("view"); });
  }
  QWidget* widget() override { return this; }
};

class probe_document : public note_document {
 public:
  explicit probe_document(trail& t) {
    on_command(kProbe, [&t] { t.ran.push_back("document"); });
    on_command(kProbe + 1, [&t] { t.ran.push_back("document"); });
  }
};

class probe_application : public ui_application {
 public:
  explicit probe_application(trail& t) : ui_application("Probe") {
    for (int id = kProbe; id <= kProbe + 3; ++id)
      on_command(id, [&t] { t.ran.push_back("application"); });
    on_state(kProbe + 3, [](ui_command_state& state) { state.enabled = false; });
  }
};

TEST(CommandRouting, TheActiveViewComesFirstThenItsDocumentThenTheApplication) {
  trail t;
  probe_application app(t);
  ui_main_frame frame(ui_fixture::own_menu());
  app.set_main_frame(&frame);
  app.add_doc_template(std::make_unique<ui_doc_template>(
      3, "\nProbe\nProbe\n\n\n\n", nullptr, [&t] { return new probe_document(t); },
      [&t](ui_document&) { return new probe_view(t); }));
  EXPECT_TRUE(app.run_command(kProbe));
  EXPECT_EQ(t.ran, strings{"application"}) << "no document is open";
  app.run_command(ID_FILE_NEW);
  t.ran.clear();
  EXPECT_TRUE(app.run_command(kProbe));
  EXPECT_TRUE(app.run_command(kProbe + 1));
  EXPECT_TRUE(app.run_command(kProbe + 2));
  EXPECT_EQ(t.ran, (strings{"view", "document", "application"}));
  EXPECT_FALSE(app.run_command(kProbe + 3)) << "disabled by its update";
  EXPECT_FALSE(app.command_state(kProbe + 3).enabled);
  EXPECT_FALSE(app.run_command(kProbe + 9)) << "nobody handles it";
  EXPECT_FALSE(app.command_state(kProbe + 9).enabled);
  EXPECT_EQ(t.ran.size(), 3u);
  app.close_all_documents();
  qt_flush();
  app.set_main_frame(nullptr);
}

class failing_application : public ui_application {
 public:
  failing_application() : ui_application("Failing") {
    on_command(kProbe, [] { throw std::runtime_error("no room"); });
  }
};

TEST(CommandRouting, ACommandThatThrowsIsReportedAsFailed) {
  ui_script script;
  failing_application app;
  EXPECT_TRUE(app.run_command(kProbe));
  EXPECT_EQ(script.messages(), strings{"Command failed."});
}

// Items are added, removed and changed by position; they carry their
// command ids and run them.
TEST_F(Commands, MenusCarryTheCommandIdsAndRunThem) {
  ui_menu* menu = frame_->menu_in_use();
  ASSERT_EQ(menu->resource(), 2);
  QMenu* file = menu->popup(0);
  menu->append_separator(file);
  menu->append_item(file, "Work", 32800);
  menu->append_item(file, "Home", 32801);
  menu->remove_at(file, 5);
  menu->modify_at(file, 5, "Home", 32800);
  EXPECT_EQ(menu_items(file),
            (strings{"&New 57600", "&Open 57601", "-", "E&xit 57665", "-", "Home 32800"}));
  EXPECT_EQ(frame_->menuBar()->actions().size(), 1);
  file->actions()[0]->trigger();
  EXPECT_EQ(frame_count(), 1);
  EXPECT_EQ(frame_->menu_in_use()->resource(), 3);
  EXPECT_EQ(frame_->menuBar()->actions().size(), 2);
  EXPECT_EQ(utf8(frame_->menuBar()->actions()[1]->text()), "&Window");
}

TEST_F(Commands, APopupShowsWhichCommandsCanRun) {
  ui_menu* menu = frame_->menu(note_menu());
  QMenu* file = menu->popup(0);
  emit file->aboutToShow();
  // Close and Save are the document's; without one they cannot run.
  EXPECT_TRUE(file->actions()[0]->isEnabled());
  EXPECT_FALSE(file->actions()[1]->isEnabled());
  EXPECT_FALSE(file->actions()[2]->isEnabled());
  emit file->aboutToHide();
  app_->run_command(ID_FILE_NEW);
  emit file->aboutToShow();
  EXPECT_TRUE(file->actions()[1]->isEnabled());
}

TEST_F(Commands, TheStatusBarShowsPromptsAndTheIdleMessage) {
  EXPECT_EQ(frame_->message(), "就绪");
  QStatusTipEvent tip("a new note");
  QCoreApplication::sendEvent(frame_.get(), &tip);
  EXPECT_EQ(frame_->message(), "a new note");
  QStatusTipEvent none("");
  QCoreApplication::sendEvent(frame_.get(), &none);
  EXPECT_EQ(frame_->message(), "就绪");
}

TEST_F(Commands, TheWindowListActivatesAFrame) {
  app_->run_command(ID_FILE_NEW);
  app_->run_command(ID_FILE_NEW);
  EXPECT_EQ(active_note()->title(), "Note2");
  ASSERT_TRUE(app_->run_command(ID_WINDOW_FIRST_CHILD));
  EXPECT_EQ(active_note()->title(), "Note1");
  EXPECT_TRUE(app_->command_state(ID_WINDOW_FIRST_CHILD).checked);
  EXPECT_FALSE(app_->command_state(ID_WINDOW_FIRST_CHILD + 1).checked);
}

TEST(WaitCursor, NestedCursorsCount) {
  EXPECT_EQ(ui_wait_cursor::depth(), 0);
  {
    ui_wait_cursor outer;
    ui_wait_cursor inner;
    EXPECT_EQ(ui_wait_cursor::depth(), 2);
  }
  EXPECT_EQ(ui_wait_cursor::depth(), 0);
}

TEST(DisplayText, LetterBytesGoThroughTheApplicationsCodePage) {
  ui_application app("Kestrel");
  EXPECT_EQ(utf8(display_text("\xD6\xD0\xCE\xC4")), "中文");
  app.codec().set_platform(2);
  EXPECT_EQ(utf8(display_text("\xA4\xA4\xA4\xE5")), "中文");
  EXPECT_EQ(display_bytes(qstr("中文")), "\xA4\xA4\xA4\xE5");
  EXPECT_EQ(utf8(display_text("a\xFF")), "a\xEF\xBF\xBD");
}

}  // namespace
