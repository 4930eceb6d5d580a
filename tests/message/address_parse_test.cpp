#include "message/address_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/message/summary.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

struct list_row {
  std::string name;
  std::string text;
  std::string addresses;
  std::string report = {};  // empty: none
  std::string host = "default.host";
};

class AddressList : public testing::TestWithParam<list_row> {};

TEST_P(AddressList, ParsesAndReports) {
  const list_row& row = GetParam();
  log_capture log;
  std::unique_ptr<mail_address> list;
  address_list_parse(list, row.text, row.host);
  EXPECT_EQ(address_summary(list.get()), row.addresses);
  EXPECT_EQ(log.entries(), parse_reports(row.report));
}

const list_row kAddressListRows[] = {
    {"bare_address", "jdoe@one.test", "<jdoe@one.test>"},
    {"no_host_gets_default", "jdoe", "<jdoe@default.host>"},
    {"empty_text", "   ", ""},
    {"phrase_and_route_address", "Joe Q. Public <john.q.public@example.com>",
     "Joe Q. Public<john.q.public@example.com>"},
    {"quoted_phrase_loses_quotes_and_escapes", R"("Giant; \"Big\" Box" <sysservices@example.net>)",
     R"(Giant; "Big" Box<sysservices@example.net>)"},
    {"comment_after_address_is_personal", "pete@silly.test (Peter Smith)",
     "Peter Smith<pete@silly.test>"},
    {"comment_inside_is_skipped", "pete(his account)@silly.test", "<pete@silly.test>"},
    {"quoted_local_part", R"("john smith"@example.com)", "<john smith@example.com>"},
    {"source_route", "<@route.one,@route.two:user@host.test>",
     "<@route.one,@route.two:user@host.test>"},
    {"domain_literal_is_one_host", "user@[192.0.2.1]", "<user@[192.0.2.1]>"},
    {"several_addresses_in_order", "Mary Smith <mary@x.test>, jdoe@one.test,<boss@nil.test>",
     "Mary Smith<mary@x.test><jdoe@one.test><boss@nil.test>"},
    {"group_with_two_members", "A Group: Ed Jones <c@a.test>, joe@where.test;",
     "<A Group@->Ed Jones<c@a.test><joe@where.test><-@->"},
    {"empty_group_then_address", "Undisclosed recipients:;, x@y.test",
     "<Undisclosed recipients@-><-@-><x@y.test>"},
    {"group_left_open_is_closed", "friends: a@b.test", "<friends@-><a@b.test><-@->"},
    {"junk_after_group", "g: a@b.test; junk", "<g@-><a@b.test><-@-><junk@default.host>",
     "Junk at end of group: junk"},
    {"missing_comma_keeps_the_first", "a@b.test c@d.test", "<a@b.test>",
     "Must use comma to separate addresses: c@d.test"},
    {"junk_after_address", "a@b.test ) c@d.test", "<a@b.test>",
     "Junk at end of address: ) c@d.test"},
    {"unterminated_mailbox_is_kept", "Joe <joe@x.test", "Joe<joe@x.test>",
     "Unterminated mailbox: joe@x.test"},
    {"missing_host", "joe@, b@c.test", "<joe@default.host>",
     "Missing or invalid host name after @"},
    {"bad_mailbox_stops_the_list", "a@b.test, <>, c@d.test", "<a@b.test>",
     "Bad mailbox: <>, c@d.test"},
    {"unterminated_comment_cuts_the_text", "a@b.test (no end", "<a@b.test>",
     "Unterminated comment: (no end"},
    {"unterminated_quote_in_comment", "a@b.test (x \"y)", "<a@b.test>",
     "Unterminated quoted string within comment: (x \"y)"},
    {"nested_comments", "a@b.test (one (two) three), c@d.test",
     "one (two) three<a@b.test><c@d.test>"},
    {"reports_quote_at_most_80_bytes", "a@b.test " + std::string(100, 'z'), "<a@b.test>",
     "Must use comma to separate addresses: " + std::string(80, 'z')},
    {"zero_byte_ends_the_text", std::string("a@b.test\0, c@d.test", 19), "<a@b.test>"},
    // A default host that begins with "@" stands for no host; the report says so.
    {"default_host_with_at_is_none", "Joe <joe", "Joe<joe@@nohost>",
     "Unterminated mailbox: joe@<null>", "@nohost"},
};
INSTANTIATE_TEST_SUITE_P(Rows, AddressList, testing::ValuesIn(kAddressListRows), row_name());

