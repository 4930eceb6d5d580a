#include "app/velmar_settings.h"

#include "app/resource_ids.h"

namespace {

constexpr std::string_view kOperSystems[] = {"Microsoft Windows 3.**", "Microsoft Windows 95",
                                             "Microsoft Windows NT"};

}  // namespace

std::string folder_key(int index) {
  std::string key = "文件夹1";
  key.back() = static_cast<char>(key.back() + index);
  return key;
}

std::string_view oper_system_text(long value) {
  return value >= 0 && value < 3 ? kOperSystems[value] : std::string_view();
}

long oper_system_value(std::string_view text) {
  for (long value = 0; value < 3; ++value)
    if (text == kOperSystems[value]) return value;
  return 0;
}

std::string without_trailing_separator(std::string path) {
  if (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

std::string velmar_settings::server_mailbox() const {
  return "{" + imap_host + "}inbox";
}

std::string velmar_settings::return_host() const {
  std::size_t at = return_address.find('@');
  return at == std::string::npos ? std::string() : return_address.substr(at + 1);
}

bool velmar_settings::split_account() {
  std::size_t at = imap_account.find('@');
  if (at == std::string::npos) return false;
  user_name = imap_account.substr(0, at);
  imap_host = imap_account.substr(at + 1);
  return true;
}

void velmar_settings::read_configuration(const profile_file& profile) {
  imap_account = profile.get_string(kConfiguration, "IMAPAccount");
  real_name = profile.get_string(kConfiguration, "RealName");
  return_address = profile.get_string(kConfiguration, "ReturnAddress");
  smtp_server = profile.get_string(kConfiguration, "SMTPServer");
  in_path = profile.get_string(kConfiguration, "InPath");
  out_path = profile.get_string(kConfiguration, "OutPath");
  trash_path = profile.get_string(kConfiguration, "TrashPath");
  work_directory = profile.get_string(kConfiguration, "WorkDirectory");
  check_interval = profile.get_int(kConfiguration, "CheckForMailEvery", 10);
  net_link = profile.get_int(kConfiguration, "NetLink", 0);
  screen_font = profile.get_string(kConfiguration, "ScreenFont");
  main_window = profile.get_string(kMisc, "MainWindow");
  main_window_maximized = profile.get_int(kMisc, "MainWindowMaximized", 1);
  expunge_server = profile.get_int(kMisc, "ExpungeServer", 0);
  network_timeout = profile.get_int(kMisc, "NetworkTimeout", 120);
  if (network_timeout < 1) network_timeout = 120;
  ca_file = profile.get_string(kMisc, "CAFile");
  allow_plain_login = profile.get_int(kMisc, "AllowPlainLogin", 0) == 1 ? 1 : 0;
}

void velmar_settings::read_user_mailboxes(const profile_file& profile) {
  user_mailboxes.clear();
  // More names than the menu has ids for are left in the profile, unread.
  for (int index = 0; index < kUserMailboxSlots; ++index) {
    std::string name = profile.get_string(kFolders, folder_key(index));
    if (name.empty()) break;
    user_mailboxes.push_back(name);
  }
  mailbox_count_at_start = last_mailbox_index();
}

void velmar_settings::read_environment(const profile_file& profile) {
  oper_system = oper_system_value(profile.get_string(kEnvironment, "OperSystem"));
}

void velmar_settings::read_chinese(const profile_file& profile) {
  hzos = profile.get_int(kConfiguration, "HZOS", 0);
  compose_cc = profile.get_string(kConfiguration, "ComposeCC");
}

void velmar_settings::write(profile_file& profile) const {
  for (std::size_t index = 0; index < user_mailboxes.size(); ++index)
    profile.set(kFolders, folder_key(static_cast<int>(index)), user_mailboxes[index]);
  for (int index = static_cast<int>(user_mailboxes.size()); index <= mailbox_count_at_start;
       ++index)
    profile.remove(kFolders, folder_key(index));
  profile.set(kConfiguration, "IMAPAccount", imap_account);
  profile.set(kConfiguration, "RealName", real_name);
  profile.set(kConfiguration, "ReturnAddress", return_address);
  profile.set(kConfiguration, "SMTPServer", smtp_server);
  profile.set(kConfiguration, "InPath", in_path);
  profile.set(kConfiguration, "OutPath", out_path);
  profile.set(kConfiguration, "TrashPath", trash_path);
  profile.set(kConfiguration, "WorkDirectory", work_directory);
  profile.set_int(kConfiguration, "NetLink", net_link);
  profile.set_int(kConfiguration, "CheckForMailEvery", check_interval);
  profile.set(kConfiguration, "ScreenFont", screen_font);
  profile.set_int(kConfiguration, "HZOS", hzos);
  profile.set(kConfiguration, "ComposeCC", compose_cc);
  if (!main_window.empty()) profile.set(kMisc, "MainWindow", main_window);
  profile.set_int(kMisc, "MainWindowMaximized", main_window_maximized);
  profile.set_int(kMisc, "ExpungeServer", expunge_server);
  profile.set_int(kMisc, "NetworkTimeout", network_timeout);
  profile.set(kMisc, "CAFile", ca_file);
  profile.set_int(kMisc, "AllowPlainLogin", allow_plain_login);
  if (std::string_view text = oper_system_text(oper_system); !text.empty())
    profile.set(kEnvironment, "OperSystem", text);
}
