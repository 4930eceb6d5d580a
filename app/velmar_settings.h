#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_file.h"

// The settings of a run: read from the profile at start-up, changed by the
// dialogs and the mailbox commands, written back at exit. The IMAP password
// lives in memory only.
struct velmar_settings {
  std::string imap_account;  // user name, "@", IMAP host
  std::string user_name;     // the account's halves, split at its first "@"
  std::string imap_host;
  std::string smtp_server;
  std::string real_name;
  std::string return_address;
  std::string password;
  std::string out_path;
  std::string trash_path;
  std::string in_path;
  std::string work_directory;
  long net_link = 0;  // 0 7-bit, 1 8-bit, 2 network
  long expunge_server = 0;
  long network_timeout = 120;  // seconds a server may stay silent before the user is asked
  std::string ca_file;         // one more certificate or authority file to trust
  long allow_plain_login = 0;  // 1: the user agreed to passwords in clear where there is no TLS
  long check_interval = 10;    // minutes; kept and shown only
  std::string screen_font;
  long hzos = 0;  // Chinese platform: 0 none, 1 GB, 2 Big5, 3 both
  std::string compose_cc;
  long oper_system = 0;     // 0 Windows 3.x, 1 Windows 95, 2 Windows NT
  std::string main_window;  // "left,top,width,height" when the run ended
  long main_window_maximized = 1;
  std::vector<std::string> user_mailboxes;  // in menu order, at most kUserMailboxSlots
  int mailbox_count_at_start = -1;          // the last index read at start-up

  // The index of the last user mailbox, -1 when there is none.
  int last_mailbox_index() const { return static_cast<int>(user_mailboxes.size()) - 1; }

  // "{" + IMAP host + "}inbox".
  std::string server_mailbox() const;
  // The return address's text after its "@", empty when it has none.
  std::string return_host() const;
  // Splits the account at its first "@"; false (the halves kept) without one.
  bool split_account();

  // The Configuration keys read at start-up before the templates, and Misc.
  void read_configuration(const profile_file& profile);
  // The user mailboxes under Folders, up to the first empty key.
  void read_user_mailboxes(const profile_file& profile);
  // The operating environment.
  void read_environment(const profile_file& profile);
  // The Chinese platform and the interchange code.
  void read_chinese(const profile_file& profile);
  // Everything but the password, as the program writes it at exit.
  void write(profile_file& profile) const;
};

inline constexpr const char* kConfiguration = "Configuration";
inline constexpr const char* kMisc = "Misc";
inline constexpr const char* kFolders = "Folders";
inline constexpr const char* kEnvironment = "Environment";

// The Folders key of a user mailbox: "文件夹1" with its last byte counting up
// from "1" (the tenth key ends in ":").
std::string folder_key(int index);

// "Microsoft Windows 3.**", "... 95", "... NT" for 0, 1, 2; empty otherwise.
std::string_view oper_system_text(long value);
// The value of such a text; any other text is 0.
long oper_system_value(std::string_view text);

// One trailing "\" or "/" less.
std::string without_trailing_separator(std::string path);

// The account message shown when it has no "@".
inline constexpr const char* kAccountMessage = "IMAP 帐号配置错误.";
