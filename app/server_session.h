#pragma once

#include <functional>
#include <string>
#include <vector>

#include "message/callbacks.h"

class CVelmarApp;

// What fetching and sending share while they talk to a server: the library's
// callbacks (the login as the account's user with the password held in
// memory; a login in clear asked about once, Yes kept in the profile; a
// silence as long as NetworkTimeout asked about; the library's warnings and
// errors kept to tell the user why something failed), the time-out and the
// certificate file (CAFile) of the settings. The callbacks before it come
// back when it goes.
class server_session {
 public:
  struct options {
    std::string host;               // named in the time-out question
    std::function<bool()> on_wait;  // the caller's own, while the network waits
    // With no password held yet, the login asks for one with the fetch
    // dialog; Cancel means no login.
    bool ask_password = false;
  };
  server_session(CVelmarApp& app, options given);
  ~server_session();
  server_session(const server_session&) = delete;
  server_session& operator=(const server_session&) = delete;

  const std::vector<std::string>& reports() const { return reports_; }
  // What the login callback was last given and answered.
  const std::string& login_host() const { return login_host_; }
  const std::string& login_user() const { return login_user_; }

 private:
  CVelmarApp& app_;
  mail_callbacks before_;
  std::vector<std::string> reports_;
  std::string login_host_;
  std::string login_user_;
};

// The fetch dialog: the password, held in memory, and whether fetched letters
// leave the server. False when the user cancels.
bool ask_password(CVelmarApp& app);

// The texts of a session.
inline constexpr const char* kStillWaiting = "服务器 %s 已经 %ld 秒没有回答，继续等待吗?";
inline constexpr const char* kPlainLogin =
    "服务器 %s 不支持加密连接，口令将以明文在网上传送。仍然登录吗?";
