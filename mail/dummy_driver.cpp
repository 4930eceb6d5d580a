// The "dummy" driver: INBOX and empty files as empty mailboxes, appends that
// turn them into Dawz files, and the operations on mailbox names and the
// subscription list that the format drivers leave to it.

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "mail/cache.h"
#include "mail/local_drivers.h"
#include "mail/local_file.h"
#include "mail/mailbox_file.h"
#include "mail/mailbox_pattern.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/subscriptions.h"
#include "message/callbacks.h"
#include "platform/storage.h"

namespace {

std::optional<std::string>& mailbox_extension() {
  static std::optional<std::string> extension;
  return extension;
}

bool is_inbox(std::string_view name) {
  std::string upper(name);
  return text_upper(upper) == "INBOX";
}

void invalid_name(std::string_view name) {
  std::string shown(name);
  mail_log(LOG_ERROR, "Invalid mailbox name: %s", shown.c_str());
}

void name_failure(const char* action, std::string_view name) {
  std::string shown(name);
  mail_log(LOG_ERROR, "Can't %s mailbox %s: %s", action, shown.c_str(),
           local_error_text(errno).c_str());
}

mail_driver* dummy_valid(std::string_view name) {
  if (name.empty() || name.starts_with('*') || name.starts_with('{')) return nullptr;
  if (is_inbox(name)) return &dummy_driver;
  std::optional<std::string> path = local_host_file(name);
  struct stat st;
  return path && ::stat(path->c_str(), &st) == 0 ? &dummy_driver : nullptr;
}

void* dummy_parameters(long code, void* value) {
  std::optional<std::string>& extension = mailbox_extension();
  switch (code) {
    case SET_MAILBOX_EXTENSION:
      if (value && *static_cast<const char*>(value)) {
        extension = static_cast<const char*>(value);
      } else {
        extension.reset();
      }
      [[fallthrough]];
    case GET_MAILBOX_EXTENSION:
      return extension ? extension->data() : nullptr;
    default:
      return nullptr;
  }
}

void dummy_list(mail_stream*, std::string_view pattern) {
  subscription_state state;
  while (std::optional<std::string> name = subscription_next(state)) {
    if (name->starts_with('{') || *name == "INBOX") continue;
    if (mailbox_pattern_match(*name, pattern)) mail_callback().on_mailbox(*name);
  }
}

void dummy_list_nothing(mail_stream*, std::string_view) {}

bool dummy_subscribe(mail_stream*, std::string_view mailbox) {
  if (!mailbox_file(mailbox)) {
    invalid_name(mailbox);
    return false;
  }
  return subscription_add(mailbox);
}

bool dummy_unsubscribe(mail_stream*, std::string_view mailbox) {
  if (!mailbox_file(mailbox)) {
    invalid_name(mailbox);
    return false;
  }
  return subscription_remove(mailbox);
}

bool dummy_bboard_refused(mail_stream*, std::string_view) {
  return false;
}

bool dummy_create(mail_stream*, std::string_view mailbox) {
  std::optional<std::string> path = local_host_file(mailbox);
  if (!path) {
    invalid_name(mailbox);
    return false;
  }
  unique_fd file(::open(path->c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (!file.valid()) {
    std::string shown(mailbox);
    mail_log(LOG_ERROR, "Can't create mailbox %s: %s", shown.c_str(),
             local_error_text(errno).c_str());
    return false;
  }
  return true;
}

bool dummy_delete(mail_stream*, std::string_view mailbox) {
  std::optional<std::string> path = local_host_file(mailbox);
  if (!path) {
    invalid_name(mailbox);
    return false;
  }
  if (::unlink(path->c_str()) != 0) {
    name_failure("delete", mailbox);
    return false;
  }
  return true;
}

// A mailbox is never renamed over another one: the other would be lost.
bool dummy_rename(mail_stream*, std::string_view old_name, std::string_view new_name) {
  std::optional<std::string> old_path = local_host_file(old_name);
  if (!old_path) {
    invalid_name(old_name);
    return false;
  }
  std::optional<std::string> new_path = local_host_file(new_name);
  if (!new_path) {
    invalid_name(new_name);
    return false;
  }
  int result =
      ::renameat2(AT_FDCWD, old_path->c_str(), AT_FDCWD, new_path->c_str(), RENAME_NOREPLACE);
  if (result != 0 && errno == EINVAL) {
    // A file system without the no-replace rename: link and unlink instead.
    result = ::link(old_path->c_str(), new_path->c_str());
    if (result == 0) result = ::unlink(old_path->c_str());
  }
  if (result != 0) {
    name_failure("rename", old_name);
    return false;
  }
  return true;
}

mail_stream* dummy_open(mail_stream* stream) {
  if (!stream || stream->silent) return nullptr;
  std::string name = stream->mailbox.value_or("");
  if (!is_inbox(name)) {
    std::optional<std::string> path = local_host_file(name);
    unique_fd file(path ? ::open(path->c_str(), O_RDONLY | O_CLOEXEC) : -1);
    if (!file.valid()) {
      if (!path) errno = EINVAL;
      mail_log(LOG_ERROR, "%s: %s", name.c_str(), local_error_text(errno).c_str());
      return nullptr;
    }
    std::optional<std::uint64_t> size = local_file_size(file.get());
    if (!size || *size != 0) {
      mail_log(LOG_ERROR, "Not a mailbox: %s", name.c_str());
      return nullptr;
    }
  }
  mail_note_exists(stream, 0);
  mail_note_recent(stream, 0);
  return stream;
}

void dummy_close(mail_stream*) {}

// An empty mailbox has no messages to ask about.
void dummy_fetchfast(mail_stream*, std::string_view) {
  mail_fatal("Impossible dummy_fetchfast");
}
void dummy_fetchflags(mail_stream*, std::string_view) {
  mail_fatal("Impossible dummy_fetchflags");
}
mail_envelope* dummy_fetchstructure(mail_stream*, std::uint32_t, mail_body**) {
  mail_fatal("Impossible dummy_fetchstructure");
}
std::string_view dummy_fetchheader(mail_stream*, std::uint32_t) {
  mail_fatal("Impossible dummy_fetchheader");
}
std::string_view dummy_fetchtext(mail_stream*, std::uint32_t) {
  mail_fatal("Impossible dummy_fetchtext");
}
std::optional<std::string_view> dummy_fetchbody(mail_stream*, std::uint32_t, std::string_view) {
  mail_fatal("Impossible dummy_fetchbody");
}
void dummy_setflag(mail_stream*, std::string_view, std::string_view) {
  mail_fatal("Impossible dummy_setflag");
}
void dummy_clearflag(mail_stream*, std::string_view, std::string_view) {
  mail_fatal("Impossible dummy_clearflag");
}
bool dummy_copy(mail_stream*, std::string_view, std::string_view) {
  mail_fatal("Impossible dummy_copy");
}
bool dummy_move(mail_stream*, std::string_view, std::string_view) {
  mail_fatal("Impossible dummy_move");
}

void dummy_search(mail_stream*, std::string_view) {}

// Re-opens the stream through the driver that now recognises its file.
bool dummy_ping(mail_stream* stream) {
  std::string name = stream->mailbox.value_or("");
  mail_stream* prototype = mail_open(nullptr, name, OPEN_PROTOTYPE);
  if (!prototype) return false;
  if (prototype->driver == stream->driver) return true;
  // The caller holds the stream: a re-open that fails must close it, not free
  // it, and leave it the dummy driver's empty mailbox that a later ping retries.
  ++stream->use_count;
  mail_stream* reopened = mail_open(stream, name, 0);
  --stream->use_count;
  if (reopened) return true;
  stream->driver = &dummy_driver;
  stream->mailbox = name;
  return false;
}

void dummy_check(mail_stream* stream) {
  dummy_ping(stream);
}

void dummy_expunge(mail_stream*) {}

mail_stream* dawz_prototype() {
  return dawz_driver.open(nullptr);
}

bool dummy_append(mail_stream* stream, std::string_view mailbox,
                  std::optional<std::string_view> flags, std::optional<std::string_view> date,
                  text_source& message) {
  if (is_inbox(mailbox)) return dawz_driver.append(dawz_prototype(), mailbox, flags, date, message);
  std::string name(mailbox);
  std::optional<std::string> path = local_host_file(mailbox);
  if (!path) {
    invalid_name(mailbox);
    return false;
  }
  unique_fd file(::open(path->c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.valid()) {
    if (errno == ENOENT) {
      mail_callback().on_notify(stream, "[TRYCREATE] Must create mailbox before append", LOG_INFO);
    } else {
      mail_log(LOG_ERROR, "%s: %s", name.c_str(), local_error_text(errno).c_str());
    }
    return false;
  }
  std::optional<std::uint64_t> size = local_file_size(file.get());
  if (!size || *size != 0) {
    mail_log(LOG_ERROR, "Indeterminate mailbox format: %s", name.c_str());
    return false;
  }
  return dawz_driver.append(dawz_prototype(), mailbox, flags, date, message);
}

void dummy_release(mail_stream*, long) {}

}  // namespace

mail_driver dummy_driver = {
    "dummy",
    nullptr,
    dummy_valid,
    dummy_parameters,
    dummy_list,
    dummy_list_nothing,
    dummy_list_nothing,
    dummy_list_nothing,
    dummy_subscribe,
    dummy_unsubscribe,
    dummy_bboard_refused,
    dummy_bboard_refused,
    dummy_create,
    dummy_delete,
    dummy_rename,
    dummy_open,
    dummy_close,
    dummy_fetchfast,
    dummy_fetchflags,
    dummy_fetchstructure,
    dummy_fetchheader,
    dummy_fetchtext,
    dummy_fetchbody,
    dummy_setflag,
    dummy_clearflag,
    dummy_search,
    dummy_ping,
    dummy_check,
    dummy_expunge,
    dummy_copy,
    dummy_move,
    dummy_append,
    dummy_release,
};
