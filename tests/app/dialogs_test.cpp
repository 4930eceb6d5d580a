#include <gtest/gtest.h>

#include "app/chinese_dialog.h"
#include "app/delete_mailbox_dialog.h"
#include "app/environment_dialog.h"
#include "app/move_dialog.h"
#include "app/network_dialog.h"
#include "app/new_mailbox_dialog.h"
#include "app/path_dialog.h"
#include "app/resource_ids.h"
#include "tests/support/dialog_answers.h"
#include "tests/support/table.h"
#include "ui/ui_ids.h"
#include "ui/ui_script.h"

namespace {

using strings = std::vector<std::string>;
using ids = std::vector<int>;

TEST(NetworkDialog, ShowsItsLabelsAndDisablesWhatIsOnlyKept) {
  CNetworkDialog dialog;
  EXPECT_EQ(
      dialog.shown_texts(),
      (strings{"网络配置", "IMAP 帐号  :", "真实姓名   :", "SMTP 服务器:", "回邮地址   :",
               "检查邮件时间间隔 :", "分钟", "7位传送", "8位传送", "网络传送", "确定", "取消"}));
  EXPECT_EQ(dialog.control_ids(), (ids{1, 2, 1025, 1026, 1027, 1028, 1029, 1047, 1048, 1049}));
  for (int id : {1029, 1047, 1048, 1049})
    EXPECT_FALSE(dialog.control(id)->isEnabled()) << id;
  EXPECT_TRUE(dialog.control(1025)->isEnabled());
}

TEST(NetworkDialog, StartsWithTheSettingsAndTakesTheEdits) {
  ui_script script;
  script.answer_dialog(IDD_NETWORK, [](ui_dialog& d) {
    EXPECT_EQ(d.text(IDC_ACCOUNT), "li@mail.pku.edu.cn");
    EXPECT_EQ(d.text(IDC_CHECK_INTERVAL), "10");
    EXPECT_TRUE(d.checked(IDC_LINK_NETWORK)) << "the transfer mode as it is";
    d.set_text(IDC_ACCOUNT, "wang@mail.example.cn");
    d.set_text(IDC_REAL_NAME, "Wang");
    d.set_text(IDC_SMTP_SERVER, "smtp.example.cn");
    d.set_text(IDC_RETURN_ADDRESS, "wang@example.cn");
    return true;
  });
  CNetworkDialog dialog;
  dialog.account = "li@mail.pku.edu.cn";
  dialog.transfer_mode = 2;
  ASSERT_EQ(dialog.run(), IDOK);
  EXPECT_EQ(dialog.account, "wang@mail.example.cn");
  EXPECT_EQ(dialog.real_name, "Wang");
  EXPECT_EQ(dialog.smtp_server, "smtp.example.cn");
  EXPECT_EQ(dialog.return_address, "wang@example.cn");
  EXPECT_EQ(dialog.check_interval, 10);
  EXPECT_EQ(dialog.transfer_mode, 2) << "OK keeps a network transfer mode";
}

struct chinese_start {
  std::string name;
  long platform;
  std::string code;
  bool gb;
  bool big5;
  int radio;
  std::string other;
};

class ChineseDialogStart : public testing::TestWithParam<chinese_start> {};

TEST_P(ChineseDialogStart, BoxesAndRadioFollowTheSettings) {
  const chinese_start& row = GetParam();
  ui_script script;
  script.answer_dialog(IDD_CHINESE, [&row](ui_dialog& d) {
    EXPECT_EQ(d.checked(IDC_PLATFORM_GB), row.gb);
    EXPECT_EQ(d.checked(IDC_PLATFORM_BIG5), row.big5);
    EXPECT_TRUE(d.checked(row.radio));
    EXPECT_EQ(d.text(IDC_CODE_OTHER_NAME), row.other);
    return false;
  });
  CChineseDialog dialog;
  dialog.platform = row.platform;
  dialog.interchange_code = row.code;
  EXPECT_EQ(dialog.run(), IDCANCEL);
  EXPECT_TRUE(script.finished()) << script.problems();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ChineseDialogStart,
    testing::Values(chinese_start{"Nothing", 0, "", false, false, IDC_CODE_OTHER, ""},
                    chinese_start{"Gb", 1, "CN-GB", true, false, IDC_CODE_CN_GB, ""},
                    chinese_start{"Big5InAnyCase", 2, "cn-big5", false, true, IDC_CODE_CN_BIG5, ""},
                    chinese_start{"Both", 3, "ISO-2022-CN", true, true, IDC_CODE_ISO_2022_CN, ""},
                    chinese_start{"AsciiLabel", 1, "us-ascii", true, false, IDC_CODE_US_ASCII, ""},
                    chinese_start{"OtherLabel", 7, "x-gbk", false, false, IDC_CODE_OTHER, "x-gbk"}),
    row_name());

TEST(ChineseDialog, OkStoresThePlatformAndTheLabel) {
  ui_script script;
  script
      .answer_dialog(IDD_CHINESE,
                     [](ui_dialog& d) {
                       d.set_checked(IDC_PLATFORM_GB, true);
                       d.set_checked(IDC_CODE_CN_GB, true);
                       return true;
                     })
      .answer_dialog(IDD_CHINESE, [](ui_dialog& d) {
        d.set_checked(IDC_PLATFORM_GB, false);
        d.set_checked(IDC_PLATFORM_BIG5, false);
        d.set_checked(IDC_CODE_OTHER, true);
        d.set_text(IDC_CODE_OTHER_NAME, "UTF-8");
        return true;
      });
  CChineseDialog dialog;
  ASSERT_EQ(dialog.run(), IDOK);
  EXPECT_EQ(dialog.platform, 1);
  EXPECT_EQ(dialog.interchange_code, "CN-GB");
  ASSERT_EQ(dialog.run(), IDOK);
  EXPECT_EQ(dialog.platform, 0);
  EXPECT_EQ(dialog.interchange_code, "UTF-8");
  EXPECT_EQ(dialog.shown_texts(),
            (strings{"中文环境设置", "平台", "GB", "BIG5 ", "交换码", "US-ASCII", "CN-GB",
                     "CN-BIG5", "ISO-2022-CN", "其他", "确定", "取消"}));
}

TEST(PathDialog, ShowsItsLabelsAndTakesTheFourPaths) {
  ui_script script;
  script.answer_dialog(IDD_PATHS, [](ui_dialog& d) {
    EXPECT_EQ(d.text(IDC_IN_PATH), "/m/In.box");
    d.set_text(IDC_OUT_PATH, "/m/Out.box");
    d.set_text(IDC_WORK_DIRECTORY, "/m/");
    return true;
  });
  CPathDialog dialog;
  dialog.in_path = "/m/In.box";
  ASSERT_EQ(dialog.run(), IDOK);
  EXPECT_EQ(dialog.out_path, "/m/Out.box");
  EXPECT_EQ(dialog.work_directory, "/m/") << "the caller removes the separator";
  EXPECT_EQ(dialog.shown_texts(), (strings{"邮箱路径", "文件名:", "Inbox", "Outbox", "Trashbox",
                                           "路径名:", "工作路径：", "确定", "取消"}));
  EXPECT_EQ(dialog.control_ids(), (ids{1, 2, 1066, 1067, 1068, 1074}));
}

TEST(EnvironmentDialog, HasOnlyOkAndAnEscapeKeepsTheChoice) {
  CEnvironmentDialog dialog;
  EXPECT_EQ(dialog.shown_texts(),
            (strings{"运行环境设置", "您的操作平台", "Microsoft Windows 3.**",
                     "Microsoft Windows 95", "Microsoft Windows NT", "确定"}));
  EXPECT_EQ(dialog.button(IDCANCEL), nullptr);
  dialog.environment = 1;
  dialog.prepare();
  EXPECT_TRUE(dialog.checked(IDC_SYSTEM_WIN95));
  dialog.set_checked(IDC_SYSTEM_NT, true);
  dialog.reject();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.environment, 2);
}

