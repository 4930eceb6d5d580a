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

INSTANTIATE_TEST_SUITE_P(
    Rows, AddressList,
    testing::Values(
        list_row{"bare_address", "jdoe@one.test", "<jdoe@one.test>"},
        list_row{"no_host_gets_default", "jdoe", "<jdoe@default.host>"},
        list_row{"empty_text", "   ", ""},
        list_row{"phrase_and_route_address", "Joe Q. Public <john.q.public@example.com>",
                 "Joe Q. Public<john.q.public@example.com>"},
        list_row{"quoted_phrase_loses_quotes_and_escapes",
                 R"("Giant; \"Big\" Box" <sysservices@example.net>)",
                 R"(Giant; "Big" Box<sysservices@example.net>)"},
        list_row{"comment_after_address_is_personal", "pete@silly.test (Peter Smith)",
                 "Peter Smith<pete@silly.test>"},
        list_row{"comment_inside_is_skipped", "pete(his account)@silly.test", "<pete@silly.test>"},
        list_row{"quoted_local_part", R"("john smith"@example.com)", "<john smith@example.com>"},
        list_row{"source_route", "<@route.one,@route.two:user@host.test>",
                 "<@route.one,@route.two:user@host.test>"},
        list_row{"domain_literal_is_one_host", "user@[192.0.2.1]", "<user@[192.0.2.1]>"},
        list_row{"several_addresses_in_order",
                 "Mary Smith <mary@x.test>, jdoe@one.test,<boss@nil.test>",
                 "Mary Smith<mary@x.test><jdoe@one.test><boss@nil.test>"},
        list_row{"group_with_two_members", "A Group: Ed Jones <c@a.test>, joe@where.test;",
                 "<A Group@->Ed Jones<c@a.test><joe@where.test><-@->"},
        list_row{"empty_group_then_address", "Undisclosed recipients:;, x@y.test",
                 "<Undisclosed recipients@-><-@-><x@y.test>"},
        list_row{"group_left_open_is_closed", "friends: a@b.test", "<friends@-><a@b.test><-@->"},
        list_row{"junk_after_group", "g: a@b.test; junk", "<g@-><a@b.test><-@-><junk@default.host>",
                 "Junk at end of group: junk"},
        list_row{"missing_comma_keeps_the_first", "a@b.test c@d.test", "<a@b.test>",
                 "Must use comma to separate addresses: c@d.test"},
        list_row{"junk_after_address", "a@b.test ) c@d.test", "<a@b.test>",
                 "Junk at end of address: ) c@d.test"},
        list_row{"unterminated_mailbox_is_kept", "Joe <joe@x.test", "Joe<joe@x.test>",
                 "Unterminated mailbox: joe@x.test"},
        list_row{"missing_host", "joe@, b@c.test", "<joe@default.host>",
                 "Missing or invalid host name after @"},
        list_row{"bad_mailbox_stops_the_list", "a@b.test, <>, c@d.test", "<a@b.test>",
                 "Bad mailbox: <>, c@d.test"},
        list_row{"unterminated_comment_cuts_the_text", "a@b.test (no end", "<a@b.test>",
                 "Unterminated comment: (no end"},
        list_row{"unterminated_quote_in_comment", "a@b.test (x \"y)", "<a@b.test>",
                 "Unterminated quoted string within comment: (x \"y)"},
        list_row{"nested_comments", "a@b.test (one (two) three), c@d.test",
                 "one (two) three<a@b.test><c@d.test>"},
        list_row{"reports_quote_at_most_80_bytes", "a@b.test " + std::string(100, 'z'),
                 "<a@b.test>", "Must use comma to separate addresses: " + std::string(80, 'z')},
        list_row{"zero_byte_ends_the_text", std::string("a@b.test\0, c@d.test", 19), "<a@b.test>"},
        // A default host that begins with "@" stands for no host; the report says so.
        list_row{"default_host_with_at_is_none", "Joe <joe", "Joe<joe@@nohost>",
                 "Unterminated mailbox: joe@<null>", "@nohost"}),
    row_name());

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

INSTANTIATE_TEST_SUITE_P(
    Rows, WordEnd,
    testing::Values(word_row{"plain", "john smith", word_specials, 4},
                    word_row{"after_blanks_and_comment", "  (c) john@x", word_specials, 10},
                    word_row{"quoted_string_is_part_of_it", "\"a b\"c d", word_specials, 6},
                    word_row{"unclosed_quote_is_none", "\"a b", word_specials, -1},
                    word_row{"escaped_special", "a\\@b@c", word_specials, 4},
                    word_row{"empty_is_none", "", word_specials, -1},
                    word_row{"starting_with_special_is_none", "<a>", word_specials, -1},
                    word_row{"runs_to_the_end", "abc", word_specials, 3},
                    word_row{"host_keeps_brackets", "[1.2.3.4] x", host_specials, 9},
                    word_row{"word_keeps_dots", "a.b.c@d", word_specials, 5}),
    row_name());

TEST(PhraseEnd, RunsOverWordsAndComments) {
  std::string text = "John (the) Q. Public <jqp@x>";
  EXPECT_EQ(phrase_end(text.data()) - text.data(), 20);
  std::string none = "<jqp@x>";
  EXPECT_EQ(phrase_end(none.data()), nullptr);
}

TEST(SkipWhite, SkipsBlanksAndNestedComments) {
  std::string text = "  (a (b) \"c)\" \\) d)  rest";
  char* cursor = text.data();
  skip_white(cursor);
  EXPECT_STREQ(cursor, "rest");
}

TEST(Dequote, DropsQuotesAndUndoesEscapes) {
  EXPECT_EQ(copy_dequoted(R"("a \"b\" c\\d")"), R"(a "b" c\d)");
  EXPECT_EQ(copy_dequoted("plain text"), "plain text");
  std::string text = R"(x\yz)";
  dequote(text);
  EXPECT_EQ(text, "xyz");
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
