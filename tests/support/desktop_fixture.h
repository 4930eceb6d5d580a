#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <memory>
#include <string>
#include <vector>

#include "app/list_view.h"
#include "app/main_frame.h"
#include "app/menus.h"
#include "app/resource_ids.h"
#include "app/velmar_app.h"
#include "app/velmar_doc.h"
#include "model/box_file.h"
#include "tests/support/dialog_answers.h"
#include "tests/support/file_text.h"
#include "tests/support/menu_items.h"
#include "tests/support/model_letters.h"
#include "tests/support/qt_flush.h"
#include "tests/support/scratch_folder.h"
#include "ui/ui_bitmap_button.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_dialog.h"
#include "ui/ui_ids.h"
#include "ui/ui_script.h"
#include "ui/ui_text.h"

// The desktop program in a folder of its own: a profile file there, a
// script for every question, and helpers to make mailbox files of letters.
class desktop_fixture : public testing::Test {
 protected:
  using strings = std::vector<std::string>;

  void TearDown() override {
    stop();
    EXPECT_TRUE(script_.finished()) << script_.problems();
  }

  // The mailbox pop-up's items (see mailbox_items) with these user mailboxes.
  static strings mailbox_menu(const strings& users = {}) {
    strings items{"&In 32781", "&Out 32782",     "&Trash 32783",
                  "-",         "新建(&N) 32784", "删除(&D) 32785"};
    if (!users.empty()) items.push_back("-");
    for (std::size_t i = 0; i < users.size(); ++i)
      items.push_back(users[i] + " " + std::to_string(ID_USER_MAILBOX_FIRST + i));
    return items;
  }

  std::string profile_path() const { return folder_.file("KESTREL.INI"); }
  std::string file(const std::string& name) const { return folder_.file(name); }

  // Writes profile lines ("[Section]", "Key=value") before the start.
  void write_profile(const std::string& text) { std::ofstream(profile_path()) << text; }

  // Starts the program.
  bool start(const std::vector<std::string>& files = {}) {
    app_ = std::make_unique<CVelmarApp>();
    return app_->init_instance(files, profile_path());
  }
  // Ends the run as the user would; false when a question stopped it.
  bool exit() {
    bool ended = app_->exit();
    qt_flush();
    return ended;
  }
  void stop() {
    if (!app_) return;
    app_->close_all_documents();
    qt_flush();
    app_.reset();
    qt_flush();
  }

  // Letters of these subjects, new, from Li.
  static std::vector<std::unique_ptr<CAletter>> letters(const strings& subjects) {
    std::vector<std::unique_ptr<CAletter>> made;
    for (const std::string& subject : subjects)
      made.push_back(
          listed_letter("N  ", 1000, " 5-Dec-1996 10:00:00 +0800", "Li", "li@pku.edu.cn", subject));
    return made;
  }
  // A mailbox file of the letters given, or of letters with these subjects.
  std::string mailbox_file(const std::string& file_name, const std::string& mailbox_name,
                           std::vector<std::unique_ptr<CAletter>> letters, int current = -1) {
    CVelmarDocData data;
    data.mailbox_name = mailbox_name;
    data.current = current;
    data.letters = std::move(letters);
    std::string path = file(file_name);
    std::string reason;
    EXPECT_TRUE(box_file_save(path, data, reason)) << reason;
    return path;
  }
  std::string mailbox_file(const std::string& file_name, const std::string& mailbox_name,
                           const strings& subjects, int current = -1) {
    return mailbox_file(file_name, mailbox_name, letters(subjects), current);
  }
  // Starts with In (In.box in the folder) holding the letters, the account
  // li@host and the further profile lines given; forgets what the start showed.
  void start_in(std::vector<std::unique_ptr<CAletter>> letters, const std::string& profile = "",
                int current = -1) {
    in_ = mailbox_file("In.box", "IN", std::move(letters), current);
    write_profile("[Configuration]\nInPath=" + in_ + "\nIMAPAccount=li@host\n" + profile);
    script_.press_ok(IDD_ENVIRONMENT).press_cancel(IDD_FETCH);
    ASSERT_TRUE(start());
    script_.clear_shown();
  }
  void start_in(const strings& subjects, const std::string& profile = "", int current = -1) {
    start_in(letters(subjects), profile, current);
  }
  // The subjects of the letters in a mailbox file, or of an open document.
  static strings subjects(const CVelmarDocData& data) {
    strings found;
    for (const auto& each : data.letters)
      found.push_back(each->envelope.subject);
    return found;
  }
  strings subjects_in(const std::string& path) {
    std::string reason;
    std::unique_ptr<CVelmarDocData> data = box_file_open(path, reason);
    if (!data) return {"(" + reason + ")"};
    return subjects(*data);
  }

  CVelmarDoc* active_mailbox() const { return dynamic_cast<CVelmarDoc*>(app_->active_document()); }
  CListView* active_list() const { return dynamic_cast<CListView*>(app_->active_view()); }
  int frame_count() const {
    return static_cast<int>(app_->frame()->mdi_area()->subWindowList().size());
  }
  // The items of the mailbox pop-up of a menu as "text id" lines.
  strings mailbox_items(int resource) const {
    for (ui_menu* menu : app_->frame()->menus())
      if (menu->resource() == resource) return menu_items(menu->popup(kMailboxPopup));
    return {"(menu " + std::to_string(resource) + " not built)"};
  }
  // The lines the active list shows.
  strings list_lines() const {
    strings lines;
    if (CListView* list = active_list())
      for (int i = 0; i < list->list_box()->count(); ++i)
        lines.push_back(utf8(list->list_box()->item(i)->text()));
    return lines;
  }

  scratch_folder folder_;
  std::string in_;  // In's file after start_in
  ui_script script_;
  std::unique_ptr<CVelmarApp> app_;
};