TEST(NewMailboxDialog, RefusesANinthCharacter) {
  ui_script script;
  script.answer_dialog(IDD_NEW_MAILBOX, typing(IDC_NEW_NAME, "ABCDEFGHI"))
      .answer_dialog(IDD_NEW_MAILBOX, typing(IDC_NEW_NAME, "ABCDEFGH"));
  CNewMailboxDialog dialog;
  ASSERT_EQ(dialog.run(), IDOK);
  EXPECT_EQ(dialog.name, "ABCDEFGH");
  EXPECT_EQ(script.messages(), strings{"Please enter no more than 8 characters."});
  EXPECT_EQ(dialog.shown_texts(),
            (strings{"新建邮箱", "创建一个邮箱", "命名新邮箱", "确定", "取消"}));
  EXPECT_EQ(dialog.control_ids(), (ids{1, 2, 1011, 1012, 1014}));
}

TEST(DeleteMailboxDialog, ListsTheMailboxesInTableOrder) {
  ui_script script;
  script.answer_dialog(IDD_DELETE_MAILBOX, choosing(IDC_MAILBOX_LIST, 1))
      .press_ok(IDD_DELETE_MAILBOX);
  CDeleteMailboxDialog dialog;
  dialog.names = {"Work", "Club", "Home"};
  ASSERT_EQ(dialog.run(), IDOK);
  EXPECT_EQ(dialog.chosen, "Club");
  EXPECT_EQ(dialog.chosen_index, 1);
  EXPECT_EQ(dialog.shown_texts(),
            (strings{"删除邮箱", "选择邮箱", "Work", "Club", "Home", "删除", "取消"}));
  ASSERT_EQ(dialog.run(), IDOK);
  EXPECT_EQ(dialog.chosen_index, -1) << "nothing selected";
  EXPECT_EQ(dialog.chosen, "");
}

TEST(MoveDialog, ListsTheStandardAndUserMailboxesSorted) {
  CMoveDialog dialog;
  dialog.names = {"In", "Out", "Trash", "Work", "Club"};
  dialog.prepare();
  EXPECT_EQ(dialog.shown_texts(), (strings{"移动信件", "选择邮箱", "Club", "In", "Out", "Trash",
                                           "Work", "移动", "取消"}));
  EXPECT_EQ(dialog.selection(IDC_MAILBOX_LIST), -1);
}

}  // namespace
