#include "app/fetch_command.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include "app/fetch_dialog.h"
#include "app/mailbox_commands.h"
#include "app/main_frame.h"
#include "app/velmar_app.h"
#include "app/velmar_doc.h"
#include "mail/driver.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/stream.h"
#include "message/callbacks.h"
#include "model/fetch_letters.h"
#include "net/drivers.h"
#include "net/tcp.h"
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

constexpr auto kCancelGrace = std::chrono::milliseconds(750);

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

mail_callbacks fetch_command::install_callbacks(ui_progress& progress) {
  // Library reports are not shown; the login is answered, and the waits on
  // the network listen to the user.
  mail_callbacks callbacks;
  callbacks.on_login = [this](std::string_view host, std::string& user, std::string& password,
                              long) {
    login_host_ = host;
    login_user_ = app_.settings().user_name;
    user = login_user_;
    password = app_.settings().password;
  };
  // Cancel lets the letter under way arrive when it comes at once; a server
  // that keeps silent is left, so the window answers within a second.
  auto cancelled_at = std::make_shared<std::optional<std::chrono::steady_clock::time_point>>();
  callbacks.on_wait = [&progress, cancelled_at] {
    if (!progress.cancelled()) return true;
    const auto now = std::chrono::steady_clock::now();
    if (!*cancelled_at) *cancelled_at = now;
    return now - **cancelled_at < kCancelGrace;
  };
  callbacks.on_timeout = [this](long seconds) {
    char question[512];
    std::snprintf(question, sizeof question, kStillWaiting, app_.settings().imap_host.c_str(),
                  seconds);
    return ui_message_box(question, MB_YESNO | MB_ICONQUESTION) == IDYES;
  };
  return mail_set_callbacks(std::move(callbacks));
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
  // The callbacks hold the progress window: they leave with the fetch, so a
  // letter sent afterwards does not wait on a window that is gone.
  struct callbacks_restored {
    mail_callbacks before;
    ~callbacks_restored() { mail_set_callbacks(std::move(before)); }
  } restored{install_callbacks(*progress)};
  for (long code : {SET_READ_TIMEOUT, SET_WRITE_TIMEOUT})
    mail_parameters(nullptr, code, reinterpret_cast<void*>(settings.network_timeout));
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
    if (progress->cancelled()) return false;
    progress->show_text(progress_text(n, count, bytes));
    return true;
  };
  fetch_outcome outcome = fetch_letters(stream.get(), questions);

  const std::size_t taken = outcome.taken.size();
  for (auto& letter : outcome.letters)
    in->append_letter(std::move(letter));
  if (taken > 0) in->set_modified();
  // Letters leave the server only once they are on the disk.
  bool left_on_server = false;
  if (taken == 0 || save_in(*in)) {
    const bool remove = settings.expunge_server && taken > 0;
    if (remove && !(stream->driver && stream->driver->ping(stream.get()))) {
      left_on_server = true;
    } else {
      fetch_expunge(stream.get(), remove ? outcome.taken : std::vector<std::uint32_t>{});
    }
  }
  stream.reset();
  progress.reset();
  busy.reset();
  app_.open_document_file(in->path_name(), false);
  in->update_all_views(nullptr);
  if (left_on_server) ui_message_box(kLeftOnServer, MB_OK | MB_ICONEXCLAMATION);
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
