#include "app/mailbox_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/desktop_fixture.h"
#include "tests/support/table.h"

namespace {

namespace fs = std::filesystem;
using strings = std::vector<std::string>;

// A run with In open, the folder as the work directory, trash.box there as
// Trash, and the user mailboxes given.
class Mailboxes : public desktop_fixture {
 protected:
  void start_with(const strings& user_mailboxes, const strings& in_letters = {}) {
    profile_file folders;  // which writes the keys that need it escaped
    for (std::size_t i = 0; i < user_mailboxes.size(); ++i)
      folders.set(kFolders, folder_key(static_cast<int>(i)), user_mailboxes[i]);
    start_in(in_letters, "WorkDirectory=" + folder_.path() + "\nTrashPath=" + file("trash.box") +
                             "\n" + folders.text());
  }
  // A mailbox file opened as a document.
  CVelmarDoc* opened(const std::string& path) {
    return dynamic_cast<CVelmarDoc*>(app_->open_document_file(path));
  }
  // Clicks a button of the active list with its lines selected.
  void click(int button, std::vector<int> lines) {
    active_list()->select_lines(lines);
    active_list()->button(button)->click();
  }
  strings in_subjects() const { return subjects(in_list_->mailbox()->data()); }
  CListView* in_list_ = nullptr;
};

const char* kMailboxFilter = "Kestrel 邮箱文件 (*.box)|*.box|All Files (*.*)|*||";

TEST_F(Mailboxes, DeletingTheMiddleOfThreeLeavesTwoThatOpenTheRightMailboxes) {
  start_with({"Work", "Home", "Club"});
  for (const char* name : {"Work", "Home", "Club"})
    mailbox_file(std::string(name) + ".box", name, strings{std::string(1, std::tolower(name[0]))});
  script_.answer_dialog(IDD_DELETE_MAILBOX, choosing(IDC_MAILBOX_LIST, 1))
      .answer(IDYES)
      .answer(IDYES);
  ASSERT_TRUE(app_->run_command(ID_MAILBOX_DELETE));
  EXPECT_EQ(script_.shown(), (strings{"dialog 116 删除邮箱", "message 删除邮箱: Home ? [yes no]",
                                      "message 连磁盘上的邮箱也一起删除吗? [yes no]"}));
  EXPECT_FALSE(fs::exists(file("Home.box")));
  EXPECT_EQ(mailbox_items(IDR_VELMARTYPE), mailbox_menu({"Work", "Club"}));
  EXPECT_EQ(mailbox_items(IDR_MAINFRAME), mailbox_menu({"Work", "Club"}));
  ASSERT_TRUE(app_->run_command(ID_USER_MAILBOX_FIRST + 1));
  EXPECT_EQ(subjects(active_mailbox()->data()), strings{"c"});
  ASSERT_TRUE(app_->run_command(ID_USER_MAILBOX_FIRST));
  EXPECT_EQ(subjects(active_mailbox()->data()), strings{"w"});
  EXPECT_FALSE(app_->run_command(ID_USER_MAILBOX_FIRST + 2)) << "no third mailbox any more";
  ASSERT_TRUE(exit());
  std::string profile = file_text(profile_path());
  EXPECT_NE(profile.find("[Folders]\n文件夹1=Work\n文件夹2=Club\n\n"), std::string::npos)
      << profile;
  EXPECT_EQ(profile.find("文件夹3"), std::string::npos);
}

TEST_F(Mailboxes, AMailboxDeletedOnDiskClosesUnaskedAndTheLastTakesTheSeparatorAlong) {
  start_with({"Work", "Home"});
  mailbox_file("Work.box", "Work", strings{"w"});
  mailbox_file("Home.box", "Home", strings{"h"});
  ASSERT_TRUE(app_->run_command(ID_USER_MAILBOX_FIRST));
  active_mailbox()->set_modified();
  EXPECT_EQ(frame_count(), 2);
  script_.answer_dialog(IDD_DELETE_MAILBOX, choosing(IDC_MAILBOX_LIST, 0))
      .answer(IDYES)
      .answer(IDYES);
  app_->run_command(ID_MAILBOX_DELETE);
  qt_flush();
  EXPECT_EQ(frame_count(), 1);
  EXPECT_FALSE(fs::exists(file("Work.box")));
  EXPECT_EQ(script_.messages().size(), 2u) << "no question about saving it";
  // The file of the last one is kept when asked.
  script_.answer_dialog(IDD_DELETE_MAILBOX, choosing(IDC_MAILBOX_LIST, 0))
      .answer(IDYES)
      .answer(IDNO);
  app_->run_command(ID_MAILBOX_DELETE);
  EXPECT_EQ(mailbox_items(IDR_VELMARTYPE), mailbox_menu());
  EXPECT_TRUE(fs::exists(file("Home.box")));
  EXPECT_FALSE(app_->command_state(ID_MAILBOX_DELETE).enabled);
}

TEST_F(Mailboxes, DeletingWithoutAChoiceOrAnsweringNoChangesNothing) {
  start_with({"Work"});
  script_.press_ok(IDD_DELETE_MAILBOX)
      .answer_dialog(IDD_DELETE_MAILBOX, choosing(IDC_MAILBOX_LIST, 0))
      .answer(IDNO);
  app_->run_command(ID_MAILBOX_DELETE);
  app_->run_command(ID_MAILBOX_DELETE);
  EXPECT_EQ(script_.messages(), (strings{"没有选择邮箱，删除失败.", "删除邮箱: Work ?"}));
  EXPECT_EQ(app_->settings().user_mailboxes, strings{"Work"});
}

TEST_F(Mailboxes, ANewMailboxIsAddedToTheMenusAndCreatedWhenFirstOpened) {
  start_with({});
  script_.answer_dialog(IDD_NEW_MAILBOX, typing(IDC_NEW_NAME, "Projects"));
  ASSERT_TRUE(app_->run_command(ID_MAILBOX_NEW));
  EXPECT_EQ(mailbox_items(IDR_VELMARTYPE), mailbox_menu({"Projects"}));
  EXPECT_EQ(mailbox_items(IDR_MAINFRAME), mailbox_menu({"Projects"}));
  std::string projects = file("Projects.box");
  EXPECT_FALSE(fs::exists(projects)) << "no file until it is opened";
  script_.answer(IDYES).answer(IDYES).answer_file(projects);
  ASSERT_TRUE(app_->run_command(ID_USER_MAILBOX_FIRST));
  EXPECT_EQ(script_.shown().back(), "file save Save As " + projects + " " + kMailboxFilter);
  EXPECT_EQ(script_.messages(),
            (strings{"创建新的 Projects 邮箱吗?", "Save changes to Projects?"}));
  ASSERT_NE(active_mailbox(), nullptr);
  EXPECT_EQ(active_mailbox()->path_name(), projects);
  EXPECT_EQ(active_mailbox()->data().mailbox_name, "Projects");
  EXPECT_EQ(app_->settings().work_directory, folder_.path());
}

struct name_row {
  std::string name;
  strings mailboxes;
  std::string typed;
  std::string message;
};

class NewMailboxNames : public Mailboxes, public testing::WithParamInterface<name_row> {};

TEST_P(NewMailboxNames, AreRefused) {
  start_with(GetParam().mailboxes);
  script_.answer_dialog(IDD_NEW_MAILBOX, typing(IDC_NEW_NAME, GetParam().typed));
  app_->run_command(ID_MAILBOX_NEW);
  EXPECT_EQ(script_.messages(), strings{GetParam().message});
  EXPECT_EQ(app_->settings().user_mailboxes, GetParam().mailboxes);
}

strings fifteen_mailboxes() {
  strings names;
  for (int i = 0; i < 15; ++i)
    names.push_back("box" + std::to_string(i));
  return names;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NewMailboxNames,
    testing::Values(
        name_row{"Empty", {"Work"}, "", "不能创建没有名字的邮箱!"},
        name_row{"Duplicate", {"Work"}, "work", "邮箱 work 已经存在。"},
        name_row{"StandardName", {"Work"}, "TRASH", "邮箱 TRASH 已经存在。"},
        name_row{"Separator", {"Work"}, "a/b", "邮箱名不能含有 \\ / : * ? \" < > | 这些字符。"},
        name_row{"Parent", {"Work"}, "..", "邮箱名不能是 ..。"},
        name_row{"SixteenthMailbox", fifteen_mailboxes(), "more",
                 "用户邮箱已满，最多只能有 15 个。"}),
    row_name());

TEST(MailboxNames, AreCheckedBeforeTheyBecomeFileNames) {
  EXPECT_EQ(mailbox_name_problem("Work", {}), "");
  EXPECT_EQ(mailbox_name_problem("家", {"Work"}), "");
  EXPECT_NE(mailbox_name_problem("a\\b", {}), "");
  EXPECT_NE(mailbox_name_problem("tab\there", {}), "");
  EXPECT_NE(mailbox_name_problem("In", {}), "");
}

TEST_F(Mailboxes, InIsCreatedWhereTheUserSavesIt) {
  fs::create_directories(file("sub"));
  write_profile("[Configuration]\nInPath=" + file("sub/None.box") + "\n");
  std::string in = file("sub/In.box");
  script_.press_ok(IDD_ENVIRONMENT).answer(IDYES).answer(IDYES).answer_file(in).press_cancel(
      IDD_FETCH);
  ASSERT_TRUE(start());
  EXPECT_EQ(script_.shown()[3], "file save Save As " + file("sub") + "/In.box " + kMailboxFilter)
      << "proposed beside the In path";
  EXPECT_EQ(app_->settings().in_path, in);
  ASSERT_NE(active_mailbox(), nullptr);
  EXPECT_EQ(active_mailbox()->path_name(), in);
  EXPECT_TRUE(active_mailbox()->data().letters.empty());
  EXPECT_EQ(subjects_in(in), strings{});
}

TEST_F(Mailboxes, InNotSavedIsAskedForAgainUntilTheUserSaysNo) {
  write_profile("[Configuration]\nInPath=" + file("None.box") + "\n");
  script_.press_ok(IDD_ENVIRONMENT).answer(IDYES).answer(IDNO).answer(IDNO).press_cancel(IDD_FETCH);
  ASSERT_TRUE(start());
  EXPECT_EQ(script_.messages(), (strings{"创建新的 In 邮箱吗?", "Save changes to In?",
                                         "创建新的 In 邮箱吗?", "IMAP 帐号配置错误."}));
  EXPECT_EQ(frame_count(), 0);
  EXPECT_EQ(app_->settings().in_path, file("None.box"));
}

TEST_F(Mailboxes, OutAndTrashOpenOrAreCreated) {
  start_with({});
  app_->settings().out_path = mailbox_file("Out.box", "OUT", strings{"sent"});
  ASSERT_TRUE(app_->run_command(ID_MAILBOX_OUT));
  EXPECT_EQ(subjects(active_mailbox()->data()), strings{"sent"});
  std::string trash = file("Trash.box");
  script_.answer(IDYES).answer(IDYES).answer_file(trash);
  ASSERT_TRUE(app_->run_command(ID_MAILBOX_TRASH));
  EXPECT_EQ(script_.messages(), (strings{"创建新的 Trash 邮箱吗?", "Save changes to Trash?"}));
  EXPECT_EQ(app_->settings().trash_path, trash);
  EXPECT_EQ(active_mailbox()->data().mailbox_name, "TRASH");
  ASSERT_TRUE(app_->run_command(ID_MAILBOX_IN));
  EXPECT_EQ(active_mailbox()->path_name(), in_) << "brought forward";
  EXPECT_EQ(frame_count(), 3);
}

TEST_F(Mailboxes, TrashingLinesTwoAndFourMovesThoseLettersToTheEndOfTrash) {
  start_with({}, {"a", "b", "c", "d", "e"});
  std::string trash = mailbox_file("trash.box", "TRASH", strings{"old"});
  CListView* in_list = active_list();
  click(IDC_BUTTON_TRASH, {1, 3});
  EXPECT_TRUE(script_.shown().empty());
  CVelmarDoc* in = in_list->mailbox();
  EXPECT_EQ(subjects(in->data()), (strings{"a", "c", "e"}));
  EXPECT_EQ(in->data().current, 1) << "the letter after the first one taken";
  EXPECT_EQ(active_list(), in_list) << "the list comes forward again";
  EXPECT_TRUE(in->is_modified());
  CVelmarDoc* trash_mailbox = opened(trash);
  ASSERT_NE(trash_mailbox, nullptr);
  EXPECT_EQ(subjects(trash_mailbox->data()), (strings{"old", "b", "d"}));
  EXPECT_TRUE(trash_mailbox->is_modified());
  EXPECT_EQ(list_lines().size(), 3u) << "the Trash list shows its letters";
}

TEST_F(Mailboxes, TrashWithoutATrashMailboxOffersToCreateIt) {
  start_with({}, {"a", "b"});
  in_list_ = active_list();
  script_.answer(IDNO);
  click(IDC_BUTTON_TRASH, {0});
  EXPECT_EQ(script_.messages(), (strings{"创建新的 Trash 邮箱吗?", "Trash 操作没有完成!"}));
  EXPECT_EQ(in_subjects(), (strings{"a", "b"}));
  std::string trash = file("Trash.box");
  script_.answer(IDYES).answer(IDYES).answer_file(trash);
  in_list_->button(IDC_BUTTON_TRASH)->click();
  EXPECT_EQ(in_subjects(), strings{"b"});
  EXPECT_EQ(app_->settings().trash_path, trash);
  EXPECT_EQ(subjects(opened(trash)->data()), strings{"a"});
}

TEST_F(Mailboxes, NothingSelectedMeansNothingToCarry) {
  start_with({});
  active_list()->button(IDC_BUTTON_TRASH)->click();
  active_list()->button(IDC_BUTTON_MOVE)->click();
  EXPECT_EQ(script_.messages(), (strings{"先选择信件.", "先选择信件."}));
}

TEST_F(Mailboxes, MovingAsksForTheMailboxAndCarriesTheLetters) {
  start_with({"Work"}, {"a", "b", "c"});
  in_list_ = active_list();
  mailbox_file("Work.box", "Work", strings{"w"});
  script_
      .answer_dialog(IDD_MOVE,
                     [](ui_dialog& d) {
                       EXPECT_EQ(d.shown_texts(), (strings{"移动信件", "选择邮箱", "In", "Out",
                                                           "Trash", "Work", "移动", "取消"}));
                       d.select(IDC_MAILBOX_LIST, 3);
                       return true;
                     })
      .answer(IDYES);
  click(IDC_BUTTON_MOVE, {0, 2});
  EXPECT_EQ(script_.messages(), strings{"转移邮件到邮箱: Work ?"});
  EXPECT_EQ(in_subjects(), strings{"b"});
  EXPECT_EQ(subjects(opened(file("Work.box"))->data()), (strings{"w", "a", "c"}));
}

TEST_F(Mailboxes, MovingToInLooksInTheWorkDirectoryAndOffersToCreateIt) {
  fs::create_directories(file("work"));
  start_in(strings{"a", "b"}, "WorkDirectory=" + file("work") + "\n");
  in_list_ = active_list();
  std::string target = file("work/In.box");
  script_.answer_dialog(IDD_MOVE, choosing(IDC_MAILBOX_LIST, 0))
      .answer(IDYES)
      .answer(IDYES)
      .answer(IDYES)
      .answer_file(target);
  click(IDC_BUTTON_MOVE, {1});
  EXPECT_EQ(script_.messages(),
            (strings{"转移邮件到邮箱: In ?", "创建新的 In 邮箱?", "Save changes to In?"}));
  CVelmarDoc* created = opened(target);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->data().mailbox_name, "In");
  EXPECT_EQ(subjects(created->data()), strings{"b"});
  EXPECT_EQ(in_subjects(), strings{"a"});
  EXPECT_EQ(app_->settings().work_directory, file("work"));
}

TEST_F(Mailboxes, MovingRefusedOrWithoutAChoiceChangesNothing) {
  start_with({}, {"a"});
  in_list_ = active_list();
  script_.press_ok(IDD_MOVE)
      .press_cancel(IDD_MOVE)
      .answer_dialog(IDD_MOVE, choosing(IDC_MAILBOX_LIST, 1))
      .answer(IDYES)
      .answer(IDNO);
  for (int i = 0; i < 3; ++i)
    click(IDC_BUTTON_MOVE, {0});
  EXPECT_EQ(script_.messages(), (strings{"没选择邮箱，转移失败.", "转移邮件到邮箱: Out ?",
                                         "创建新的 Out 邮箱?", "转移失败!"}));
  EXPECT_EQ(in_subjects(), strings{"a"});
}

}  // namespace
