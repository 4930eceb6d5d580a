// System flags of the messages of a local mailbox file.

#include <cerrno>
#include <optional>

#include "mail/cache.h"
#include "mail/flag_list.h"
#include "mail/internal_header.h"
#include "mail/local_format.h"
#include "mail/sequence.h"
#include "message/callbacks.h"

namespace {

void change_flags(mail_stream* stream, std::string_view sequence, std::string_view list, bool set) {
  local_file* file = local_file_of(stream);
  if (!file) return;
  unsigned flags = flag_list_parse(list);
  std::optional<local_lock> lock;
  if (!local_flags_lock(stream, lock) || !mail_select_sequence(stream, sequence)) return;
  for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
    mail_element& element = *mail_elt(stream, i);
    if (!element.sequence) continue;
    local_flags_apply(element, flags, set);
    local_flags_store(stream, element);
  }
}

}  // namespace

unsigned local_flag_value(const mail_element& element) {
  return element.seen * unsigned{FLAG_SEEN} | element.deleted * unsigned{FLAG_DELETED} |
         element.flagged * unsigned{FLAG_FLAGGED} | element.answered * unsigned{FLAG_ANSWERED};
}

void local_flags_apply(mail_element& element, unsigned flags, bool set) {
  if (flags & FLAG_SEEN) element.seen = set;
  if (flags & FLAG_DELETED) element.deleted = set;
  if (flags & FLAG_FLAGGED) element.flagged = set;
  if (flags & FLAG_ANSWERED) element.answered = set;
}

bool local_flags_lock(mail_stream* stream, std::optional<local_lock>& lock) {
  local_file* file = local_file_of(stream);
  if (!file) return false;
  if (!file->format->flags_in_file || stream->readonly) return true;
  // Flags are written in place: the file is looked at again under the lock,
  // so that what another program appended is known and not written blind.
  lock.emplace(file->fd.get());
  return lock->held() && file->format->parse(stream);
}

void local_flags_store(mail_stream* stream, mail_element& element) {
  local_file* file = local_file_of(stream);
  if (!file || !file->format->flags_in_file || stream->readonly) return;
  std::uint64_t position = std::uint64_t{element.data1} + local_line_length(stream, element) -
                           file->format->line_end_length - 12;
  std::string digits = internal_header_flag_digits(element.user_flags, local_flag_value(element));
  if (!local_write_at(*file, position, digits)) {
    mail_log(LOG_ERROR, "Unable to write flags: %s", local_error_text(errno).c_str());
  }
}

void local_setflag(mail_stream* stream, std::string_view sequence, std::string_view flags) {
  change_flags(stream, sequence, flags, true);
}

void local_clearflag(mail_stream* stream, std::string_view sequence, std::string_view flags) {
  change_flags(stream, sequence, flags, false);
}
