#include "mail/dates.h"

#include <stdlib.h>

#include <ctime>
#include <regex>

#include "mail/element.h"
#include "tests/support/table.h"

// Runs a test body under the given TZ and restores the old one.
class zone_setting {
 public:
  explicit zone_setting(const char* zone) {
    if (const char* old = getenv("TZ")) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~zone_setting() {
    old_ ? setenv("TZ", old_->c_str(), 1) : unsetenv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> old_;
};

struct parse_row {
  std::string name, text;
  std::string internal;  // mail_date of the result; empty: not a date
};

class ParseDate : public testing::TestWithParam<parse_row> {};

TEST_P(ParseDate, ReadsInternalDates) {
  zone_setting zone("UTC0");
  mail_element element;
  EXPECT_EQ(mail_parse_date(element, GetParam().text) ? mail_date(element) : "",
            GetParam().internal);
}

const parse_row kParses[] = {
    {"internal_form", "5-Dec-1996 11:53:20 +0800", " 5-Dec-1996 11:53:20 +0800"},
    {"leading_blank", " 5-Dec-1996 11:53:20 +0800", " 5-Dec-1996 11:53:20 +0800"},
    {"blanks_and_lower_case", "5 dec 96 11:53:20 -0500", " 5-Dec-1996 11:53:20 -0500"},
    {"weekday_and_zone_name", "Thu, 5-Dec-1996 11:53:20-EST", " 5-Dec-1996 11:53:20 -0500"},
    {"slashes", "12/5/1996", " 5-Dec-1996 00:00:00 +0000"},
    {"date_only", "15-Jan-2001", "15-Jan-2001 00:00:00 +0000"},
    {"unsigned_zone", "1-Feb-2000 00:00:00 0130", " 1-Feb-2000 00:00:00 +0130"},
    {"military_zone", "1-Feb-2000 10:00:00-K", " 1-Feb-2000 10:00:00 +1000"},
    {"military_west", "1-Feb-2000 10:00:00-Y", " 1-Feb-2000 10:00:00 -1200"},
    {"universal", "1-Feb-2000 10:00:00-UT", " 1-Feb-2000 10:00:00 +0000"},
    {"japan", "1-Feb-2000 10:00:00-jst", " 1-Feb-2000 10:00:00 +0900"},
    {"unknown_zone_is_here", "1-Feb-2000 10:00:00-LCL", " 1-Feb-2000 10:00:00 +0000"},
    {"year_69", "1-Jan-69", " 1-Jan-1969 00:00:00 +0000"},
    {"year_68", "1-Jan-68", " 1-Jan-2068 00:00:00 +0000"},
    {"year_2096", "31-Dec-2096 23:59:59 +0000", "31-Dec-2096 23:59:59 +0000"},
    {"zone_name_after_blank", "5-Dec-1996 11:53:20 EST", ""},
    {"bad_month", "5-Dek-1996", ""},
    {"day_32", "32-Dec-1996", ""},
    {"slashes_with_time", "12/5/1996 10:00:00", ""},
    {"day_zero", "0-Dec-1996", ""},
    {"year_zero", "5-Dec-0", ""},
    {"month_13", "13/5/1996", ""},
    {"hour_24", "5-Dec-1996 24:00:00", ""},
    {"minute_60", "5-Dec-1996 10:60:00", ""},
    {"missing_seconds", "5-Dec-1996 10:00", ""},
    {"five_zone_digits", "5-Dec-1996 10:00:00 +08000", ""},
    {"three_zone_digits", "5-Dec-1996 10:00:00 +080", ""},
    {"zone_hours_too_big", "5-Dec-1996 10:00:00 +9900", ""},
    {"long_zone_name", "5-Dec-1996 10:00:00-ABCD", ""},
    {"junk_after_year", "5-Dec-1996x", ""},
    {"short_remainder", "5-Dec", ""},
    {"year_before_1969", "5-Dec-1900", ""},
    {"year_after_2096", "5-Dec-2097", ""},
    {"empty", "", ""},
    {"weekday_only", "Thu,", ""},
    {"no_number", "Dec 5 1996", ""},
};
INSTANTIATE_TEST_SUITE_P(Rows, ParseDate, testing::ValuesIn(kParses), row_name());

TEST(ParseDate, AZoneLessTimeKeepsTheZoneTheElementHeld) {
  mail_element element;
  element.zoccident = 1;
  element.zhours = 5;
  ASSERT_TRUE(mail_parse_date(element, "5-Dec-1996 11:53:20"));
  EXPECT_EQ(mail_date(element), " 5-Dec-1996 11:53:20 -0500");
}

TEST(ParseDate, AFailedTimeLeavesTheDayStored) {
  mail_element element;
  EXPECT_FALSE(mail_parse_date(element, "7-Mar-2001 99:00:00"));
  EXPECT_EQ(element.day, 7u);
  EXPECT_EQ(element.month, 3u);
  EXPECT_EQ(element.year, 2001u - 1969u);
}

TEST(ParseDate, UnknownZoneNamesTakeThisMachinesOffset) {
  zone_setting zone("CST-8");
  mail_element element;
  ASSERT_TRUE(mail_parse_date(element, "1-Feb-2000 10:00:00-LCL"));
  EXPECT_EQ(mail_date(element), " 1-Feb-2000 10:00:00 +0800");
}

// Each internal date, read and printed again in both forms; a month of 0
// (nothing read yet) prints as "???".
struct print_row {
  std::string name, internal, ctime_form;
};

class PrintDate : public testing::TestWithParam<print_row> {};

TEST_P(PrintDate, GivesBothForms) {
  mail_element element;
  ASSERT_TRUE(mail_parse_date(element, GetParam().internal));
  EXPECT_EQ(mail_date(element), GetParam().internal);
  EXPECT_EQ(mail_ctime_date(element), GetParam().ctime_form);
}

const print_row kPrints[] = {
    {"day_blank_padded", " 5-Dec-1996 11:53:20 +0800", "Thu Dec  5 11:53:20 1996\n"},
    {"west_zone", " 1-Jan-1996 00:00:00 -0500", "Mon Jan  1 00:00:00 1996\n"},
    {"half_hour_zone", "29-Feb-2000 23:59:59 -0330", "Tue Feb 29 23:59:59 2000\n"},
    {"first_year", " 1-Jan-1969 00:00:00 +0000", "Wed Jan  1 00:00:00 1969\n"},
    {"last_year", "31-Dec-2096 00:00:00 +0000", "Mon Dec 31 00:00:00 2096\n"},
    {"century_not_leap", " 1-Mar-2096 12:00:00 +0000", "Thu Mar  1 12:00:00 2096\n"},
};
INSTANTIATE_TEST_SUITE_P(Rows, PrintDate, testing::ValuesIn(kPrints), row_name());

TEST(PrintDate, NoMonthYet) {
  mail_element element;
  EXPECT_EQ(mail_date(element), " 0-?\?\?-1969 00:00:00 +0000");
  EXPECT_EQ(mail_ctime_date(element), "Tue ?\?\?  0 00:00:00 1969\n");
}

struct now_row {
  std::string name;
  const char* zone;
  std::string zone_text;  // as printed
};

class DateNow : public testing::TestWithParam<now_row> {};

TEST_P(DateNow, PrintsTheLocalTimeWithItsZone) {
  zone_setting zone(GetParam().zone);
  std::time_t before = std::time(nullptr);
  std::string internal = internal_date_now();
  std::string rfc822 = rfc822_date_now();
  std::tm here;
  localtime_r(&before, &here);

  std::smatch parts;
  ASSERT_TRUE(std::regex_match(
      internal, parts,
      std::regex(R"(([ 0-9]\d)-([A-Z][a-z]{2})-(\d{4}) \d\d:\d\d:\d\d ([-+]\d{4}))")))
      << internal;
  EXPECT_EQ(std::stoi(parts[1]), here.tm_mday);
  EXPECT_EQ(std::stoi(parts[3]), here.tm_year + 1900);
  EXPECT_EQ(parts[4], GetParam().zone_text);

  ASSERT_TRUE(std::regex_match(
      rfc822, parts,
      std::regex(R"((Sun|Mon|Tue|Wed|Thu|Fri|Sat), (\d{1,2}) ([A-Z][a-z]{2}) (\d{4}) )"
                 R"(\d\d:\d\d:\d\d ([-+]\d{4}) \((.*)\))")))
      << rfc822;
  EXPECT_EQ(std::stoi(parts[2]), here.tm_mday);
  EXPECT_EQ(parts[5], GetParam().zone_text);
  EXPECT_EQ(parts[6], here.tm_zone);
}

const now_row kZones[] = {
    {"china", "CST-8", "+0800"},
    {"newfoundland", "NST+3:30", "-0330"},
    {"greenwich", "UTC0", "+0000"},
    {"half_hour_west_of_greenwich", "XST+0:30", "-0030"},
};
INSTANTIATE_TEST_SUITE_P(Rows, DateNow, testing::ValuesIn(kZones), row_name());
