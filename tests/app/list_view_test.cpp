#include "app/list_view.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QListWidget>
#include <filesystem>

#include "ui/ui_bitmap_button.h"
#include "tests/support/desktop_fixture.h"

namespace {

namespace fs = std::filesystem;

// A run with In open, holding the letters given.
class ListView : public desktop_fixture {
 protected:
  void start_with(std::vector<std::unique_ptr<CAletter>> letters, long hzos = 1, int current = -1) {
    CVelmarDocData data;
    data.mailbox_name = "IN";
    data.current = current;
    data.letters = std::move(letters);
    in_ = file("In.box");
    std::string reason;
    ASSERT_TRUE(box_file_save(in_, data, reason)) << reason;
    write_profile("[Configuration]\nInPath=" + in_ + "\nHZOS=" + std::to_string(hzos) +
                  "\nIMAPAccount=li@host\n");
    script_.press_ok(IDD_ENVIRONMENT);
    ASSERT_TRUE(start());
    script_.clear_shown();
    list_ = active_list();
    ASSERT_NE(list_, nullptr);
  }
  static std::vector<std::unique_ptr<CAletter>> letters(const strings& subjects) {
    std::vector<std::unique_ptr<CAletter>> made;
    for (const std::string& subject : subjects)
      made.push_back(letter("N  ", 100, " 5-Dec-1996 10:00:00 +0800", "Li", "li@x", subject));
    return made;
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

  std::string in_;
  CListView* list_ = nullptr;
};

TEST_F(ListView, TheFirstLetterListsAsTheExampleSays) {
  start_with(
      one(letter("N  ", 1234, " 5-Dec-1996 10:00:00 +0800", "Li", "li@pku.edu.cn", "Meeting")));
  std::string expected = "N   1  5-Dec-1996 Li ";
  expected += std::string(35 - expected.size(), ' ') + " ( 1234) Meeting";
  EXPECT_EQ(list_lines(), strings{expected});
}

TEST_F(ListView, MarksSendersAndChineseTextsAsTheListShowsThem) {
  std::vector<std::unique_ptr<CAletter>> made;
  made.push_back(letter("NAD", 10, "12-Jan-1997", "", "wang@x.cn", "a"));
  made.push_back(letter(" A ", 20, "12-Jan-1997", "", "", "b"));
  auto nobody = letter("   ", 30, "12-Jan-1997", "", "", "\xD6\xD0\xCE\xC4");
  nobody->envelope.from.reset();
  made.push_back(std::move(nobody));
  start_with(std::move(made));
  strings lines = list_lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 34), "D   1 12-Jan-1997 wang@x.cn       ");
  EXPECT_EQ(lines[1].substr(0, 25), "A   2 12-Jan-1997 某人 ");
  EXPECT_EQ(lines[2].substr(0, 25), "    3 12-Jan-1997 某人 ");
  EXPECT_EQ(lines[2].substr(lines[2].size() - 8), ") 中文") << "GB shown on a GB platform";
}

TEST_F(ListView, Big5TextsShowOnABig5Platform) {
  start_with(one(letter("N  ", 1, "d", "\xAC\x59\xA4\x48", "x@y", "\xA4\xA4\xA4\xE5")), 2);
  strings lines = list_lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("某人"), std::string::npos);
  EXPECT_EQ(lines[0].substr(lines[0].size() - 8), ") 中文");
}

TEST_F(ListView, AnEmptyMailboxShowsNothingAndKeepsNoCurrentLetter) {
  start_with({});
  EXPECT_TRUE(list_lines().empty());
  EXPECT_TRUE(list_->selected_lines().empty());
  EXPECT_EQ(list_->mailbox()->data().current, -1);
  list_->button(IDC_BUTTON_SAVE)->click();
  list_->button(IDC_BUTTON_DELETE)->click();
  EXPECT_EQ(script_.messages(), (strings{"先选择信件.", "先选择信件."}));
}

