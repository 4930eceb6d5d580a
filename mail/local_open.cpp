// Opening, pinging and closing a local mailbox file, for all three formats.

#include <fcntl.h>

#include <cerrno>

#include "mail/cache.h"
#include "mail/driver.h"
#include "mail/local_format.h"
#include "mail/mailbox_file.h"
#include "mail/parameters.h"
#include "message/callbacks.h"
#include "platform/file_names.h"
#include "platform/storage.h"

namespace {

bool is_inbox(std::string_view name) {
  std::string upper(name);
  return text_upper(upper) == "INBOX";
}

// The stream's name for the file: its DOS path, without the extension when
// one is configured (mailbox_file puts it back).
std::string canonical_name(const std::string& file) {
  if (!mail_parameters(nullptr, GET_MAILBOX_EXTENSION, nullptr)) return file;
  std::size_t separator = file.find_last_of("\\/");
  std::size_t dot = file.rfind('.');
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return file;
  return file.substr(0, dot);
}

}  // namespace

mail_stream* local_open(const local_format& format, mail_stream* stream, bool create_inbox) {
  if (stream->local) {
    stream->local.reset();
    stream->driver = format.driver;
    mail_free_cache(stream);
  } else {
    stream->flag_names.reset();
    for (mail_text& name : stream->user_flags)
      name.reset();
  }
  std::string name = stream->mailbox.value_or("");
  std::optional<std::string> file_name = mailbox_file(name);
  if (!file_name) {
    mail_log(LOG_ERROR, "Invalid mailbox name: %s", name.c_str());
    return nullptr;
  }
  std::string path = host_path(*file_name);
  auto file = std::make_unique<local_file>();
  file->format = &format;
  int mode = stream->readonly ? O_RDONLY : O_RDWR;
  file->fd.reset(::open(path.c_str(), mode | O_CLOEXEC));
  if (!file->fd.valid() && create_inbox && is_inbox(name)) {
    file->fd.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  }
  if (!file->fd.valid()) {
    mail_log(LOG_ERROR, "Can't open mailbox: %s", local_error_text(errno).c_str());
    return nullptr;
  }
  stream->local = std::move(file);
  stream->mailbox = canonical_name(*file_name);
  ++stream->close_sequence;
  stream->recent = 0;
  if (!format.parse(stream)) return nullptr;
  if (stream->nmsgs == 0) mail_log(LOG_INFO, "Mailbox is empty");
  return stream;
}

void local_close(mail_stream* stream) {
  stream->local.reset();
  stream->driver = nullptr;
}

bool local_ping(mail_stream* stream) {
  local_file* file = local_file_of(stream);
  return file && file->format->parse(stream);
}

void local_check(mail_stream* stream) {
  if (local_ping(stream)) mail_log(LOG_INFO, "Check completed");
}

void local_release(mail_stream*, long) {}

void* local_parameters(long, void*) {
  return nullptr;
}
