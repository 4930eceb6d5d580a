#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QMdiArea>
#include <filesystem>
#include <memory>

#include "tests/support/note_document.h"
#include "tests/support/qt_flush.h"
#include "tests/support/scratch_folder.h"
#include "ui/ui_application.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_doc_template.h"
#include "ui/ui_ids.h"
#include "ui/ui_main_frame.h"
#include "ui/ui_script.h"

// A framework application with notes: a main frame with menu 2, a template of
// notes with menu 3, a profile and a folder of its own, and a script.
class ui_fixture : public testing::Test {
 public:
  static const ui_menu_resource& own_menu() {
    static const ui_menu_resource menu{2,
                                       {{"&File",
                                         0,
                                         {{"&New", ID_FILE_NEW, {}, "a new note"},
                                          {"&Open", ID_FILE_OPEN, {}, {}},
                                          {},
                                          {"E&xit", ID_APP_EXIT, {}, {}}},
                                         {}}}};
    return menu;
  }

 protected:
  static const ui_menu_resource& note_menu() {
    static const ui_menu_resource menu{
        3,
        {{"&File",
          0,
          {{"&New", ID_FILE_NEW, {}, {}},
           {"&Close", ID_FILE_CLOSE, {}, {}},
           {"&Save", ID_FILE_SAVE, {}, {}}},
          {}},
         {"&Window", 0, {{"&Cascade", ID_WINDOW_CASCADE, {}, {}}}, {}}}};
    return menu;
  }

  void SetUp() override {
    root_ = folder_.path();
    script_ = std::make_unique<ui_script>();
    app_ = std::make_unique<ui_application>("Kestrel");
    app_->load_profile((root_ / "KESTREL.INI").string());
    auto notes = std::make_unique<ui_doc_template>(
        3, "\nNote\nNote\nNote files (*.note)\n.note\nKestrel.Note\nKestrel Note", &note_menu(),
        [] { return new note_document; }, [](ui_document&) { return new note_view; });
    notes_ = notes.get();
    app_->add_doc_template(std::move(notes));
    frame_ = std::make_unique<ui_main_frame>(own_menu());
    app_->set_main_frame(frame_.get());
    frame_->update_menu();
    frame_->show();
  }

  void TearDown() override {
    app_->close_all_documents();
    qt_flush();
    app_->set_main_frame(nullptr);
    frame_.reset();
    app_.reset();
    qt_flush();
    EXPECT_TRUE(script_->finished()) << script_->problems();
    script_.reset();
  }

  // A note file in the fixture's folder.
  std::string note_file(const std::string& name, const std::string& text) {
    std::string path = (root_ / name).string();
    note_document note;
    note.text = text;
    std::string reason;
    note.on_save_document(path, reason);
    return path;
  }

  note_document* active_note() const {
    return dynamic_cast<note_document*>(app_->active_document());
  }
  int frame_count() const { return static_cast<int>(frame_->mdi_area()->subWindowList().size()); }

  scratch_folder folder_;
  std::filesystem::path root_;
  std::unique_ptr<ui_script> script_;
  std::unique_ptr<ui_application> app_;
  std::unique_ptr<ui_main_frame> frame_;
  ui_doc_template* notes_ = nullptr;
};
