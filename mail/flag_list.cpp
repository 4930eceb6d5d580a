#include "mail/flag_list.h"

#include <string>

#include "mail/element.h"
#include "message/callbacks.h"
#include "platform/storage.h"

unsigned flag_list_parse(std::string_view list) {
  bool opened = list.starts_with('(');
  bool closed = list.ends_with(')') && !(opened && list.size() == 1);
  if (opened != closed) {
    mail_log(LOG_ERROR, "Bad flag list");
    return 0;
  }
  if (opened) list = list.substr(1, list.size() - 2);
  std::string words(list);
  text_upper(words);
  unsigned flags = 0;
  std::string_view rest = words;
  while (!rest.empty()) {
    std::size_t end = rest.find(' ');
    std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (word.empty()) continue;
    if (word == "\\SEEN") {
      flags |= FLAG_SEEN;
    } else if (word == "\\DELETED") {
      flags |= FLAG_DELETED;
    } else if (word == "\\FLAGGED") {
      flags |= FLAG_FLAGGED;
    } else if (word == "\\ANSWERED") {
      flags |= FLAG_ANSWERED;
    } else {
      std::string shown(word);
      mail_log(LOG_ERROR, "Unknown flag: %.80s", shown.c_str());
    }
  }
  return flags;
}
