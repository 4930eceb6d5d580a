#include "app/velmar_settings.h"

#include <gtest/gtest.h>

#include <variant>

namespace {

using strings = std::vector<std::string>;

// A key of the profile, the value stored under it, the member it is read
// into, and the member's value when it is not the stored text.
struct key_row {
  const char* section;
  const char* key;
  const char* value;
  std::variant<std::string velmar_settings::*, long velmar_settings::*> member;
  const char* read = nullptr;
};

const key_row kKeys[] = {
    {"Configuration", "IMAPAccount", "li@mail.pku.edu.cn", &velmar_settings::imap_account},
    {"Configuration", "RealName", "李明", &velmar_settings::real_name},
    {"Configuration", "ReturnAddress", "li@pku.edu.cn", &velmar_settings::return_address},
    {"Configuration", "SMTPServer", "smtp.pku.edu.cn", &velmar_settings::smtp_server},
    {"Configuration", "InPath", "/m/In.box", &velmar_settings::in_path},
    {"Configuration", "OutPath", "/m/Out.box", &velmar_settings::out_path},
    {"Configuration", "TrashPath", "/m/trash.box", &velmar_settings::trash_path},
    {"Configuration", "WorkDirectory", "/m", &velmar_settings::work_directory},
    {"Configuration", "CheckForMailEvery", "15", &velmar_settings::check_interval},
    {"Configuration", "NetLink", "2", &velmar_settings::net_link},
    {"Configuration", "ScreenFont", "Song", &velmar_settings::screen_font},
    {"Configuration", "HZOS", "3", &velmar_settings::hzos},
    {"Configuration", "ComposeCC", "ISO-2022-CN", &velmar_settings::compose_cc},
    {"Misc", "ExpungeServer", "1", &velmar_settings::expunge_server},
    {"Misc", "MainWindow", "10,20,800,600", &velmar_settings::main_window},
    {"Misc", "MainWindowMaximized", "0", &velmar_settings::main_window_maximized},
    {"Environment", "OperSystem", "Microsoft Windows NT", &velmar_settings::oper_system, "2"},
};

std::string member_text(velmar_settings& settings, const key_row& row) {
  if (auto text = std::get_if<std::string velmar_settings::*>(&row.member)) return settings.**text;
  return std::to_string(settings.*std::get<long velmar_settings::*>(row.member));
}

TEST(Settings, EveryKeyIsReadFromItsSectionAndWrittenBackThere) {
  profile_file profile;
  for (const key_row& row : kKeys)
    profile.set(row.section, row.key, row.value);
  velmar_settings settings;
  settings.read_configuration(profile);
  settings.read_environment(profile);
  settings.read_chinese(profile);
  settings.password = "secret";
  profile_file written;
  settings.write(written);
  EXPECT_EQ(written.text().find("secret"), std::string::npos) << "the password is never written";
  for (const key_row& row : kKeys) {
    EXPECT_EQ(member_text(settings, row), row.read ? row.read : row.value) << row.key;
    EXPECT_EQ(written.get(row.section, row.key), row.value);
  }
}

TEST(Settings, TheOperatingEnvironmentIsKeptAsTextAndNotWrittenOutOfRange) {
  EXPECT_EQ(oper_system_text(1), "Microsoft Windows 95");
  EXPECT_EQ(oper_system_value("Microsoft Windows 95"), 1);
  EXPECT_EQ(oper_system_text(3), "");
  EXPECT_EQ(oper_system_value("Linux"), 0);
  profile_file profile;
  velmar_settings settings;
  settings.oper_system = 7;
  settings.write(profile);
  EXPECT_EQ(profile.get("Environment", "OperSystem"), std::nullopt);
}

TEST(Settings, TheAccountSplitsAtItsFirstAtAndKeepsItsHalvesWithoutOne) {
  velmar_settings settings;
  for (auto [account, split, user, host] :
       {std::tuple{"li@mail.pku.edu.cn", true, "li", "mail.pku.edu.cn"},
        std::tuple{"wang", false, "li", "mail.pku.edu.cn"},
        std::tuple{"a@b@c", true, "a", "b@c"}}) {
    settings.imap_account = account;
    EXPECT_EQ(settings.split_account(), split) << account;
    EXPECT_EQ(settings.user_name, user) << account;
    EXPECT_EQ(settings.imap_host, host) << account;
  }
  EXPECT_EQ(settings.server_mailbox(), "{b@c}inbox");
  settings.return_address = "li@pku.edu.cn";
  EXPECT_EQ(settings.return_host(), "pku.edu.cn");
}

// Keys count up in their last byte; names are read up to the first empty key,
// and a name removed leaves no key behind at exit.
TEST(Settings, UserMailboxesAreReadUpToTheFirstEmptyKeyAndWrittenWithoutGaps) {
  EXPECT_EQ(folder_key(8), "文件夹9");
  EXPECT_EQ(folder_key(9), "文件夹:");
  EXPECT_EQ(folder_key(14), "文件夹?");
  profile_file profile;
  profile.set("Folders", folder_key(0), "Work");
  profile.set("Folders", "文件夹2", "家");
  profile.set("Folders", "文件夹3", "Club");
  profile.set("Folders", "文件夹5", "Lost");
  velmar_settings settings;
  settings.read_user_mailboxes(profile);
  EXPECT_EQ(settings.user_mailboxes, (strings{"Work", "家", "Club"}));
  EXPECT_EQ(settings.mailbox_count_at_start, 2);
  settings.user_mailboxes.erase(settings.user_mailboxes.begin() + 1);
  settings.write(profile);
  EXPECT_EQ(profile.get_string("Folders", "文件夹1"), "Work");
  EXPECT_EQ(profile.get_string("Folders", "文件夹2"), "Club");
  EXPECT_EQ(profile.get("Folders", "文件夹3"), std::nullopt);
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

TEST(Settings, OneTrailingSeparatorIsRemoved) {
  for (auto [path, cut] : {std::pair{"C:\\MAIL\\", "C:\\MAIL"},
                           {"/home/li/", "/home/li"},
                           {"/home//", "/home/"},
                           {"", ""}})
    EXPECT_EQ(without_trailing_separator(path), cut);
}

}  // namespace
