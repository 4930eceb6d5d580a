#include "chinese/byte_writer.h"
#include "chinese/converters.h"
#include "chinese/iso2022cn_reader.h"

std::size_t iso2022cn_to_gb(std::string_view input, std::string& output) {
  byte_writer out(output, input.size());
  iso2022cn_reader reader(input);
  iso2022cn_item item;
  std::size_t substitutes = 0;
  while (reader.next(item)) {
    out.room(kGbSubstitute.size());
    switch (item.what) {
      case iso2022cn_item::kind::control:
      case iso2022cn_item::kind::ascii:
        out.put(static_cast<char>(item.first));
        break;
      case iso2022cn_item::kind::pair:
        if (item.charset == 'A' && item.single_shift == 0) {
          out.put(static_cast<char>(item.first | 0x80));
          out.put(static_cast<char>(item.second | 0x80));
          break;
        }
        [[fallthrough]];
      case iso2022cn_item::kind::broken:
      case iso2022cn_item::kind::unknown_escape:
        out.put(kGbSubstitute);
        ++substitutes;
        break;
    }
  }
  return substitutes;
}
