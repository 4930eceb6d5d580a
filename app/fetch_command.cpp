#include "app/fetch_command.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "app/fetch_dialog.h"
#include "app/mailbox_commands.h"
#include "app/main_frame.h"
#include "app/velmar_app.h"
#include "app/velmar_doc.h"
#include "mail/open_close.h"
#include "mail/stream.h"
#include "message/callbacks.h"
#include "model/fetch_letters.h"
#include "net/drivers.h"
#include "platform/host_name.h"
#include "ui/ui_asker.h"
#include "ui/ui_ids.h"
#include "ui/ui_wait_cursor.h"

namespace {

std::string formatted(const char* format, long long value) {
  char text[256];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string progress_text(std::uint32_t n, std::uint32_t count, std::uint64_t bytes) {
  return std::to_string(n > count ? count : n) + " / " + std::to_string(count) + " 个邮件, " +
         std::to_string(bytes / 1024) + " KB";
}

struct stream_closer {
  void operator()(mail_stream* stream) const { mail_close(stream); }
};

}  // namespace

bool fetch_command::run() {
  velmar_settings& settings = app_.settings();
  CFetchDialog dialog(app_.frame());
  dialog.account = settings.imap_account;
  dialog.password = settings.password;
  dialog.delete_on_server = settings.expunge_server != 0;
  if (dialog.run() != IDOK) return false;
  settings.password = dialog.password;
  settings.expunge_server = dialog.delete_on_server ? 1 : 0;
  return fetch();
}

void fetch_command::install_callbacks() {
  // Library reports are not shown; only the login is answered.
  mail_callbacks callbacks;
  callbacks.on_login = [this](std::string_view host, std::string& user, std::string& password,
                              long) {
    login_host_ = host;
    login_user_ = app_.settings().user_name;
    user = login_user_;
    password = app_.settings().password;
  };
  mail_set_callbacks(std::move(callbacks));
}

bool fetch_command::fetch() {
  velmar_settings& settings = app_.settings();
  // Letters need a mailbox to go to before any is taken.
  CVelmarDoc* in = app_.mailboxes().open_in();
  if (!in) return false;

  auto busy = std::make_optional<ui_wait_cursor>();
  std::unique_ptr<ui_progress> progress = ui_ask().progress("取邮件");
  progress->show_text("连接 " + settings.imap_host + " ...");
  local_host_name();
  link_all_drivers();
  install_callbacks();
  std::unique_ptr<mail_stream, stream_closer> stream(
      mail_open(nullptr, settings.server_mailbox(), 0));
  if (!stream) {
    progress.reset();
    busy.reset();
    ui_message_box(kLoginFailed, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }

  fetch_questions questions;
  questions.take_large = [](std::uint32_t, std::uint32_t size) {
    std::string question = formatted(kTooLarge, size / 1024);
    return ui_message_box(question, MB_YESNO | MB_ICONQUESTION) == IDNO;
  };
  questions.go_on = [&progress](std::uint32_t n, std::uint32_t count, std::uint64_t bytes) {
    progress->show_text(progress_text(n, count, bytes));
    return !progress->cancelled();
  };
  fetch_outcome outcome = fetch_letters(stream.get(), questions);

  const std::size_t taken = outcome.taken.size();
  for (auto& letter : outcome.letters)
    in->append_letter(std::move(letter));
  if (taken > 0) in->set_modified();
  // Letters leave the server only once they are on the disk.
  if (taken == 0 || save_in(*in)) {
    fetch_expunge(stream.get(),
                  settings.expunge_server ? outcome.taken : std::vector<std::uint32_t>{});
  }
  stream.reset();
  progress.reset();
  busy.reset();
  app_.open_document_file(in->path_name(), false);
  in->update_all_views(nullptr);
  ui_message_box(formatted(kFetchedCount, static_cast<long long>(taken)),
                 MB_OK | MB_ICONINFORMATION);
  return true;
}

bool fetch_command::save_in(CVelmarDoc& in) {
  std::string reason;
  if (in.on_save_document(in.path_name(), reason)) {
    in.set_modified(false);
    return true;
  }
  ui_message_box(std::string(kInNotSaved) + "\n" + reason, MB_OK | MB_ICONEXCLAMATION);
  return false;
}
