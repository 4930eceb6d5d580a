#include "mail/dates.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "mail/element.h"

namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

constexpr int kFirstYear = 1969;  // the year field counts from here...
constexpr int kLastYear = 2096;   // ...to here

const char* month_name(unsigned month) {
  return month >= 1 && month <= 12 ? kMonths[month - 1] : "???";
}

// Day of the week (0 = Sunday) in the Gregorian calendar.
int weekday(int year, unsigned month, unsigned day) {
  if (month < 1 || month > 12) month = 1;
  if (month < 3) year -= 1;
  static constexpr int kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  int w =
      (year + year / 4 - year / 100 + year / 400 + kOffsets[month - 1] + static_cast<int>(day)) % 7;
  return w < 0 ? w + 7 : w;
}

// Local time now and its offset from Greenwich in minutes east.
struct local_now {
  std::tm tm;
  long zone_minutes;
};

local_now now_here() {
  std::time_t now = std::time(nullptr);
  local_now result{};
  localtime_r(&now, &result.tm);
  result.zone_minutes = result.tm.tm_gmtoff / 60;
  return result;
}

// "+0800", "-0330": the zone of minutes east of Greenwich.
std::string zone_text(long minutes_east) {
  char buffer[48];
  long size = std::labs(minutes_east);
  std::snprintf(buffer, sizeof buffer, "%c%02ld%02ld", minutes_east < 0 ? '-' : '+', size / 60,
                size % 60);
  return buffer;
}

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
bool is_letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
char upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// A decimal number after optional blanks; false when there are no digits.
// Saturates far above any field's range.
bool read_number(std::string_view& text, long& number) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  if (text.empty() || !is_digit(text.front())) return false;
  number = 0;
  while (!text.empty() && is_digit(text.front())) {
    if (number < 100000000) number = number * 10 + (text.front() - '0');
    text.remove_prefix(1);
  }
  return true;
}

int month_number(std::string_view name) {
  for (int i = 0; i < 12; ++i) {
    bool same = true;
    for (int k = 0; k < 3; ++k)
      same = same && upper(name[k]) == upper(kMonths[i][k]);
    if (same) return i + 1;
  }
  return 0;
}

struct zone_entry {
  const char* name;
  int hours;
};

constexpr zone_entry kZones[] = {
    {"A", 1},     {"B", 2},    {"C", 3},    {"D", 4},    {"E", 5},     {"F", 6},    {"G", 7},
    {"H", 8},     {"I", 9},    {"K", 10},   {"L", 11},   {"M", 12},    {"N", -1},   {"O", -2},
    {"P", -3},    {"Q", -4},   {"R", -5},   {"S", -6},   {"T", -7},    {"U", -8},   {"V", -9},
    {"W", -10},   {"X", -11},  {"Y", -12},  {"Z", 0},    {"UT", 0},    {"GMT", 0},  {"AST", -4},
    {"ADT", -3},  {"EST", -5}, {"EDT", -4}, {"CST", -6}, {"CDT", -5},  {"MST", -7}, {"MDT", -6},
    {"PST", -8},  {"PDT", -7}, {"YST", -9}, {"YDT", -8}, {"HST", -10}, {"HDT", -9}, {"BST", -11},
    {"BDT", -10}, {"MET", 1},  {"EET", 2},  {"JST", 9},
};

// Minutes east of Greenwich for a zone name; a name not in the table stands
// for this machine's zone now.
long zone_minutes(std::string_view name) {
  for (const zone_entry& zone : kZones) {
    std::string_view known = zone.name;
    if (known.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < known.size(); ++i)
      same = same && upper(name[i]) == known[i];
    if (same) return zone.hours * 60L;
  }
  return now_here().zone_minutes;
}

void store_zone(mail_element& element, long minutes_east) {
  long size = std::labs(minutes_east);
  element.zoccident = minutes_east < 0;
  element.zhours = static_cast<unsigned>(size / 60);
  element.zminutes = static_cast<unsigned>(size % 60);
}

// The day, month and year at the front of the text; the text is left after them.
bool parse_day(std::string_view& text, long& day, long& month, long& year) {
  long first;
  if (!read_number(text, first) || first == 0 || text.empty()) return false;
  if (text.front() == ' ' || text.front() == '-') {
    if (text.size() < 5) return false;
    month = month_number(text.substr(1, 3));
    if (!month || (text[4] != '-' && text[4] != ' ')) return false;
    text.remove_prefix(5);
    if (!read_number(text, year) || year == 0) return false;
    if (!text.empty() && text.front() != ' ') return false;
    day = first;
    return true;
  }
  if (text.front() == '/') {
    month = first;
    text.remove_prefix(1);
    if (!read_number(text, day) || day == 0 || text.empty() || text.front() != '/') return false;
    text.remove_prefix(1);
    return read_number(text, year) && year != 0 && text.empty();
  }
  return false;
}

