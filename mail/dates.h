#pragma once

#include <string>
#include <string_view>

struct mail_element;

// " 5-Dec-1996 11:53:20 +0800": the internal date form of an element.
std::string mail_date(const mail_element& element);

// "Thu Dec  5 11:53:20 1996\n": the one-line form, weekday included.
std::string mail_ctime_date(const mail_element& element);

// "Thu, 5 Dec 1996 11:53:20 +0800 (CST)": now, for the Date header.
std::string rfc822_date_now();

// " 5-Dec-1996 11:53:20 +0800": now, in the internal form.
std::string internal_date_now();

// Reads an internal date ("5-Dec-1996 11:53:20 +0800", "5 dec 96", "12/5/1996",
// with a zone name after "-") into the element's date fields. False when the
// text is not a date; the day, month and year may then already be stored.
bool mail_parse_date(mail_element& element, std::string_view text);
