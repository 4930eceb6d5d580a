#include "ui/ui_document.h"

#include <gtest/gtest.h>

#include "tests/support/file_text.h"
#include "tests/support/ui_fixture.h"

namespace {

using Documents = ui_fixture;
using strings = std::vector<std::string>;

TEST_F(Documents, FileNewMakesAnUntitledDocumentInAFrame) {
  ASSERT_TRUE(app_->run_command(ID_FILE_NEW));
  ASSERT_TRUE(app_->run_command(ID_FILE_NEW));
  EXPECT_EQ(frame_count(), 2);
  ASSERT_NE(active_note(), nullptr);
  EXPECT_EQ(active_note()->title(), "Note2");
  EXPECT_EQ(app_->active_frame()->windowTitle(), "Note2");
  EXPECT_EQ(frame_->windowTitle(), "Kestrel - Note2");
  EXPECT_EQ(frame_->menu_in_use()->resource(), 3) << "the template's menu while a note is active";
}

TEST_F(Documents, SaveQuestionYesSavesThroughSaveAs) {
  app_->run_command(ID_FILE_NEW);
  active_note()->text = "hello";
  active_note()->set_modified();
  std::string path = (root_ / "first.note").string();
  script_->answer(IDYES).answer_file(path);
  ASSERT_TRUE(app_->run_command(ID_FILE_CLOSE));
  qt_flush();
  EXPECT_EQ(
      script_->shown(),
      (strings{"message Save changes to Note1? [yes no cancel]",
               "file save Save As Note1.note Note files (*.note)|*.note|All Files (*.*)|*||"}));
  EXPECT_EQ(file_text(path), "note:hello");
  EXPECT_EQ(frame_count(), 0);
  EXPECT_TRUE(app_->documents().empty());
  EXPECT_EQ(frame_->menu_in_use()->resource(), 2) << "the main frame's own menu again";
  EXPECT_EQ(app_->recent_files(), strings{path});
}

TEST_F(Documents, CancelOrACancelledSaveAsKeepsTheDocumentAndNoClosesItUnsaved) {
  app_->run_command(ID_FILE_NEW);
  active_note()->set_modified();
  script_->answer(IDCANCEL).answer(IDYES).answer_file(std::nullopt).answer(IDNO);
  app_->active_frame()->close();
  app_->active_frame()->close();
  qt_flush();
  EXPECT_EQ(frame_count(), 1);
  ASSERT_NE(active_note(), nullptr);
  EXPECT_TRUE(active_note()->is_modified());
  app_->active_frame()->close();
  qt_flush();
  EXPECT_EQ(frame_count(), 0);
  EXPECT_TRUE(app_->documents().empty());
}

TEST_F(Documents, AFailedSaveIsReportedWithItsReasonAndKeepsTheDocument) {
  std::string path = note_file("kept.note", "old");
  ASSERT_NE(app_->open_document_file(path), nullptr);
  active_note()->text = "new";
  active_note()->set_modified();
  active_note()->fail_saves = true;
  script_->answer(IDYES);
  app_->active_frame()->close();
  qt_flush();
  EXPECT_EQ(script_->messages(), (strings{"Save changes to " + path + "?",
                                          "Failed to save document.\n\nthe disk is full"}));
  EXPECT_EQ(frame_count(), 1);
  EXPECT_EQ(file_text(path), "note:old");
}

TEST_F(Documents, OpeningAnOpenFileBringsItForward) {
  std::string first = note_file("first.note", "1");
  std::string second = note_file("second.note", "2");
  ui_document* document = app_->open_document_file(first);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->title(), "first");
  EXPECT_EQ(static_cast<note_document*>(document)->text, "1");
  app_->open_document_file(second);
  EXPECT_EQ(active_note()->title(), "second");
  // Another spelling of the same file: DOS separators and other letter cases.
  std::string spelled = root_.string() + "\\FIRST.NOTE";
  EXPECT_EQ(app_->open_document_file(spelled), document);
  EXPECT_EQ(app_->active_document(), document);
  EXPECT_EQ(frame_count(), 2);
}

