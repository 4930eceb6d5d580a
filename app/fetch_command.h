#pragma once

#include <string>

#include "message/callbacks.h"

class CVelmarApp;
class CVelmarDoc;
class ui_progress;

// Fetching mail: the fetch dialog, then every letter of the server's inbox
// copied to the end of the In mailbox. The In mailbox is saved before any
// letter leaves the server, so no letter exists only in memory.
class fetch_command {
 public:
  explicit fetch_command(CVelmarApp& app) : app_(app) {}

  // The dialog; on OK the password and the delete-on-server flag are taken
  // and the fetch runs. False when the user cancels or the fetch fails.
  bool run();
  // The fetch itself; false when the server mailbox cannot be opened (or the
  // In mailbox cannot be had).
  bool fetch();

  // What the login callback was last given and answered.
  const std::string& login_host() const { return login_host_; }
  const std::string& login_user() const { return login_user_; }

 private:
  // The login, and while the network waits: the progress window's Cancel and
  // the question after a silence as long as the time-out. Returns the table
  // it replaced.
  mail_callbacks install_callbacks(ui_progress& progress);
  // Saves In with its new letters; false after telling the user why.
  bool save_in(CVelmarDoc& in);

  CVelmarApp& app_;
  std::string login_host_;
  std::string login_user_;
};

// The texts of a fetch.
inline constexpr const char* kLoginFailed = "登录失败";
inline constexpr const char* kFetchedCount = "取到 %d 个邮件.";
inline constexpr const char* kTooLarge = "邮件太大：%dKB，跳过此邮件(留在服务器)吗？";
inline constexpr const char* kInNotSaved = "不能保存 In 邮箱，服务器上的邮件没有删除。";
inline constexpr const char* kStillWaiting = "服务器 %s 已经 %ld 秒没有回答，继续等待吗?";
inline constexpr const char* kLeftOnServer = "与服务器的连接已断开，取到的邮件仍留在服务器上。";
