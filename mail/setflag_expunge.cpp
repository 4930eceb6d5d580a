#include "mail/setflag_expunge.h"

#include "mail/driver.h"
#include "mail/stream.h"

void mail_setflag(mail_stream* stream, std::string_view sequence, std::string_view flags) {
  if (stream->driver) stream->driver->setflag(stream, sequence, flags);
}

void mail_expunge(mail_stream* stream) {
  if (stream->driver) stream->driver->expunge(stream);
}
