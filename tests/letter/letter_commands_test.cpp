#include "letter/letter_commands.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTextEdit>

#include "letter/editor_view.h"
#include "letter/viewer_view.h"
#include "tests/support/desktop_fixture.h"
#include "tests/support/letter_builder.h"
#include "tests/support/table.h"

namespace {

using field = CEditorView::field;
using strings = std::vector<std::string>;
using ints = std::vector<int>;

std::unique_ptr<CAletter> source(const std::string& subject, bool copies) {
  auto letter = letters::letter(letters::text("US-ASCII", "L1\r\nL2"), subject);
  if (copies) {
    letter->envelope.cc = letters::address("A", "a@x.cn");
    letter->envelope.cc->items.push_back(std::make_unique<CAddritem>("", "b@y.cn"));
    letter->envelope.bcc = letters::address("", "c@z.cn");
  }
  return letter;
}

// A command from the list or the viewer, the questions it asks, and the
// composer it leaves.
struct command_row {
  std::string name;
  bool from_viewer;
  int id;
  std::string subject;  // of the letter answered
  bool copies;          // it has Cc and Bcc lists
  std::vector<int> answers;
  strings messages;
  std::string caption;  // "" where the command sets none
  strings fields;       // subject, from, to, cc, bcc
  std::string body;
  std::string status;  // of the letter answered, after
};

class LetterCommand : public desktop_fixture, public testing::WithParamInterface<command_row> {};

TEST_P(LetterCommand, FillsTheComposer) {
  const command_row& row = GetParam();
  std::vector<std::unique_ptr<CAletter>> made;
  made.push_back(source(row.subject, row.copies));
  start_in(std::move(made), "ReturnAddress=li@mail.pku.edu.cn\nHZOS=1\n", 0);
  CListView* list = active_list();
  ASSERT_NE(list, nullptr);
  ui_command_target* target = list;
  if (row.from_viewer) {
    list->open_viewer();
    target = dynamic_cast<CViewerView*>(app_->active_view());
    ASSERT_NE(target, nullptr);
  }
  for (int answer : row.answers)
    script_.answer(answer);
  ASSERT_TRUE(target->run_command(row.id));
  EXPECT_EQ(script_.messages(), row.messages);
  auto* composer = dynamic_cast<CEditorView*>(app_->active_view());
  ASSERT_NE(composer, nullptr);
  if (!row.caption.empty()) {
    EXPECT_EQ(utf8(app_->active_frame()->windowTitle()), row.caption);
  }
  strings fields;
  for (field each : {field::subject, field::from, field::to, field::cc, field::bcc})
    fields.push_back(utf8(composer->line(each)->text()));
  EXPECT_EQ(fields, row.fields);
  EXPECT_EQ(utf8(composer->body()->toPlainText()), row.body);
  EXPECT_EQ(list->mailbox()->data().letters[0]->flags.status, row.status);
}

const std::string kQuoted = ">\n>L1\n>L2\n>\n>";

INSTANTIATE_TEST_SUITE_P(
    Rows, LetterCommand,
    testing::Values(
        command_row{"ViewerNew", true, 201, "hi", false, ints{}, strings{}, "Compose New Letter",
                    strings{"", "li@mail.pku.edu.cn", "", "", ""}, "", "   "},
        command_row{"ListNew", false, 201, "hi", false, ints{}, strings{}, "信件编辑",
                    strings{"", "li@mail.pku.edu.cn", "", "", ""}, "", "N  "},
        command_row{"ViewerReplyQuoting", true, 202, "hi", false, ints{IDYES},
                    strings{"Include original text in Reply?"}, "Re:hi",
                    strings{"Re:hi", "li@mail.pku.edu.cn", "li@pku.edu.cn", "", ""},
                    "    On  5-Dec-1996 10:00:00 +0800, Li wrote:\n\n" + kQuoted, " A "},
        command_row{"ViewerReplyWithoutSubject", true, 202, "", false, ints{IDNO},
                    strings{"Include original text in Reply?"}, "Re:your mail",
                    strings{"Re:your mail", "li@mail.pku.edu.cn", "li@pku.edu.cn", "", ""}, "",
                    " A "},
        command_row{
            "ListReplyToAllCopies", false, 202, "hi", true, ints{IDYES, IDYES, IDYES},
            strings{"回复所有的 CC 吗?", "回复所有的 BCC 吗?", "引用原文内容吗?"},
            "回复: li@pku.edu.cn ,回复:hi",
            strings{"回复:hi", "li@mail.pku.edu.cn", "li@pku.edu.cn", "a@x.cn;b@y.cn", "c@z.cn"},
            "    在  5-Dec-1996 10:00:00 +0800, Li写:\n\n" + kQuoted, "NA "},
        command_row{"ListReplyRefusingCopies", false, 202, "", true, ints{IDNO, IDNO, IDNO},
                    strings{"回复所有的 CC 吗?", "回复所有的 BCC 吗?", "引用原文内容吗?"},
                    "回复: li@pku.edu.cn ,回复:你的邮件",
                    strings{"回复:你的邮件", "li@mail.pku.edu.cn", "li@pku.edu.cn", "", ""}, "",
                    "NA "},
        command_row{"ViewerForward", true, 203, "", false, ints{}, strings{}, "",
                    strings{"your mail(fwd)", "li@mail.pku.edu.cn", "", "", ""},
                    "--- FORWARD MESSAGE BEGIN ---\nFrom        : li@pku.edu.cn\nDate        :  "
                    "5-Dec-1996 10:00:00 +0800\nSubject     : \nMime-Version: 1.0\nContent-Type: "
                    "text/PLAIN; CHARSET=US-ASCII\n\nL1\nL2\n\n\n --- FORWARD MESSAGE END ---",
                    "   "},
        command_row{
            "ListForward", false, 203, "hi", false, ints{}, strings{}, "邮件转发：hi(转发)",
            strings{"hi(转发)", "li@mail.pku.edu.cn", "", "", ""},
            "--- 转发信息开始 ---\n发信人   : li@pku.edu.cn\n日期     :  5-Dec-1996 10:00:00 "
            "+0800\n题目     : hi\nMime-版本: 1.0\n内容类型 : 文本/PLAIN; "
            "CHARSET=US-ASCII\n\nL1\nL2\n\n\n --- 转发信息结束 ---",
            "N  "},
        command_row{"ViewerRedirect", true, 204, "hi", false, ints{}, strings{}, "",
                    strings{"hi", "li@mail.pku.edu.cn", "", "", ""},
                    "Content-Type: text/PLAIN; CHARSET=US-ASCII\n\nL1\nL2\n\n", "   "},
        command_row{"ListRedirect", false, 204, "hi", false, ints{}, strings{}, "转寄：hi",
                    strings{"hi", "li@mail.pku.edu.cn", "", "", ""},
                    "内容类型 : 文本/PLAIN; CHARSET=US-ASCII\n\nL1\nL2\n\n", "N  "}),
    row_name());

class WithoutALetter : public desktop_fixture {};

TEST_F(WithoutALetter, TheListsCommandsSaySo) {
  start_in(strings{});
  for (int id : {202, 203, 204})
    active_list()->run_command(id);
  EXPECT_EQ(script_.messages(), (strings{"先选择信件.", "先选择信件.", "先选择信件."}));
  EXPECT_EQ(frame_count(), 1) << "no composer opens";
}

}  // namespace