TEST_F(ListView, WithoutACurrentLetterTheFirstLineIsSelectedButNotCurrent) {
  start_with(letters({"a", "b"}));
  EXPECT_EQ(list_->selected_lines(), std::vector<int>{0});
  EXPECT_EQ(list_->mailbox()->data().current, -1);
  EXPECT_FALSE(list_->mailbox()->is_modified());
  list_->button(IDC_BUTTON_SAVE)->click();
  EXPECT_EQ(script_.messages(), strings{"先选择信件."});
}

TEST_F(ListView, SelectingALineMakesItsLetterCurrentAndSavedWithTheMailbox) {
  start_with(letters({"a", "b", "c"}), 1, 0);
  EXPECT_EQ(list_->selected_lines(), std::vector<int>{0});
  list_->select_lines({2});
  EXPECT_EQ(list_->mailbox()->data().current, 2);
  EXPECT_TRUE(list_->mailbox()->is_modified());
  ASSERT_TRUE(app_->run_command(ID_FILE_SAVE));
  std::string reason;
  EXPECT_EQ(box_file_open(in_, reason)->current, 2);
}

TEST_F(ListView, NoCurrentLetterIsSavedAndReadBackAsNone) {
  start_with(letters({"a"}));
  list_->mailbox()->set_modified();
  ASSERT_TRUE(app_->run_command(ID_FILE_SAVE));
  std::string reason;
  EXPECT_EQ(box_file_open(in_, reason)->current, -1);
}

TEST_F(ListView, DeleteTogglesTheMarkOfTheSelectedLetters) {
  start_with(letters({"a", "b", "c"}));
  list_->select_lines({0, 2});
  list_->button(IDC_BUTTON_DELETE)->click();
  EXPECT_EQ(statuses(), (strings{"N D", "N  ", "N D"}));
  EXPECT_EQ(list_lines()[0].front(), 'D');
  EXPECT_EQ(list_lines()[1].front(), 'N');
  list_->select_lines({0, 2});
  list_->button(IDC_BUTTON_DELETE)->click();
  EXPECT_EQ(statuses(), (strings{"N  ", "N  ", "N  "})) << "twice restores the status";
  EXPECT_TRUE(list_->mailbox()->is_modified());
}

TEST_F(ListView, CloseWithoutMarkedLettersAsksOnlyTheFirstQuestion) {
  start_with(letters({"a"}));
  script_.answer(IDNO);
  list_->button(IDC_BUTTON_CLOSE)->click();
  EXPECT_EQ(frame_count(), 1);
  script_.answer(IDYES);
  list_->button(IDC_BUTTON_CLOSE)->click();
  qt_flush();
  EXPECT_EQ(script_.messages(), (strings{"关闭此邮箱?", "关闭此邮箱?"}));
  EXPECT_EQ(frame_count(), 0);
}

TEST_F(ListView, CloseRemovesTheMarkedLettersWhenAsked) {
  start_with(letters({"a", "b", "c", "d"}), 1, 3);
  list_->select_lines({1, 3});
  list_->button(IDC_BUTTON_DELETE)->click();
  script_.answer(IDYES).answer(IDYES).answer(IDYES);
  list_->button(IDC_BUTTON_CLOSE)->click();
  qt_flush();
  EXPECT_EQ(script_.messages(),
            (strings{"关闭此邮箱?", "删除标记为“删除”的邮件吗?", "Save changes to " + in_ + "?"}));
  EXPECT_EQ(subjects_in(in_), (strings{"a", "c"}));
  std::string reason;
  EXPECT_EQ(box_file_open(in_, reason)->current, 1) << "the last letter, as it was beyond";
  EXPECT_EQ(frame_count(), 0);
}

TEST_F(ListView, CloseKeepingTheMarkedLettersSavesThemMarked) {
  start_with(letters({"a", "b"}));
  list_->select_lines({0});
  list_->button(IDC_BUTTON_DELETE)->click();
  script_.answer(IDYES).answer(IDNO).answer(IDYES);
  list_->button(IDC_BUTTON_CLOSE)->click();
  qt_flush();
  EXPECT_EQ(subjects_in(in_), (strings{"a", "b"}));
}

