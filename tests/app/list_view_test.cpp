#include "app/list_view.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include "tests/support/desktop_fixture.h"
#include "tests/support/model_letters.h"

namespace {

// A run with In open, its list in list_.
class ListView : public desktop_fixture {
 protected:
  void start_with(std::vector<std::unique_ptr<CAletter>> letters, long hzos = 1, int current = -1) {
    start_in(std::move(letters), "HZOS=" + std::to_string(hzos) + "\n", current);
    list_ = active_list();
    ASSERT_NE(list_, nullptr);
  }
  void start_with(const strings& subjects, int current = -1) {
    start_with(letters(subjects), 1, current);
  }
  static std::vector<std::unique_ptr<CAletter>> one(std::unique_ptr<CAletter> letter) {
    std::vector<std::unique_ptr<CAletter>> made;
    made.push_back(std::move(letter));
    return made;
  }
  strings statuses() const {
    strings found;
    for (const auto& each : list_->mailbox()->data().letters)
      found.push_back(each->flags.status);
    return found;
  }
  int saved_current() {
    std::string reason;
    std::unique_ptr<CVelmarDocData> data = box_file_open(in_, reason);
    return data ? data->current : -2;
  }
  void click(int button) { list_->button(button)->click(); }

  CListView* list_ = nullptr;
};

TEST_F(ListView, LinesShowTheMarkTheSenderAndChineseTextsOnAGbPlatform) {
  std::vector<std::unique_ptr<CAletter>> made;
  made.push_back(
      listed_letter("N  ", 1234, " 5-Dec-1996 10:00:00 +0800", "Li", "li@pku.edu.cn", "Meeting"));
  made.push_back(listed_letter("NAD", 10, "12-Jan-1997", "", "wang@x.cn", "a"));
  made.push_back(listed_letter(" A ", 20, "12-Jan-1997", "", "", "b"));
  made.push_back(listed_letter("   ", 30, "12-Jan-1997", "", "", "\xD6\xD0\xCE\xC4"));
  made.back()->envelope.from.reset();
  start_with(std::move(made));
  strings lines = list_lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "N   1  5-Dec-1996 Li" + std::string(15, ' ') + " ( 1234) Meeting");
  EXPECT_EQ(lines[1].substr(0, 34), "D   2 12-Jan-1997 wang@x.cn       ");
  EXPECT_EQ(lines[2].substr(0, 25), "A   3 12-Jan-1997 某人 ");
  EXPECT_EQ(lines[3].substr(0, 25), "    4 12-Jan-1997 某人 ");
  EXPECT_EQ(lines[3].substr(lines[3].size() - 8), ") 中文") << "GB shown on a GB platform";
}

TEST_F(ListView, Big5TextsShowOnABig5Platform) {
  start_with(one(listed_letter("N  ", 1, "d", "\xAC\x59\xA4\x48", "x@y", "\xA4\xA4\xA4\xE5")), 2);
  strings lines = list_lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("某人"), std::string::npos);
  EXPECT_EQ(lines[0].substr(lines[0].size() - 8), ") 中文");
}

TEST_F(ListView, AnEmptyMailboxShowsNothingAndKeepsNoCurrentLetter) {
  start_with(strings{});
  EXPECT_TRUE(list_lines().empty());
  EXPECT_TRUE(list_->selected_lines().empty());
  EXPECT_EQ(list_->mailbox()->data().current, -1);
  click(IDC_BUTTON_SAVE);
  click(IDC_BUTTON_DELETE);
  EXPECT_EQ(script_.messages(), (strings{"先选择信件.", "先选择信件."}));
}

TEST_F(ListView, WithoutACurrentLetterTheFirstLineIsSelectedButNotCurrent) {
  start_with(strings{"a", "b"});
  EXPECT_EQ(list_->selected_lines(), std::vector<int>{0});
  EXPECT_EQ(list_->mailbox()->data().current, -1);
  EXPECT_FALSE(list_->mailbox()->is_modified());
  click(IDC_BUTTON_SAVE);
  click(IDC_BUTTON_PRINT);
  EXPECT_EQ(script_.messages(), (strings{"先选择信件.", "打印功能尚未实现"}));
  list_->mailbox()->set_modified();
  ASSERT_TRUE(app_->run_command(ID_FILE_SAVE));
  EXPECT_EQ(saved_current(), -1) << "saved and read back as none";
}

