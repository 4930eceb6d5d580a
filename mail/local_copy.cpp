// Copying messages of a local mailbox file to another file of its format.

#include <cerrno>
#include <string>

#include "mail/cache.h"
#include "mail/local_format.h"
#include "mail/sequence.h"
#include "message/callbacks.h"
#include "platform/storage.h"

namespace {

constexpr std::size_t kPiece = 1 << 16;

bool is_inbox(std::string_view name) {
  std::string upper(name);
  return text_upper(upper) == "INBOX";
}

// Writes the message's first line and text, as they stand in the file.
bool copy_message(mail_stream* stream, local_file& file, std::uint32_t msgno,
                  local_appender& destination) {
  const mail_element& element = *mail_elt(stream, msgno);
  local_range text = local_text_range(stream, msgno);
  std::uint64_t position = element.data1;
  std::uint64_t end = text.start + text.length;
  // A separator line must start a line, or the message would run into the one before it.
  if (file.format->separator_lines && !destination.at_line_start() && !destination.write("\n")) {
    return false;
  }
  while (position < end) {
    std::string_view bytes = local_view(
        file, position, static_cast<std::size_t>(std::min<std::uint64_t>(end - position, kPiece)));
    if (bytes.empty()) {
      errno = EIO;
      return false;
    }
    if (!destination.write(bytes)) return false;
    position += bytes.size();
  }
  return true;
}

}  // namespace

bool local_destination_ok(const local_format& format, mail_stream* stream, std::string_view mailbox,
                          bool create_inbox) {
  std::string name(mailbox);
  switch (local_file_check(format, mailbox)) {
    case local_kind::format:
    case local_kind::empty:
      return true;
    case local_kind::missing:
      if (create_inbox && is_inbox(mailbox)) return true;
      mail_callback().on_notify(stream, "[TRYCREATE] Must create mailbox before append", LOG_INFO);
      return false;
    case local_kind::invalid_name:
      mail_log(LOG_ERROR, "Invalid mailbox name: %s", name.c_str());
      return false;
    case local_kind::other:
      break;
  }
  mail_log(LOG_ERROR, "Not a %s-format mailbox: %s", format.label, name.c_str());
  return false;
}

bool local_copy(mail_stream* stream, std::string_view sequence, std::string_view mailbox) {
  local_file* file = local_file_of(stream);
  if (!file || !mail_select_sequence(stream, sequence)) return false;
  if (!local_destination_ok(*file->format, stream, mailbox, false)) return false;
  local_appender destination;
  if (!destination.open(*local_host_file(mailbox))) {
    mail_log(LOG_ERROR, "Unable to open copy mailbox: %s", local_error_text(errno).c_str());
    return false;
  }
  mail_callback().on_critical_begin(stream);
  bool ok = true;
  for (std::uint32_t i = 1; ok && i <= stream->nmsgs; ++i) {
    if (mail_elt(stream, i)->sequence) ok = copy_message(stream, *file, i, destination);
  }
  ok = ok && destination.flush();
  if (!ok) {
    mail_log(LOG_ERROR, "Unable to write message: %s", local_error_text(errno).c_str());
    destination.roll_back();
  }
  mail_callback().on_critical_end(stream);
  return ok;
}

bool local_move(mail_stream* stream, std::string_view sequence, std::string_view mailbox) {
  if (!local_copy(stream, sequence, mailbox)) return false;
  std::optional<local_lock> lock;
  if (!local_flags_lock(stream, lock)) return false;
  for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
    mail_element& element = *mail_elt(stream, i);
    if (!element.sequence) continue;
    element.deleted = 1;
    local_flags_store(stream, element);
  }
  return true;
}