TEST(AddressList, AppendsToWhatTheListHolds) {
  std::unique_ptr<mail_address> list;
  address_list_parse(list, "one@a.test", "h");
  address_list_parse(list, "two@b.test, three@c.test", "h");
  EXPECT_EQ(address_summary(list.get()), "<one@a.test><two@b.test><three@c.test>");
}

// A hostile header can hold a very long list; parsing and freeing it must be
// linear and must not recurse per element.
TEST(AddressList, VeryLongListsParse) {
  std::string text;
  for (int i = 0; i < 200000; ++i)
    text += "a@b, ";
  std::unique_ptr<mail_address> list;
  address_list_parse(list, text, "h");
  std::size_t count = 0;
  for (const mail_address* a = list.get(); a; a = a->next.get())
    ++count;
  EXPECT_EQ(count, 200000u);
}

struct word_row {
  std::string name;
  std::string text;
  const char* specials;
  int end;  // offset of the word's end, -1 for none
};

class WordEnd : public testing::TestWithParam<word_row> {};

TEST_P(WordEnd, FindsTheEndOfOneWord) {
  const word_row& row = GetParam();
  std::string buffer = row.text;
  char* end = word_end(buffer.data(), row.specials);
  EXPECT_EQ(end ? static_cast<int>(end - buffer.data()) : -1, row.end);
}

const word_row kWordEndRows[] = {
    {"plain", "john smith", word_specials, 4},
    {"after_blanks_and_comment", "  (c) john@x", word_specials, 10},
    {"quoted_string_is_part_of_it", "\"a b\"c d", word_specials, 6},
    {"unclosed_quote_is_none", "\"a b", word_specials, -1},
    {"escaped_special", "a\\@b@c", word_specials, 4},
    {"empty_is_none", "", word_specials, -1},
    {"starting_with_special_is_none", "<a>", word_specials, -1},
    {"runs_to_the_end", "abc", word_specials, 3},
    {"host_keeps_brackets", "[1.2.3.4] x", host_specials, 9},
    {"word_keeps_dots", "a.b.c@d", word_specials, 5},
};
INSTANTIATE_TEST_SUITE_P(Rows, WordEnd, testing::ValuesIn(kWordEndRows), row_name());

// A phrase runs over words and comments; white space skips nested comments;
// dequoting drops quotes and undoes escapes.
TEST(Scanning, PhrasesWhiteSpaceAndQuotes) {
  std::string text = "John (the) Q. Public <jqp@x>";
  EXPECT_EQ(phrase_end(text.data()) - text.data(), 20);
  std::string none = "<jqp@x>";
  EXPECT_EQ(phrase_end(none.data()), nullptr);
  std::string white = "  (a (b) \"c)\" \\) d)  rest";
  char* cursor = white.data();
  skip_white(cursor);
  EXPECT_STREQ(cursor, "rest");
  EXPECT_EQ(copy_dequoted(R"("a \"b\" c\\d")"), R"(a "b" c\d)");
  EXPECT_EQ(copy_dequoted("plain text"), "plain text");
  std::string escaped = R"(x\yz)";
  dequote(escaped);
  EXPECT_EQ(escaped, "xyz");
}

TEST(AddressListCopy, CopiesEveryFieldButTheError) {
  std::unique_ptr<mail_address> list;
  address_list_parse(list, "Joe <@r:joe@x.test>, g: a@b;", "h");
  list->error = "550 no such user";
  auto copy = address_list_copy(list.get());
  EXPECT_EQ(address_summary(copy.get()), address_summary(list.get()));
  EXPECT_FALSE(copy->error);
  EXPECT_NE(copy.get(), list.get());
  EXPECT_EQ(address_list_copy(nullptr), nullptr);
}

}  // namespace
