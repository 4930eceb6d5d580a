#include "mail/separator_line.h"

namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
bool is_letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool letters(std::string_view text, std::size_t count) {
  if (text.size() != count) return false;
  for (char c : text) {
    if (!is_letter(c)) return false;
  }
  return true;
}

bool digits(std::string_view text) {
  for (char c : text) {
    if (!is_digit(c)) return false;
  }
  return true;
}

bool is_year(std::string_view text) {
  return text.size() == 4 && digits(text);
}

bool is_zone(std::string_view text) {
  if (letters(text, 3)) return true;
  return text.size() == 5 && (text[0] == '+' || text[0] == '-') && digits(text.substr(1));
}

bool is_time(std::string_view text) {
  if (text.size() != 5 && text.size() != 8) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool colon = i % 3 == 2;
    if (colon ? text[i] != ':' : !is_digit(text[i])) return false;
  }
  return true;
}

// The word after the last blank; the text is left before that blank.
std::optional<std::string_view> last_word(std::string_view& text) {
  std::size_t blank = text.rfind(' ');
  if (blank == std::string_view::npos || blank + 1 == text.size()) return std::nullopt;
  std::string_view word = text.substr(blank + 1);
  text = text.substr(0, blank);
  return word;
}

// Drops " remote from host" from the end of the line.
void drop_remote_from(std::string_view& line) {
  std::string_view rest = line;
  std::optional<std::string_view> host = last_word(rest);
  constexpr std::string_view kRemoteFrom = " remote from";
  if (host && rest.ends_with(kRemoteFrom)) line = rest.substr(0, rest.size() - kRemoteFrom.size());
}

}  // namespace

std::optional<separator_date> separator_line_parse(std::string_view line) {
  if (line.size() < 27 || line.size() > kSeparatorLimit || !line.starts_with("From ")) {
    return std::nullopt;
  }
  if (line.size() >= 41) drop_remote_from(line);
  separator_date date;
  std::string_view rest = line;
  std::optional<std::string_view> last = last_word(rest);
  if (!last) return std::nullopt;
  std::optional<std::string_view> before = last_word(rest);
  if (!before) return std::nullopt;
  if (is_year(*last) && is_time(*before)) {
    date.year = *last;
    date.time = *before;
  } else {
    std::optional<std::string_view> time = last_word(rest);
    if (!time || !is_time(*time)) return std::nullopt;
    date.time = *time;
    if (is_year(*last) && is_zone(*before)) {
      date.year = *last;
      date.zone = *before;
    } else if (is_zone(*last) && is_year(*before)) {
      date.year = *before;
      date.zone = *last;
    } else {
      return std::nullopt;
    }
  }
  // rest ends in "Thu Dec  5", after the blank that ends the sender.
  if (rest.size() < 15) return std::nullopt;
  std::size_t end = rest.size();
  date.day = rest.substr(end - 2);
  date.month = rest.substr(end - 6, 3);
  date.weekday = rest.substr(end - 10, 3);
  bool day_ok = is_digit(date.day[1]) && (date.day[0] == ' ' || is_digit(date.day[0]));
  if (!day_ok || rest[end - 3] != ' ' || rest[end - 7] != ' ' || rest[end - 11] != ' ' ||
      !letters(date.month, 3) || !letters(date.weekday, 3)) {
    return std::nullopt;
  }
  return date;
}

std::string separator_internal_date(const separator_date& date) {
  std::string text(date.day);
  text += '-';
  text += date.month;
  text += '-';
  text += date.year;
  text += ' ';
  text += date.time;
  if (date.time.size() == 5) text += ":00";
  if (date.zone.empty()) {
    text += "-LCL";
  } else if (is_letter(date.zone[0])) {
    text += '-';
    text += date.zone;
  } else {
    text += ' ';
    text += date.zone;
  }
  return text;
}