TEST_F(ListView, SelectingALineMakesItsLetterCurrentAndSavedWithTheMailbox) {
  start_with(strings{"a", "b", "c"}, 0);
  EXPECT_EQ(list_->selected_lines(), std::vector<int>{0});
  list_->select_lines({2});
  EXPECT_EQ(list_->mailbox()->data().current, 2);
  EXPECT_TRUE(list_->mailbox()->is_modified());
  ASSERT_TRUE(app_->run_command(ID_FILE_SAVE));
  EXPECT_EQ(saved_current(), 2);
}

TEST_F(ListView, DeleteTogglesTheMarkOfTheSelectedLetters) {
  start_with(strings{"a", "b", "c"});
  list_->select_lines({0, 2});
  click(IDC_BUTTON_DELETE);
  EXPECT_EQ(statuses(), (strings{"N D", "N  ", "N D"}));
  EXPECT_EQ(list_lines()[0].front(), 'D');
  EXPECT_EQ(list_lines()[1].front(), 'N');
  list_->select_lines({0, 2});
  click(IDC_BUTTON_DELETE);
  EXPECT_EQ(statuses(), (strings{"N  ", "N  ", "N  "})) << "twice restores the status";
  EXPECT_TRUE(list_->mailbox()->is_modified());
}

TEST_F(ListView, CloseWithoutMarkedLettersAsksOnlyTheFirstQuestion) {
  start_with(strings{"a"});
  script_.answer(IDNO);
  click(IDC_BUTTON_CLOSE);
  EXPECT_EQ(frame_count(), 1);
  script_.answer(IDYES);
  click(IDC_BUTTON_CLOSE);
  qt_flush();
  EXPECT_EQ(script_.messages(), (strings{"关闭此邮箱?", "关闭此邮箱?"}));
  EXPECT_EQ(frame_count(), 0);
}

TEST_F(ListView, CloseRemovesTheMarkedLettersWhenAsked) {
  start_with(strings{"a", "b", "c", "d"}, 3);
  list_->select_lines({1, 3});
  click(IDC_BUTTON_DELETE);
  script_.answer(IDYES).answer(IDYES).answer(IDYES);
  click(IDC_BUTTON_CLOSE);
  qt_flush();
  EXPECT_EQ(script_.messages(),
            (strings{"关闭此邮箱?", "删除标记为“删除”的邮件吗?", "Save changes to " + in_ + "?"}));
  EXPECT_EQ(subjects_in(in_), (strings{"a", "c"}));
  EXPECT_EQ(saved_current(), 1) << "the last letter, as it was beyond";
  EXPECT_EQ(frame_count(), 0);
}

TEST_F(ListView, CloseKeepingTheMarkedLettersSavesThemMarked) {
  start_with(strings{"a", "b"});
  list_->select_lines({0});
  click(IDC_BUTTON_DELETE);
  script_.answer(IDYES).answer(IDNO).answer(IDYES);
  click(IDC_BUTTON_CLOSE);
  qt_flush();
  EXPECT_EQ(subjects_in(in_), (strings{"a", "b"}));
}

TEST_F(ListView, SaveWritesTheLettersTextToTheChosenFile) {
  auto made = listed_letter("N  ", 5, "1-Jan-1997", "Li", "li@pku.edu.cn", "Re: hello world");
  made->envelope.to = one_address("", "wang@x.cn");
  made->body = text_body("PLAIN", "Hi there.", "US-ASCII");
  start_with(one(std::move(made)), 1, 0);
  std::string saved = file("letter.txt");
  script_.answer_file(saved);
  click(IDC_BUTTON_SAVE);
  EXPECT_EQ(script_.shown(), strings{"file save Save As Re:hello 所有文件 (*.*)|*.*||"});
  std::string text = file_text(saved);
  EXPECT_EQ(text, list_->save_text());
  // The program's words are written in the code page of the letters.
  EXPECT_EQ(text,
            "\xB7\xA2\xD0\xC5\xC8\xCB   : li@pku.edu.cn\r\n"
            "\xC8\xD5\xC6\xDA     : 1-Jan-1997\r\n"
            "\xCA\xD5\xD0\xC5\xC8\xCB   : wang@x.cn\r\n"
            "\xCC\xE2\xC4\xBF     : Re: hello world\r\n"
            "Mime-\xB0\xE6\xB1\xBE: 1.0\r\n"
            "\xC4\xDA\xC8\xDD\xC0\xE0\xD0\xCD : \xCE\xC4\xB1\xBE/PLAIN; CHARSET=US-ASCII\r\n"
            "\r\nHi there.\r\n\r\n");
}

