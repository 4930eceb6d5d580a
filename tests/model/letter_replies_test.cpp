#include "model/letter_replies.h"

#include <gtest/gtest.h>

#include "tests/support/letter_builder.h"
#include "tests/support/table.h"

namespace {

using letters::text;
constexpr letter_labels kEnglish = letter_labels::english;
constexpr letter_labels kChinese = letter_labels::chinese;

std::unique_ptr<CAletter> plain(std::string body, std::string subject = "hello") {
  return letters::letter(text("US-ASCII", std::move(body)), std::move(subject));
}

std::unique_ptr<CAletter> without_from() {
  auto made = plain("x");
  made->envelope.from.reset();
  return made;
}

std::unique_ptr<CAletter> nameless() {
  auto made = plain("x");
  made->envelope.from = letters::address("", "li@pku.edu.cn");
  return made;
}

std::unique_ptr<CAletter> two_parts() {
  return letters::letter(letters::multipart(text("US-ASCII", "a"), letters::bytes(5, "GIF", "x")));
}

// The body of a reply that quotes the letter.
struct quote_row {
  std::string name;
  std::unique_ptr<CAletter> (*letter)();
  letter_labels labels;
  long platform;
  std::string body;
};

class Quote : public testing::TestWithParam<quote_row> {};

TEST_P(Quote, BeginsEveryLineAfterTheFirstWithAMark) {
  const quote_row& row = GetParam();
  EXPECT_EQ(reply_body(*row.letter(), row.labels, row.platform), row.body);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Quote,
    testing::Values(
        quote_row{"TwoLines", [] { return plain("L1\r\nL2"); }, kEnglish, 1,
                  "    On  5-Dec-1996 10:00:00 +0800, Li wrote:\r\n\r\n>\r\n>L1\r\n>L2\r\n>\r\n>"},
        quote_row{"BareLineFeeds", [] { return plain("L1\nL2\n"); }, kEnglish, 1,
                  "    On  5-Dec-1996 10:00:00 +0800, Li wrote:\r\n\r\n>\r\n>L1\n>L2\n>\r\n>\r\n>"},
        quote_row{"TwoLinesFromTheList", [] { return plain("L1\r\nL2"); }, kChinese, 1,
                  "    在  5-Dec-1996 10:00:00 +0800, Li写:\r\n\r\n>\r\n>L1\r\n>L2\r\n>\r\n>"},
        quote_row{"NoSenderIsSomeone", without_from, kEnglish, 1,
                  "    On  5-Dec-1996 10:00:00 +0800, someone wrote:\r\n\r\n>\r\n>x\r\n>\r\n>"},
        quote_row{"NoNameIsTheAddress", nameless, kChinese, 1,
                  "    在  5-Dec-1996 10:00:00 +0800, li@pku.edu.cn写:\r\n\r\n>\r\n>x\r\n>\r\n>"},
        quote_row{"GbTextOnAGbPlatform",
                  [] { return letters::letter(text("CN-GB", "\xD6\xD0\xCE\xC4")); }, kEnglish, 1,
                  "    On  5-Dec-1996 10:00:00 +0800, Li wrote:\r\n\r\n>\r\n>中文\r\n>\r\n>"},
        quote_row{"BoundariesAndPlaceholdersToo", two_parts, kEnglish, 1,
                  "    On  5-Dec-1996 10:00:00 +0800, Li wrote:\r\n\r\n>"
                  "--------- MULTIPART BOUNDARY ----------\r\n>"
                  "Content-Type: text/PLAIN; CHARSET=US-ASCII\r\n>\r\n>a\r\n>\r\n>"
                  "--------- MULTIPART BOUNDARY ----------\r\n>"
                  "Content-Type: image/GIF\r\n>\r\n>"
                  ">> IMAGE:DOUBLE-CLICK-HERE-TO-DISPLAY-OR-SAVE <<\r\n>\r\n>"}),
    row_name());

// Subjects of replies and forwards.
struct subject_row {
  std::string name;
  std::string subject;
  std::string (*made)(const CAletter&, letter_labels, long);
  letter_labels labels;
  std::string expected;
};

class Subject : public testing::TestWithParam<subject_row> {};

TEST_P(Subject, IsMadeFromTheLetters) {
  const subject_row& row = GetParam();
  EXPECT_EQ(row.made(*plain("x", row.subject), row.labels, 1), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Subject,
    testing::Values(
        subject_row{"ReplyToAReplyPrefixesTwice", "Re:hi", reply_subject, kEnglish, "Re:Re:hi"},
        subject_row{"ReplyDecodesWords", "=?GB2312?B?1tDOxA==?=", reply_subject, kChinese,
                    "回复:中文"},
        subject_row{"Forward", "hi", forward_subject, kEnglish, "hi(fwd)"},
        subject_row{"ListForwardWithoutSubject", "", forward_subject, kChinese, "你的邮件(转发)"}),
    row_name());

}  // namespace
