// Any text as an internal date; a date that parses prints in both forms.

#include <cstdint>
#include <string_view>

#include "mail/dates.h"
#include "mail/element.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  mail_element element{};
  if (mail_parse_date(element, std::string_view(reinterpret_cast<const char*>(data), size))) {
    (void)mail_date(element);
    (void)mail_ctime_date(element);
  }
  return 0;
}