TEST_F(ListView, TheProposedNameIsNoFolderAndAFileThatCannotBeCreatedIsReported) {
  start_with(strings{"a/b c\\d 1/2 report"}, 0);
  script_.answer_file(file("missing/folder/a.txt"));
  click(IDC_BUTTON_SAVE);
  EXPECT_EQ(script_.shown(), (strings{"file save Save As abcd12re 所有文件 (*.*)|*.*||",
                                      "message 创建文件失败! [ok]"}));
}

TEST_F(ListView, CopyPutsTheSelectedLinesOnTheClipboard) {
  start_with(strings{"a", "b", "c"});
  ASSERT_TRUE(app_->run_command(ID_EDIT_SELECT_ALL));
  EXPECT_EQ(list_->selected_lines(), (std::vector<int>{0, 1, 2}));
  list_->select_lines({0, 2});
  ASSERT_TRUE(app_->run_command(ID_EDIT_COPY));
  strings lines = list_lines();
  EXPECT_EQ(utf8(QGuiApplication::clipboard()->text()), lines[0] + "\n" + lines[2]);
  list_->list_box()->clearSelection();
  EXPECT_FALSE(app_->command_state(ID_EDIT_COPY).enabled);
}

TEST_F(ListView, TheBandHoldsTheButtonsAndTitlesInTheirPlaces) {
  start_with(strings{"a"});
  EXPECT_EQ(list_->button_ids(),
            (std::vector<int>{201, 202, 203, 204, 200, 210, 213, 211, 205, 212}));
  const std::tuple<int, int, const char*> places[] = {
      {201, 20, "Reply"},  {202, 52, "ReplyAll"}, {203, 84, "Forward"}, {204, 116, "Redirect"},
      {200, 168, "Trash"}, {210, 200, "Save"},    {213, 232, "Move"},   {211, 264, "Delete"},
      {205, 296, "Print"}, {212, 348, "Close"}};
  for (const auto& [id, left, caption] : places) {
    ui_bitmap_button* button = list_->button(id);
    ASSERT_NE(button, nullptr) << id;
    EXPECT_EQ(button->geometry(), QRect(left, 2, 32, 32)) << caption;
    EXPECT_EQ(utf8(button->text()), caption);
    EXPECT_FALSE(button->up().isNull());
    EXPECT_NE(button->up().toImage(), button->down().toImage()) << caption;
  }
  EXPECT_EQ(list_->list_box()->geometry().top(), 54);
  EXPECT_EQ(list_->list_box()->property("control_id").toInt(), 500);
  EXPECT_EQ(list_->list_box()->selectionMode(), QAbstractItemView::ExtendedSelection);
  QImage band = list_->grab(QRect(0, 0, 460, 54)).toImage();
  EXPECT_EQ(band.pixelColor(5, 20), QColor(192, 192, 192));
  EXPECT_EQ(band.pixelColor(455, 36), QColor(0, 0, 0)) << "the line across";
  EXPECT_EQ(band.pixelColor(455, 35), QColor(192, 192, 192));
  bool title_ink = false;
  for (int x = 10; x < 150 && !title_ink; ++x)
    for (int y = 37; y < 54; ++y)
      title_ink = title_ink || band.pixelColor(x, y) != QColor(192, 192, 192);
  EXPECT_TRUE(title_ink) << "日期 is written in its rectangle";
}

}  // namespace
