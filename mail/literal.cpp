#include "mail/literal.h"

#include <algorithm>

#include "message/callbacks.h"

std::string mail_read_literal(literal_read_fn reader, void* source, std::uint32_t size) {
  std::uint32_t kept = std::min(size, kLiteralLimit);
  if (size > kLiteralLimit) {
    mail_log(LOG_WARNING, "%ld character literal truncated to %ld characters",
             static_cast<long>(size), static_cast<long>(kLiteralLimit));
  }
  std::string text(kept, '\0');
  reader(source, kept, text.data());
  char discard[1024];
  for (std::uint32_t rest = size - kept; rest > 0;) {
    std::uint32_t piece = std::min<std::uint32_t>(rest, sizeof discard);
    reader(source, piece, discard);
    rest -= piece;
  }
  return text;
}
