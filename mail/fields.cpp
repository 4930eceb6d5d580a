#include "mail/fields.h"

#include <algorithm>

#include "mail/fetch.h"
#include "message/records.h"

std::string mail_from_field(mail_stream* stream, std::uint32_t msgno, std::size_t width) {
  std::string field;
  mail_envelope* envelope = mail_fetchstructure(stream, msgno, nullptr);
  const mail_address* address = envelope ? envelope->from.get() : nullptr;
  while (address && !address->host)
    address = address->next.get();
  if (address) {
    field = address->personal ? *address->personal
                              : address->mailbox.value_or("") + "@" + *address->host;
  }
  field.resize(width, ' ');
  return field;
}

std::string mail_subject_field(mail_stream* stream, std::uint32_t msgno, std::size_t width) {
  mail_envelope* envelope = mail_fetchstructure(stream, msgno, nullptr);
  if (!envelope || !envelope->subject) return " ";
  const std::string& subject = *envelope->subject;
  // The field is a C text: it ends at the first zero byte.
  return subject.substr(0, std::min(width, subject.find('\0')));
}
