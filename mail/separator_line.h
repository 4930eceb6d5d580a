#pragma once

#include <optional>
#include <string>
#include <string_view>

// The line that begins each message of a Bezrkdos file:
// "From sender Thu Dec  5 11:53:20 1996", the date part in one of the shapes
// weekday month day time [zone] year or weekday month day time year zone
// (zone a three-letter name or a sign and four digits, seconds optional),
// with an optional " remote from host" after it on lines of 41 characters
// or more.

// Separator lines are at most this long without their line end.
constexpr std::size_t kSeparatorLimit = 1023;

// The fields of a separator line's date part.
struct separator_date {
  std::string_view weekday;
  std::string_view month;
  std::string_view day;  // two characters, right-justified
  std::string_view time;
  std::string_view zone;  // empty when there is none
  std::string_view year;
};

// The date part of a line (without its line end), or nothing when the line
// is no separator line.
std::optional<separator_date> separator_line_parse(std::string_view line);

inline bool separator_line_valid(std::string_view line) {
  return separator_line_parse(line).has_value();
}

// The date as an internal date text: " 5-Dec-1996 11:53:20 +0800", with
// "-EST" for a zone name and "-LCL" (this machine's zone) when there is none.
std::string separator_internal_date(const separator_date& date);