TEST_F(ListView, SaveWritesTheLettersTextToTheChosenFile) {
  auto made = letter("N  ", 5, "1-Jan-1997", "Li", "li@pku.edu.cn", "Re: hello world");
  made->envelope.to = std::make_unique<CAddress>(std::make_unique<CAddritem>("", "wang@x.cn"));
  made->body.text = "Hi there.";
  made->body.parameters = std::make_unique<CParameter>();
  made->body.parameters->items.push_back(std::make_unique<CParaitem>("CHARSET", "US-ASCII"));
  start_with(one(std::move(made)), 1, 0);
  std::string saved = file("letter.txt");
  script_.answer_file(saved);
  list_->button(IDC_BUTTON_SAVE)->click();
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

TEST_F(ListView, TheProposedNameLeavesOutWhatWouldMakeItAFolder) {
  start_with(one(letter("N  ", 5, "1-Jan-1997", "Li", "li@pku.edu.cn", "a/b c\\d 1/2 report")), 1,
             0);
  script_.answer_file(std::nullopt);
  list_->button(IDC_BUTTON_SAVE)->click();
  EXPECT_EQ(script_.shown(), strings{"file save Save As abcd12re 所有文件 (*.*)|*.*||"});
}

TEST_F(ListView, AFileThatCannotBeCreatedIsReported) {
  start_with(letters({"a"}), 1, 0);
  script_.answer_file(file("missing/folder/a.txt"));
  list_->button(IDC_BUTTON_SAVE)->click();
  EXPECT_EQ(script_.messages(), strings{"创建文件失败!"});
}

TEST_F(ListView, CopyPutsTheSelectedLinesOnTheClipboard) {
  start_with(letters({"a", "b", "c"}));
  ASSERT_TRUE(app_->run_command(ID_EDIT_SELECT_ALL));
  EXPECT_EQ(list_->selected_lines(), (std::vector<int>{0, 1, 2}));
  list_->select_lines({0, 2});
  ASSERT_TRUE(app_->run_command(ID_EDIT_COPY));
  strings lines = list_lines();
  EXPECT_EQ(utf8(QGuiApplication::clipboard()->text()), lines[0] + "\n" + lines[2]);
  list_->list_box()->clearSelection();
  EXPECT_FALSE(app_->command_state(ID_EDIT_COPY).enabled);
}

TEST_F(ListView, PrintSaysItIsNotThereYet) {
  start_with(letters({"a"}));
  list_->button(IDC_BUTTON_PRINT)->click();
  EXPECT_EQ(script_.messages(), strings{"打印功能尚未实现"});
}

TEST_F(ListView, TheBandHoldsTheButtonsAndTitlesInTheirPlaces) {
  start_with(letters({"a"}));
  EXPECT_EQ(list_->button_ids(),
            (std::vector<int>{201, 202, 203, 204, 200, 210, 213, 211, 205, 212}));
  struct place {
    int id;
    int left;
    const char* caption;
  };
  for (place p : {place{201, 20, "Reply"}, place{202, 52, "ReplyAll"}, place{203, 84, "Forward"},
                  place{204, 116, "Redirect"}, place{200, 168, "Trash"}, place{210, 200, "Save"},
                  place{213, 232, "Move"}, place{211, 264, "Delete"}, place{205, 296, "Print"},
                  place{212, 348, "Close"}}) {
    ui_bitmap_button* button = list_->button(p.id);
    ASSERT_NE(button, nullptr) << p.id;
    EXPECT_EQ(button->geometry(), QRect(p.left, 2, 32, 32)) << p.caption;
    EXPECT_EQ(utf8(button->text()), p.caption);
    EXPECT_FALSE(button->up().isNull());
    EXPECT_NE(button->up().toImage(), button->down().toImage()) << p.caption;
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
