#include "app/velmar_settings.h"

#include <gtest/gtest.h>

namespace {

using strings = std::vector<std::string>;

TEST(Settings, AnEmptyProfileGivesTheDefaults) {
  profile_file profile;
  velmar_settings settings;
  settings.read_configuration(profile);
  settings.read_user_mailboxes(profile);
  settings.read_environment(profile);
  settings.read_chinese(profile);
  EXPECT_EQ(settings.imap_account, "");
  EXPECT_EQ(settings.in_path, "");
  EXPECT_EQ(settings.work_directory, "");
  EXPECT_EQ(settings.check_interval, 10);
  EXPECT_EQ(settings.net_link, 0);
  EXPECT_EQ(settings.expunge_server, 0);
  EXPECT_EQ(settings.hzos, 0);
  EXPECT_EQ(settings.oper_system, 0);
  EXPECT_TRUE(settings.user_mailboxes.empty());
  EXPECT_EQ(settings.last_mailbox_index(), -1);
  EXPECT_EQ(settings.mailbox_count_at_start, -1);
}

TEST(Settings, EveryKeyIsReadFromItsSection) {
  profile_file profile;
  profile.set("Configuration", "IMAPAccount", "li@mail.pku.edu.cn");
  profile.set("Configuration", "RealName", "Li Ming");
  profile.set("Configuration", "ReturnAddress", "li@pku.edu.cn");
  profile.set("Configuration", "SMTPServer", "smtp.pku.edu.cn");
  profile.set("Configuration", "InPath", "/m/In.box");
  profile.set("Configuration", "OutPath", "/m/Out.box");
  profile.set("Configuration", "TrashPath", "/m/trash.box");
  profile.set("Configuration", "WorkDirectory", "/m");
  profile.set("Configuration", "CheckForMailEvery", "15");
  profile.set("Configuration", "NetLink", "1");
  profile.set("Configuration", "ScreenFont", "Song");
  profile.set("Configuration", "HZOS", "3");
  profile.set("Configuration", "ComposeCC", "ISO-2022-CN");
  profile.set("Misc", "ExpungeServer", "1");
  profile.set("Environment", "OperSystem", "Microsoft Windows NT");
  velmar_settings settings;
  settings.read_configuration(profile);
  settings.read_environment(profile);
  settings.read_chinese(profile);
  EXPECT_EQ(settings.real_name, "Li Ming");
  EXPECT_EQ(settings.smtp_server, "smtp.pku.edu.cn");
  EXPECT_EQ(settings.trash_path, "/m/trash.box");
  EXPECT_EQ(settings.check_interval, 15);
  EXPECT_EQ(settings.net_link, 1);
  EXPECT_EQ(settings.screen_font, "Song");
  EXPECT_EQ(settings.hzos, 3);
  EXPECT_EQ(settings.compose_cc, "ISO-2022-CN");
  EXPECT_EQ(settings.expunge_server, 1);
  EXPECT_EQ(settings.oper_system, 2);
  EXPECT_EQ(settings.return_host(), "pku.edu.cn");
}

TEST(Settings, TheAccountSplitsAtItsFirstAt) {
  velmar_settings settings;
  settings.imap_account = "li@mail.pku.edu.cn";
  ASSERT_TRUE(settings.split_account());
  EXPECT_EQ(settings.user_name, "li");
  EXPECT_EQ(settings.imap_host, "mail.pku.edu.cn");
  EXPECT_EQ(settings.server_mailbox(), "{mail.pku.edu.cn}inbox");
  settings.imap_account = "wang";
  EXPECT_FALSE(settings.split_account());
  EXPECT_EQ(settings.user_name, "li") << "the halves keep their old values";
  EXPECT_EQ(settings.imap_host, "mail.pku.edu.cn");
  settings.imap_account = "a@b@c";
  ASSERT_TRUE(settings.split_account());
  EXPECT_EQ(settings.user_name, "a");
  EXPECT_EQ(settings.imap_host, "b@c");
}

TEST(Settings, FolderKeysCountUpInTheirLastByte) {
  EXPECT_EQ(folder_key(0), "文件夹1");
  EXPECT_EQ(folder_key(8), "文件夹9");
  EXPECT_EQ(folder_key(9), "文件夹:");
  EXPECT_EQ(folder_key(14), "文件夹?");
}

TEST(Settings, UserMailboxesAreReadUpToTheFirstEmptyKey) {
  profile_file profile;
  profile.set("Folders", "文件夹1", "Work");
  profile.set("Folders", "文件夹2", "Home");
  profile.set("Folders", "文件夹4", "Lost");
  velmar_settings settings;
  settings.read_user_mailboxes(profile);
  EXPECT_EQ(settings.user_mailboxes, (strings{"Work", "Home"}));
  EXPECT_EQ(settings.mailbox_count_at_start, 1);
}

TEST(Settings, NoMoreUserMailboxesAreReadThanTheMenuHasIds) {
  profile_file profile;
  for (int i = 0; i < 20; ++i)
    profile.set("Folders", folder_key(i), "box" + std::to_string(i));
  velmar_settings settings;
  settings.read_user_mailboxes(profile);
  EXPECT_EQ(settings.user_mailboxes.size(), 15u);
  settings.user_mailboxes.erase(settings.user_mailboxes.begin());
  settings.write(profile);
  EXPECT_EQ(profile.get_string("Folders", folder_key(13)), "box14");
  EXPECT_EQ(profile.get("Folders", folder_key(14)), std::nullopt);
  EXPECT_EQ(profile.get_string("Folders", folder_key(15)), "box15")
      << "names beyond the table stay where they are";
}

TEST(Settings, RemovedMailboxesLeaveNoKeysAtExit) {
  profile_file profile;
  profile.set("Folders", "文件夹1", "Work");
  profile.set("Folders", "文件夹2", "Home");
  profile.set("Folders", "文件夹3", "Club");
  velmar_settings settings;
  settings.read_user_mailboxes(profile);
  settings.user_mailboxes.erase(settings.user_mailboxes.begin() + 1);
  settings.write(profile);
  EXPECT_EQ(profile.get_string("Folders", "文件夹1"), "Work");
  EXPECT_EQ(profile.get_string("Folders", "文件夹2"), "Club");
  EXPECT_EQ(profile.get("Folders", "文件夹3"), std::nullopt);
}

TEST(Settings, ThePasswordIsNeverWritten) {
  profile_file profile;
  velmar_settings settings;
  settings.password = "secret";
  settings.imap_account = "li@host";
  settings.write(profile);
  EXPECT_EQ(profile.text().find("secret"), std::string::npos);
  EXPECT_NE(profile.text().find("IMAPAccount=li@host"), std::string::npos);
}

TEST(Settings, TheOperatingEnvironmentIsWrittenAsText) {
  EXPECT_EQ(oper_system_text(0), "Microsoft Windows 3.**");
  EXPECT_EQ(oper_system_text(1), "Microsoft Windows 95");
  EXPECT_EQ(oper_system_text(2), "Microsoft Windows NT");
  EXPECT_EQ(oper_system_text(3), "");
  EXPECT_EQ(oper_system_value("Microsoft Windows 95"), 1);
  EXPECT_EQ(oper_system_value("Linux"), 0);
  profile_file profile;
  velmar_settings settings;
  settings.oper_system = 7;
  settings.write(profile);
  EXPECT_EQ(profile.get("Environment", "OperSystem"), std::nullopt);
  settings.oper_system = 1;
  settings.write(profile);
  EXPECT_EQ(profile.get_string("Environment", "OperSystem"), "Microsoft Windows 95");
}

TEST(Settings, SettingsWrittenAtExitReadBackTheSame) {
  velmar_settings before;
  before.imap_account = "li@mail.pku.edu.cn";
  before.real_name = "李明";
  before.return_address = "li@pku.edu.cn";
  before.smtp_server = "smtp.pku.edu.cn";
  before.in_path = "/m/In.box";
  before.out_path = "/m/Out.box";
  before.trash_path = "/m/trash.box";
  before.work_directory = "/m";
  before.net_link = 2;
  before.check_interval = 30;
  before.screen_font = "Fixed";
  before.hzos = 2;
  before.compose_cc = "CN-BIG5";
  before.expunge_server = 1;
  before.oper_system = 2;
  before.user_mailboxes = {"Work", "家"};
  profile_file profile;
  before.write(profile);
  velmar_settings after;
  after.read_configuration(profile);
  after.read_user_mailboxes(profile);
  after.read_environment(profile);
  after.read_chinese(profile);
  EXPECT_EQ(after.imap_account, before.imap_account);
  EXPECT_EQ(after.real_name, before.real_name);
  EXPECT_EQ(after.return_address, before.return_address);
  EXPECT_EQ(after.smtp_server, before.smtp_server);
  EXPECT_EQ(after.in_path, before.in_path);
  EXPECT_EQ(after.out_path, before.out_path);
  EXPECT_EQ(after.trash_path, before.trash_path);
  EXPECT_EQ(after.work_directory, before.work_directory);
  EXPECT_EQ(after.net_link, 2);
  EXPECT_EQ(after.check_interval, 30);
  EXPECT_EQ(after.screen_font, "Fixed");
  EXPECT_EQ(after.hzos, 2);
  EXPECT_EQ(after.compose_cc, "CN-BIG5");
  EXPECT_EQ(after.expunge_server, 1);
  EXPECT_EQ(after.oper_system, 2);
  EXPECT_EQ(after.user_mailboxes, before.user_mailboxes);
}

TEST(Settings, OneTrailingSeparatorIsRemoved) {
  EXPECT_EQ(without_trailing_separator("C:\\MAIL\\"), "C:\\MAIL");
  EXPECT_EQ(without_trailing_separator("/home/li/mail/"), "/home/li/mail");
  EXPECT_EQ(without_trailing_separator("/home//"), "/home/");
  EXPECT_EQ(without_trailing_separator(""), "");
}

}  // namespace
