#include "ui/ui_dialog.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/qt_asker.h"
#include "ui/ui_ids.h"
#include "ui/ui_script.h"
#include "ui/ui_text.h"

namespace {

using strings = std::vector<std::string>;

// A dialog of every kind of control: a name of at most 8 characters, a
// number, a check box, two radio buttons and a sorted list.
class sample_dialog : public ui_dialog {
 public:
  sample_dialog() : ui_dialog(114, "新建邮箱") {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(make_label(1011, "创建一个邮箱"));
    layout->addWidget(make_edit(1014));
    layout->addWidget(make_edit(1029));
    layout->addWidget(make_check_box(1044, "GB"));
    auto* group = new QButtonGroup(this);
    layout->addWidget(make_radio(group, 1050, "CN-GB"));
    layout->addWidget(make_radio(group, 1051, "CN-BIG5"));
    QListWidget* list = make_list_box(1017, true);
    for (const char* line : {"Trash", "In", "abc", "Out"})
      add_list_line(1017, line);
    layout->addWidget(list);
    layout->addWidget(make_buttons("确定", std::string("取消")));
  }

  std::string name = "Work";
  long number = 10;
  int inits = 0;

 protected:
  void on_init_dialog() override {
    ++inits;
    set_text(1014, name);
    set_text(1029, std::to_string(number));
  }
  bool on_ok() override {
    if (!check_max_chars(1014, 8)) return false;
    std::optional<long> value = take_int(1029);
    if (!value) return false;
    name = text(1014);
    number = *value;
    return true;
  }
};

TEST(Dialogs, ControlsAreFoundByTheirIds) {
  sample_dialog dialog;
  EXPECT_EQ(dialog.control_ids(),
            (std::vector<int>{1, 2, 1011, 1014, 1017, 1029, 1044, 1050, 1051}));
  EXPECT_NE(dialog.edit(1014), nullptr);
  EXPECT_NE(dialog.check_box(1044), nullptr);
  EXPECT_EQ(dialog.edit(1044), nullptr) << "a check box is not an edit";
  EXPECT_EQ(dialog.text(2), "取消");
  EXPECT_EQ(dialog.shown_texts(), (strings{"新建邮箱", "创建一个邮箱", "GB", "CN-GB", "CN-BIG5",
                                           "abc", "In", "Out", "Trash", "确定", "取消"}))
      << "the list is sorted without regard to case";
}

TEST(Dialogs, TheScriptFillsTheControlsAndPressesOkAndEachRunFillsThemAgain) {
  ui_script script;
  script
      .answer_dialog(114,
                     [](ui_dialog& dialog) {
                       EXPECT_EQ(dialog.text(1014), "Work") << "filled from the dialog's data";
                       dialog.set_text(1014, "Home");
                       dialog.set_checked(1051, true);
                       dialog.select(1017, 2);
                       return true;
                     })
      .answer_dialog(114, [](ui_dialog& dialog) {
        EXPECT_EQ(dialog.text(1014), "Club");
        dialog.set_text(1014, "Other");
        return false;
      });
  sample_dialog dialog;
  EXPECT_EQ(dialog.run(), IDOK);
  EXPECT_EQ(dialog.name, "Home");
  EXPECT_TRUE(dialog.checked(1051));
  EXPECT_FALSE(dialog.checked(1050));
  EXPECT_EQ(dialog.selection(1017), 2);
  EXPECT_EQ(dialog.text(1017), "Out");
  EXPECT_EQ(script.shown(), strings{"dialog 114 新建邮箱"});
  dialog.name = "Club";
  EXPECT_EQ(dialog.run(), IDCANCEL);
  EXPECT_EQ(dialog.name, "Club") << "cancel takes nothing from the controls";
  EXPECT_EQ(dialog.inits, 2);
  EXPECT_TRUE(script.finished()) << script.problems();
}

// Each refusal keeps the dialog open as it was.
TEST(Dialogs, TooManyCharactersOrANonNumberAreRefusedWithTheFrameworksMessages) {
  ui_script script;
  script
      .answer_dialog(114,
                     [](ui_dialog& dialog) {
                       dialog.set_text(1014, "ninechars");
                       return true;
                     })
      .answer_dialog(114,
                     [](ui_dialog& dialog) {
                       EXPECT_EQ(dialog.text(1014), "ninechars");
                       dialog.set_text(1014, "邮箱邮箱邮箱邮箱");
                       dialog.set_text(1029, "ten");
                       return true;
                     })
      .answer_dialog(114, [](ui_dialog& dialog) {
        dialog.set_text(1029, "12");
        return true;
      });
  sample_dialog dialog;
  EXPECT_EQ(dialog.run(), IDOK);
  EXPECT_EQ(dialog.name, "邮箱邮箱邮箱邮箱") << "eight characters, whatever their bytes";
  EXPECT_EQ(dialog.number, 12);
  EXPECT_EQ(script.messages(),
            (strings{"Please enter no more than 8 characters.", "Please enter an integer."}));
  EXPECT_TRUE(script.finished()) << script.problems();
}

TEST(Script, QuestionsWithoutAnAnswerAreCancelledAndReported) {
  ui_script script;
  EXPECT_EQ(ui_message_box("关闭此邮箱?", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(ui_message_box("Save changes to In?", MB_YESNOCANCEL), IDCANCEL);
  EXPECT_EQ(ui_message_box("先选择信件."), IDOK) << "a box with only OK needs no answer";
  sample_dialog dialog;
  EXPECT_EQ(dialog.run(), IDCANCEL);
  EXPECT_FALSE(script.finished());
  EXPECT_EQ(script.problems(),
            "unanswered: message 关闭此邮箱? [yes no]\n"
            "unanswered: message Save changes to In? [yes no cancel]\n"
            "unanswered: dialog 114 新建邮箱\n");
}

TEST(Script, AnswersAreTakenInOrderAndLeftoversReported) {
  ui_script script;
  script.answer(IDYES).answer_file("/tmp/x.box").answer(IDNO);
  EXPECT_EQ(ui_message_box("q1", MB_YESNO), IDYES);
  ui_file_request request;
  request.open = false;
  request.title = "Save As";
  request.file_name = "In.box";
  EXPECT_EQ(ui_ask().file_dialog(request), "/tmp/x.box");
  EXPECT_EQ(script.shown(), (strings{"message q1 [yes no]", "file save Save As In.box "}));
  EXPECT_EQ(script.problems(), "unused answer No\n");
}

TEST(Script, ItStandsInForTheRealWindowsWhileItLives) {
  ui_asker* real = &ui_ask();
  {
    ui_script script;
    EXPECT_EQ(&ui_ask(), &script);
  }
  EXPECT_EQ(&ui_ask(), real);
}

TEST(FileFilters, FrameworkFiltersBecomeQtFilters) {
  EXPECT_EQ(utf8(qt_file_filter("Kestrel 邮箱文件 (*.box)|*.box|All Files (*.*)|*.*||")),
            "Kestrel 邮箱文件 (*.box);;All Files (*.*)");
  EXPECT_EQ(utf8(qt_file_filter("所有文件 (*.*)|*.*||")), "所有文件 (*.*)");
  EXPECT_EQ(utf8(qt_file_filter("Texts|*.txt;*.asc||")), "Texts (*.txt *.asc)");
  EXPECT_EQ(utf8(qt_file_filter("")), "");
}

}  // namespace
