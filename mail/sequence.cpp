#include "mail/sequence.h"

#include <algorithm>
#include <cstdint>

#include "mail/cache.h"
#include "mail/stream.h"
#include "message/callbacks.h"

namespace {

// A decimal number at the front of the text; 0 when there are no digits, and
// saturated far above any message count.
std::uint64_t read_number(std::string_view& text) {
  std::uint64_t number = 0;
  while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
    number = std::min<std::uint64_t>(number * 10 + (text.front() - '0'), UINT64_C(1) << 40);
    text.remove_prefix(1);
  }
  return number;
}

}  // namespace

bool mail_select_sequence(mail_stream* stream, std::string_view sequence) {
  for (std::uint32_t i = 1; i <= stream->nmsgs; ++i)
    mail_elt(stream, i)->sequence = 0;
  while (!sequence.empty()) {
    std::uint64_t first = read_number(sequence);
    if (first < 1 || first > stream->nmsgs) {
      mail_log(LOG_ERROR, "Sequence invalid");
      return false;
    }
    std::uint64_t last = first;
    if (!sequence.empty()) {
      switch (sequence.front()) {
        case ',':
          sequence.remove_prefix(1);
          break;
        case ':':
          sequence.remove_prefix(1);
          last = read_number(sequence);
          if (last < 1 || last > stream->nmsgs || (!sequence.empty() && sequence.front() != ',')) {
            mail_log(LOG_ERROR, "Sequence range invalid");
            return false;
          }
          if (!sequence.empty()) sequence.remove_prefix(1);
          break;
        default:
          mail_log(LOG_ERROR, "Syntax error in sequence");
          return false;
      }
    }
    for (std::uint64_t i = std::max(first, last); i >= std::min(first, last); --i) {
      mail_elt(stream, static_cast<std::uint32_t>(i))->sequence = 1;
    }
  }
  return true;
}
