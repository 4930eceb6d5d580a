#include "mail/mailbox_pattern.h"

#include <cctype>

bool mailbox_pattern_match(std::string_view name, std::string_view pattern) {
  for (std::size_t i = 0;; ++i) {
    if (i == pattern.size()) return i == name.size();
    char p = pattern[i];
    if (p == '*') {
      if (i + 1 == pattern.size()) return true;
      for (std::size_t from = i; from < name.size(); ++from) {
        if (mailbox_pattern_match(name.substr(from), pattern.substr(i + 1))) return true;
      }
      return false;
    }
    if (i == name.size()) return false;
    if (p != '%' && p != '?' &&
        std::tolower(static_cast<unsigned char>(p)) !=
            std::tolower(static_cast<unsigned char>(name[i]))) {
      return false;
    }
  }
}
