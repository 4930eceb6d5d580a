#include "app/velmar_app.h"

#include <gtest/gtest.h>

#include "app/mailbox_commands.h"
#include "platform/scratch_directory.h"
#include "tests/support/desktop_fixture.h"

namespace {

class StartUp : public desktop_fixture {};

const char* kMailboxFilter = "Kestrel 邮箱文件 (*.box)|*.box|All Files (*.*)|*||";

TEST_F(StartUp, AFirstStartAsksItsQuestionsInOrderAndCreatesIn) {
  std::string in = file("In.box");
  script_
      .answer_dialog(IDD_ENVIRONMENT,
                     [](ui_dialog& d) {
                       EXPECT_TRUE(d.checked(IDC_SYSTEM_WIN3));
                       return true;
                     })
      .answer(IDYES)
      .answer(IDYES)
      .answer_file(in)
      .press_cancel(IDD_FETCH);
  ASSERT_TRUE(start());
  EXPECT_EQ(script_.shown(),
            (strings{"dialog 161 运行环境设置", "message 创建新的 In 邮箱吗? [yes no]",
                     "message Save changes to In? [yes no cancel]",
                     std::string("file save Save As In.box ") + kMailboxFilter,
                     "message IMAP 帐号配置错误. [ok]", "dialog 118 取邮件"}));
  ASSERT_NE(active_mailbox(), nullptr);
  EXPECT_EQ(active_mailbox()->path_name(), in);
  EXPECT_EQ(active_mailbox()->data().mailbox_name, "IN");
  EXPECT_TRUE(active_mailbox()->data().letters.empty());
  EXPECT_EQ(frame_count(), 1) << "the new mailbox closed, then opened from its file";
  EXPECT_EQ(app_->frame()->menu_in_use()->resource(), IDR_VELMARTYPE);
  EXPECT_EQ(mailbox_items(IDR_VELMARTYPE), mailbox_menu());
  EXPECT_FALSE(app_->command_state(ID_MAILBOX_DELETE).enabled) << "no user mailbox yet";
  EXPECT_EQ(utf8(app_->frame()->windowTitle()), "Kestrel - In");
  EXPECT_TRUE(app_->frame()->isMaximized()) << "no place kept yet";

  ASSERT_TRUE(exit());
  std::string profile = file_text(profile_path());
  for (const std::string& line :
       {"InPath=" + in, std::string("CheckForMailEvery=10"), std::string("NetLink=0"),
        std::string("HZOS=0"), std::string("ExpungeServer=0"),
        std::string("OperSystem=Microsoft Windows 3.**"), std::string("MainWindowMaximized=1")})
    EXPECT_NE(profile.find(line + "\n"), std::string::npos) << line << " in\n" << profile;
  EXPECT_EQ(profile.find("[Folders]"), std::string::npos);
}

// What the network dialog shows and takes, and the Chinese dialog's choices.
const std::pair<int, std::string> kNetwork[] = {{IDC_ACCOUNT, "li@mail.pku.edu.cn"},
                                                {IDC_REAL_NAME, "李明"},
                                                {IDC_SMTP_SERVER, "smtp.pku.edu.cn"},
                                                {IDC_RETURN_ADDRESS, "li@pku.edu.cn"}};
const std::pair<int, bool> kChinese[] = {
    {IDC_PLATFORM_GB, true}, {IDC_PLATFORM_BIG5, false}, {IDC_CODE_CN_GB, true}};

TEST_F(StartUp, SettingsGoThroughTheProfileAndComeBack) {
  start_in(strings{});
  script_
      .answer_dialog(IDD_NETWORK,
                     [](ui_dialog& d) {
                       for (const auto& [id, text] : kNetwork)
                         d.set_text(id, text);
                       return true;
                     })
      .answer_dialog(IDD_CHINESE,
                     [](ui_dialog& d) {
                       for (const auto& [id, checked] : kChinese)
                         d.set_checked(id, checked);
                       return true;
                     })
      .answer_dialog(IDD_PATHS, [this](ui_dialog& d) {
        d.set_text(IDC_OUT_PATH, file("Out.box"));
        d.set_text(IDC_WORK_DIRECTORY, folder_.path() + "/");
        return true;
      });
  ASSERT_TRUE(app_->run_command(ID_SETTING_NETWORK));
  EXPECT_EQ(app_->user_name(), "li");
  EXPECT_EQ(app_->server_mailbox(), "{mail.pku.edu.cn}inbox");
  EXPECT_EQ(app_->return_host(), "pku.edu.cn");
  ASSERT_TRUE(app_->run_command(ID_SETTING_CHINESE));
  ASSERT_TRUE(app_->run_command(ID_SETTING_PATHS));
  EXPECT_EQ(app_->settings().work_directory, folder_.path()) << "without the separator";
  EXPECT_EQ(app_->font_directory(), folder_.path() + "\\ccfont\\");
  EXPECT_TRUE(script_.messages().empty());
  ASSERT_TRUE(exit());
  stop();

  script_
      .answer_dialog(IDD_ENVIRONMENT,
                     [](ui_dialog& d) {
                       d.set_checked(IDC_SYSTEM_NT, true);
                       return true;
                     })
      .press_cancel(IDD_FETCH);
  script_
      .answer_dialog(IDD_NETWORK,
                     [](ui_dialog& d) {
                       for (const auto& [id, text] : kNetwork)
                         EXPECT_EQ(d.text(id), text);
                       return false;
                     })
      .answer_dialog(IDD_CHINESE, [](ui_dialog& d) {
        for (const auto& [id, checked] : kChinese)
          EXPECT_EQ(d.checked(id), checked) << id;
        return false;
      });
  ASSERT_TRUE(start());
  EXPECT_EQ(app_->settings().oper_system, 2);
  EXPECT_EQ(app_->settings().out_path, file("Out.box"));
  EXPECT_EQ(app_->settings().hzos, 1);
  EXPECT_EQ(app_->user_name(), "li") << "split at start-up, no message";
  app_->run_command(ID_SETTING_NETWORK);
  app_->run_command(ID_SETTING_CHINESE);
  EXPECT_EQ(script_.messages(), strings{});
}

TEST_F(StartUp, TheMainWindowOpensWhereItWasLeftAndIsKeptThereAtExit) {
  start_in(strings{}, "[Misc]\nMainWindow=30,40,700,500\nMainWindowMaximized=0\n");
  QWidget* frame = app_->frame();
  EXPECT_FALSE(frame->isMaximized());
  EXPECT_EQ(frame->geometry(), QRect(30, 40, 700, 500));
  frame->setGeometry(50, 60, 600, 400);
  ASSERT_TRUE(exit());
  std::string profile = file_text(profile_path());
  EXPECT_NE(profile.find("MainWindow=50,60,600,400\n"), std::string::npos) << profile;
  EXPECT_NE(profile.find("MainWindowMaximized=0\n"), std::string::npos) << profile;
}

TEST_F(StartUp, AnAccountWithoutAnAtIsReportedAndChangesNothing) {
  start_in(strings{});
  script_.answer_dialog(IDD_NETWORK, typing(IDC_ACCOUNT, "wang"));
  app_->run_command(ID_SETTING_NETWORK);
  EXPECT_EQ(script_.messages(), strings{"IMAP 帐号配置错误."});
  EXPECT_EQ(app_->settings().imap_account, "wang");
  EXPECT_EQ(app_->user_name(), "li");
  EXPECT_EQ(app_->settings().imap_host, "host");
}

TEST_F(StartUp, TheChineseDialogRefusesAPlatformAndCodeThatDoNotGoTogether) {
  start_in(strings{}, "HZOS=2\nComposeCC=CN-BIG5\n");
  script_
      .answer_dialog(IDD_CHINESE,
                     [](ui_dialog& d) {
                       d.set_checked(IDC_PLATFORM_GB, true);
                       d.set_checked(IDC_PLATFORM_BIG5, false);
                       return true;
                     })
      .answer_dialog(IDD_CHINESE,
                     [](ui_dialog& d) {
                       EXPECT_TRUE(d.checked(IDC_PLATFORM_GB)) << "shown again as chosen";
                       EXPECT_TRUE(d.checked(IDC_CODE_CN_BIG5));
                       d.set_checked(IDC_CODE_CN_GB, true);
                       return true;
                     })
      .answer_dialog(IDD_CHINESE, [](ui_dialog& d) {
        d.set_checked(IDC_PLATFORM_BIG5, true);
        return true;
      });
  app_->run_command(ID_SETTING_CHINESE);
  EXPECT_EQ(script_.messages(), strings{"非法的选择"});
  EXPECT_EQ(app_->settings().hzos, 1);
  EXPECT_EQ(app_->settings().compose_cc, "CN-GB");
  EXPECT_STREQ(app_->codec().charset(), "GB18030");
  // Both forms shown and CN-GB: refused; Cancel then keeps what was chosen.
  script_.press_cancel(IDD_CHINESE);
  app_->run_command(ID_SETTING_CHINESE);
  EXPECT_EQ(script_.messages(), (strings{"非法的选择", "非法的选择"}));
  EXPECT_EQ(app_->settings().hzos, 3);
  EXPECT_EQ(app_->settings().compose_cc, "CN-GB");
}

TEST_F(StartUp, AMailboxNamedOnTheCommandLineOpensInsteadOfIn) {
  std::string other = mailbox_file("Other.box", "OTHER", strings{"one", "two"});
  script_.press_ok(IDD_ENVIRONMENT).press_cancel(IDD_FETCH);
  ASSERT_TRUE(start({other}));
  ASSERT_NE(active_mailbox(), nullptr);
  EXPECT_EQ(active_mailbox()->path_name(), other);
  EXPECT_EQ(list_lines().size(), 2u);
  EXPECT_EQ(script_.messages(), strings{"IMAP 帐号配置错误."});
}

TEST_F(StartUp, UserMailboxesAreListedOnceInEachMenuWhenInIsNotOpened) {
  write_profile("[Folders]\n文件夹1=Work\n文件夹2=Home\n[Configuration]\nWorkDirectory=" +
                folder_.path() + "\n");
  mailbox_file("Work.box", "Work", strings{"w1"});
  script_.press_ok(IDD_ENVIRONMENT).answer(IDNO).press_cancel(IDD_FETCH);
  ASSERT_TRUE(start());
  EXPECT_EQ(frame_count(), 0);
  EXPECT_EQ(app_->frame()->menu_in_use()->resource(), IDR_MAINFRAME);
  EXPECT_EQ(mailbox_items(IDR_MAINFRAME), mailbox_menu({"Work", "Home"}));
  ASSERT_TRUE(app_->run_command(ID_USER_MAILBOX_FIRST));
  EXPECT_EQ(active_mailbox()->title(), "Work");
  EXPECT_EQ(app_->frame()->menu_in_use()->resource(), IDR_VELMARTYPE);
  EXPECT_EQ(mailbox_items(IDR_VELMARTYPE), mailbox_menu({"Work", "Home"}));
}

TEST_F(StartUp, ThePlatformCannotStartWithoutItsScratchFolder) {
  scratch_directory_remove();
  const char* old = getenv("TMPDIR");
  std::string saved = old ? old : "";
  setenv("TMPDIR", "/nonexistent/kestrel", 1);
  EXPECT_FALSE(start());
  if (old) {
    setenv("TMPDIR", saved.c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
  EXPECT_EQ(script_.shown(), strings{"message OLE 2.0 初始化失败，确认 OLE 库是否正确版本。 [ok]"});
  app_.reset();
}

TEST_F(StartUp, ThePathsDialogResetsTheFontFolderAndFontsFallBackToTheInstalledOnes) {
  start_in(strings{}, "WorkDirectory=C:\\MAIL\n");
  EXPECT_EQ(app_->font_directory(), "C:\\MAIL\\ccfont\\");
  script_.answer_dialog(IDD_PATHS, [](ui_dialog& d) {
    EXPECT_EQ(d.text(IDC_WORK_DIRECTORY), "C:\\MAIL");
    d.set_text(IDC_WORK_DIRECTORY, "D:\\LETTERS\\");
    return true;
  });
  app_->run_command(ID_SETTING_PATHS);
  EXPECT_EQ(app_->settings().work_directory, "D:\\LETTERS");
  EXPECT_EQ(app_->font_directory(), "D:\\LETTERS\\ccfont\\");
}

}  // namespace