bool parse_time(std::string_view& text, long& hours, long& minutes, long& seconds) {
  if (!read_number(text, hours) || text.empty() || text.front() != ':') return false;
  text.remove_prefix(1);
  if (!read_number(text, minutes) || text.empty() || text.front() != ':') return false;
  text.remove_prefix(1);
  return read_number(text, seconds) && hours <= 23 && minutes <= 59 && seconds <= 59;
}

// What follows the time: nothing, " +0800" or "-EST".
bool parse_zone(mail_element& element, std::string_view text) {
  if (text.empty()) return true;
  if (text.front() == ' ') {
    text.remove_prefix(1);
    bool west = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
      west = text.front() == '-';
      text.remove_prefix(1);
    }
    if (text.size() != 4) return false;
    for (char c : text) {
      if (!is_digit(c)) return false;
    }
    long hours = (text[0] - '0') * 10 + (text[1] - '0');
    long minutes = (text[2] - '0') * 10 + (text[3] - '0');
    if (hours > 15 || minutes > 59) return false;  // would not fit the zone fields
    element.zoccident = west;
    element.zhours = static_cast<unsigned>(hours);
    element.zminutes = static_cast<unsigned>(minutes);
    return true;
  }
  if (text.front() == '-') {
    text.remove_prefix(1);
    if (text.empty() || text.size() > 3) return false;
    for (char c : text) {
      if (!is_letter(c)) return false;
    }
    store_zone(element, zone_minutes(text));
    return true;
  }
  return false;
}

}  // namespace

std::string mail_date(const mail_element& element) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%2u-%s-%d %02u:%02u:%02u %c%02u%02u",
                static_cast<unsigned>(element.day), month_name(element.month),
                kFirstYear + static_cast<int>(element.year), static_cast<unsigned>(element.hours),
                static_cast<unsigned>(element.minutes), static_cast<unsigned>(element.seconds),
                element.zoccident ? '-' : '+', static_cast<unsigned>(element.zhours),
                static_cast<unsigned>(element.zminutes));
  return buffer;
}

std::string mail_ctime_date(const mail_element& element) {
  char buffer[64];
  int year = kFirstYear + static_cast<int>(element.year);
  std::snprintf(buffer, sizeof buffer, "%s %s %2u %02u:%02u:%02u %4d\n",
                kWeekdays[weekday(year, element.month, element.day)], month_name(element.month),
                static_cast<unsigned>(element.day), static_cast<unsigned>(element.hours),
                static_cast<unsigned>(element.minutes), static_cast<unsigned>(element.seconds),
                year);
  return buffer;
}

std::string rfc822_date_now() {
  local_now now = now_here();
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "%s, %d %s %d %02d:%02d:%02d %s (%s)",
                kWeekdays[now.tm.tm_wday], now.tm.tm_mday, kMonths[now.tm.tm_mon],
                now.tm.tm_year + 1900, now.tm.tm_hour, now.tm.tm_min, now.tm.tm_sec,
                zone_text(now.zone_minutes).c_str(), now.tm.tm_zone ? now.tm.tm_zone : "");
  return buffer;
}

std::string internal_date_now() {
  local_now now = now_here();
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%2d-%s-%d %02d:%02d:%02d %s", now.tm.tm_mday,
                kMonths[now.tm.tm_mon], now.tm.tm_year + 1900, now.tm.tm_hour, now.tm.tm_min,
                now.tm.tm_sec, zone_text(now.zone_minutes).c_str());
  return buffer;
}

bool mail_parse_date(mail_element& element, std::string_view text) {
  if (text.size() >= 4 && is_letter(text[0]) && text[3] == ',') {
    text.remove_prefix(std::min<std::size_t>(5, text.size()));
  }
  long day = 0, month = 0, year = 0;
  if (!parse_day(text, day, month, year)) return false;
  if (day < 1 || day > 31 || month < 1 || month > 12) return false;
  if (year < 69) {
    year += 2000;
  } else if (year < 100) {
    year += 1900;
  }
  if (year < kFirstYear || year > kLastYear) return false;
  element.day = static_cast<unsigned>(day);
  element.month = static_cast<unsigned>(month);
  element.year = static_cast<unsigned>(year - kFirstYear);
  if (text.empty()) {
    element.hours = element.minutes = element.seconds = 0;
    store_zone(element, 0);
    return true;
  }
  long hours, minutes, seconds;
  if (!parse_time(text, hours, minutes, seconds)) return false;
  element.hours = static_cast<unsigned>(hours);
  element.minutes = static_cast<unsigned>(minutes);
  element.seconds = static_cast<unsigned>(seconds);
  return parse_zone(element, text);
}
