// The "tenexdos" driver: an internal header line ended by LF before each
// message, messages stored without CR bytes and delivered with CR LF.

#include "mail/cache.h"
#include "mail/local_drivers.h"
#include "mail/sequence.h"
#include "mail/tenex_family.h"

namespace {

bool recognises(int fd) {
  return tenex_recognises(fd, 1);
}

const local_format kTenexdos = {&tenexdos_driver, "Tenexdos", true, true, 1, false,
                                recognises,       tenex_parse};

mail_stream tenexdos_prototype = mail_prototype_stream(&tenexdos_driver);

mail_driver* tenexdos_valid(std::string_view name) {
  return local_file_check(kTenexdos, name) == local_kind::format ? &tenexdos_driver : nullptr;
}

mail_stream* tenexdos_open(mail_stream* stream) {
  if (!stream) return &tenexdos_prototype;
  return local_open(kTenexdos, stream, false);
}

// The sizes with CR LF line ends are counted only when asked for.
void tenexdos_fetchfast(mail_stream* stream, std::string_view sequence) {
  if (!local_file_of(stream) || !mail_select_sequence(stream, sequence)) return;
  for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
    if (mail_elt(stream, i)->sequence) local_rfc822_size(stream, i);
  }
}

bool tenexdos_append(mail_stream* stream, std::string_view mailbox,
                     std::optional<std::string_view> flags, std::optional<std::string_view> date,
                     text_source& message) {
  return tenex_append(kTenexdos, stream, mailbox, flags, date, message);
}

}  // namespace

mail_driver tenexdos_driver = local_driver("tenexdos", tenexdos_valid, tenexdos_open,
                                           tenexdos_fetchfast, tenex_expunge, tenexdos_append);
