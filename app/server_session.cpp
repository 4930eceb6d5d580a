#include "app/server_session.h"

#include <cstdio>

#include "app/fetch_dialog.h"
#include "app/main_frame.h"
#include "app/velmar_app.h"
#include "mail/parameters.h"
#include "net/drivers.h"
#include "net/tcp.h"
#include "net/tls.h"
#include "ui/ui_asker.h"
#include "ui/ui_ids.h"

server_session::server_session(CVelmarApp& app, options given) : app_(app) {
  link_all_drivers();
  const velmar_settings& settings = app_.settings();
  for (long code : {SET_READ_TIMEOUT, SET_WRITE_TIMEOUT})
    mail_parameters(nullptr, code, reinterpret_cast<void*>(settings.network_timeout));
  tls_trust_file(settings.ca_file);

  mail_callbacks callbacks;
  callbacks.on_log = [this](std::string_view text, long level) {
    if (level == LOG_WARNING || level == LOG_ERROR) reports_.emplace_back(text);
  };
  callbacks.on_plain_login = [this](std::string_view host) {
    velmar_settings& held = app_.settings();
    if (held.allow_plain_login) return true;
    char question[512];
    std::snprintf(question, sizeof question, kPlainLogin, std::string(host).c_str());
    if (ui_message_box(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    held.allow_plain_login = 1;
    return true;
  };
  callbacks.on_login = [this, ask = given.ask_password](std::string_view host, std::string& user,
                                                        std::string& password, long) {
    login_host_ = host;
    login_user_.clear();
    if (ask && app_.settings().password.empty() && !ask_password(app_)) return;
    login_user_ = app_.settings().user_name;
    user = login_user_;
    password = app_.settings().password;
  };
  callbacks.on_wait = std::move(given.on_wait);
  callbacks.on_timeout = [this, host = std::move(given.host)](long seconds) {
    char question[512];
    std::snprintf(question, sizeof question, kStillWaiting, host.c_str(), seconds);
    return ui_message_box(question, MB_YESNO | MB_ICONQUESTION) == IDYES;
  };
  before_ = mail_set_callbacks(std::move(callbacks));
}

server_session::~server_session() {
  mail_set_callbacks(std::move(before_));
}

bool ask_password(CVelmarApp& app) {
  velmar_settings& settings = app.settings();
  CFetchDialog dialog(app.frame());
  dialog.account = settings.imap_account;
  dialog.password = settings.password;
  dialog.delete_on_server = settings.expunge_server != 0;
  if (dialog.run() != IDOK) return false;
  settings.password = dialog.password;
  settings.expunge_server = dialog.delete_on_server ? 1 : 0;
  return true;
}