TEST_F(Documents, AFileThatCannotBeReadIsReportedWhenAskedAndOpensNothing) {
  std::string bad = (root_ / "bad.note").string();
  std::string none = (root_ / "none.note").string();
  std::ofstream(bad) << "garbage";
  EXPECT_EQ(app_->open_document_file(none, false), nullptr);
  EXPECT_TRUE(script_->shown().empty());
  EXPECT_EQ(app_->open_document_file(bad), nullptr);
  EXPECT_EQ(app_->open_document_file(none), nullptr);
  EXPECT_EQ(script_->messages(), (strings{"Failed to open document.\n\nnot a note",
                                          "Failed to open document.\n\ncannot read " + none}));
  EXPECT_EQ(frame_count(), 0);
  EXPECT_TRUE(app_->documents().empty());
}

// File Open offers the template's filter; Save writes the document's own
// file without asking.
TEST_F(Documents, FileOpenOffersTheTemplatesFilterAndSaveDoesNotAsk) {
  std::string path = note_file("n.note", "x");
  script_->answer_file(path);
  ASSERT_TRUE(app_->run_command(ID_FILE_OPEN));
  EXPECT_EQ(script_->shown(),
            strings{"file open Open  Note files (*.note)|*.note|All Files (*.*)|*||"});
  ASSERT_NE(active_note(), nullptr);
  EXPECT_EQ(active_note()->path_name(), path);
  active_note()->text = "two";
  active_note()->set_modified();
  ASSERT_TRUE(app_->run_command(ID_FILE_SAVE));
  EXPECT_EQ(file_text(path), "note:two");
  EXPECT_FALSE(active_note()->is_modified());
  EXPECT_EQ(script_->shown().size(), 1u);
}

TEST_F(Documents, UpdatesSkipTheSenderAndOnlyTheLastFrameOfADocumentAsksToSave) {
  app_->run_command(ID_FILE_NEW);
  note_document* note = active_note();
  note->set_modified();
  ui_child_frame* first = app_->active_frame();
  ui_child_frame* second = notes_->create_new_frame(*note);
  notes_->initial_update_frame(second);
  EXPECT_EQ(first->windowTitle(), "Note1:1");
  EXPECT_EQ(second->windowTitle(), "Note1:2");
  auto* first_view = static_cast<note_view*>(first->view());
  auto* second_view = static_cast<note_view*>(second->view());
  const int first_updates = first_view->updates, second_updates = second_view->updates;
  note->text = "changed";
  note->update_all_views(first_view);
  EXPECT_EQ(first_view->updates, first_updates);
  EXPECT_EQ(second_view->updates, second_updates + 1);
  EXPECT_EQ(second_view->text(), "changed");
  second->close();
  qt_flush();
  EXPECT_TRUE(script_->shown().empty());
  EXPECT_EQ(first->windowTitle(), "Note1");
  script_->answer(IDNO);
  first->close();
  qt_flush();
  EXPECT_EQ(script_->shown().size(), 1u);
  EXPECT_EQ(frame_count(), 0);
}

TEST_F(Documents, RecentFilesKeepTheNewestFourAndReachTheProfile) {
  strings paths;
  for (int i = 0; i < 5; ++i) {
    paths.push_back(note_file("n" + std::to_string(i) + ".note", "x"));
    app_->open_document_file(paths.back());
  }
  EXPECT_EQ(app_->recent_files(), (strings{paths[4], paths[3], paths[2], paths[1]}));
  app_->close_all_documents();
  qt_flush();
  ASSERT_TRUE(app_->run_command(ID_FILE_MRU_FILE1 + 2));
  EXPECT_EQ(active_note()->path_name(), paths[2]);
  EXPECT_EQ(app_->recent_files().front(), paths[2]);
  EXPECT_TRUE(app_->command_state(ID_FILE_MRU_FILE1 + 3).enabled);
  app_->save_profile();
  EXPECT_NE(file_text(root_ / "KESTREL.INI").find("[Recent File List]\nFile1=" + paths[2]),
            std::string::npos);
}

TEST_F(Documents, ExitStopsWhenASaveQuestionIsCancelled) {
  app_->run_command(ID_FILE_NEW);
  active_note()->set_modified();
  script_->answer(IDCANCEL);
  EXPECT_FALSE(app_->exit());
  EXPECT_EQ(frame_count(), 1);
  script_->answer(IDNO);
  EXPECT_TRUE(app_->exit());
  qt_flush();
  EXPECT_EQ(frame_count(), 0);
  EXPECT_TRUE(std::filesystem::exists(root_ / "KESTREL.INI")) << "the profile is written";
}

}  // namespace
