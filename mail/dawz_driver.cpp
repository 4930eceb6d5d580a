// The "dawz" driver: Tenexdos with an internal header line ended by CR LF and
// messages stored and delivered exactly as they were given. New mailboxes
// are made in this format.

#include "mail/local_drivers.h"
#include "mail/tenex_family.h"

namespace {

bool recognises(int fd) {
  return tenex_recognises(fd, 2);
}

const local_format kDawz = {&dawz_driver, "Dawz", false, true, 2, false, recognises, tenex_parse};

mail_stream dawz_prototype = mail_prototype_stream(&dawz_driver);

mail_driver* dawz_valid(std::string_view name) {
  return local_file_check(kDawz, name) == local_kind::format ? &dawz_driver : nullptr;
}

// A missing INBOX is made when it is first opened.
mail_stream* dawz_open(mail_stream* stream) {
  if (!stream) return &dawz_prototype;
  return local_open(kDawz, stream, true);
}

bool dawz_append(mail_stream* stream, std::string_view mailbox,
                 std::optional<std::string_view> flags, std::optional<std::string_view> date,
                 text_source& message) {
  return tenex_append(kDawz, stream, mailbox, flags, date, message);
}

}  // namespace

mail_driver dawz_driver =
    local_driver("dawz", dawz_valid, dawz_open, local_fetch_nothing, tenex_expunge, dawz_append);
