#include "message/header_write.h"

#include <gtest/gtest.h>

#include <string>

#include "message/address_parse.h"
#include "tests/support/table.h"

namespace {

std::unique_ptr<mail_address> addresses(const std::string& text) {
  std::unique_ptr<mail_address> list;
  address_list_parse(list, text, "default.host");
  return list;
}

struct line_row {
  std::string name;
  std::string addresses;
  std::string header_line;  // address_header_line with "To"
  std::string plain;        // address_list_write
};

class AddressWriting : public testing::TestWithParam<line_row> {};

TEST_P(AddressWriting, WritesHeaderLineAndPlainList) {
  const line_row& row = GetParam();
  auto list = addresses(row.addresses);
  mail_envelope envelope;
  std::string line = "X: y\r\n";  // appends after what the buffer holds
  address_header_line(line, "To", envelope, list.get());
  EXPECT_EQ(line, "X: y\r\n" + row.header_line);
  std::string plain;
  address_list_write(plain, list.get());
  EXPECT_EQ(plain, row.plain);
}

const line_row kAddressWritingRows[] = {
    {"bare", "a@b.test", "To: a@b.test\r\n", "a@b.test"},
    {"name_and_address", "Joe Smith <joe@x.test>", "To: Joe Smith <joe@x.test>\r\n",
     "Joe Smith <joe@x.test>"},
    {"name_with_dot_is_quoted", "\"Joe Q. Public\" <jqp@x.test>",
     "To: \"Joe Q. Public\" <jqp@x.test>\r\n", "\"Joe Q. Public\" <jqp@x.test>"},
    {"quotes_in_name_are_escaped", R"("a \"b\" c" <d@e.test>)",
     "To: \"a \\\"b\\\" c\" <d@e.test>\r\n", "\"a \\\"b\\\" c\" <d@e.test>"},
    {"local_part_with_blank_is_quoted", "\"john smith\"@x.test", "To: \"john smith\"@x.test\r\n",
     "\"john smith\"@x.test"},
    {"route_without_name", "<@r1,@r2:joe@x.test>", "To:  <@r1,@r2:joe@x.test>\r\n",
     " <@r1,@r2:joe@x.test>"},
    {"several", "a@b.test, Joe <c@d.test>", "To: a@b.test, Joe <c@d.test>\r\n",
     "a@b.test, Joe <c@d.test>"},
    {"group_members_are_hidden_in_headers",
     "A Group: Ed Jones <c@a.test>, joe@where.test;, x@y.test", "To: A Group: ;, x@y.test\r\n",
     "A Group: Ed Jones <c@a.test>, joe@where.test;, x@y.test"},
    {"group_name_with_dot_is_quoted", "a.b: ;", "To: \"a.b\": ;\r\n", "\"a.b\": ;"},
    {"fold_before_the_piece_past_column_78",
     "aaaaaaaaa1@example.com, aaaaaaaaa2@example.com, aaaaaaaaa3@example.com, "
     "aaaaaaaaa4@example.com, aaaaaaaaa5@example.com",
     "To: aaaaaaaaa1@example.com, aaaaaaaaa2@example.com, aaaaaaaaa3@example.com, "
     "\r\n    aaaaaaaaa4@example.com, aaaaaaaaa5@example.com\r\n",
     "aaaaaaaaa1@example.com, aaaaaaaaa2@example.com, aaaaaaaaa3@example.com, "
     "aaaaaaaaa4@example.com, aaaaaaaaa5@example.com"},
    {"empty_list_writes_nothing", "", "", ""},
    // Any length fits: nothing is cut or overrun.
    {"very_long_name_is_written_whole", std::string(5000, 'n') + " <a@b.test>",
     "To: \r\n    " + std::string(5000, 'n') + " <a@b.test>\r\n",
     std::string(5000, 'n') + " <a@b.test>"},
};
INSTANTIATE_TEST_SUITE_P(Rows, AddressWriting, testing::ValuesIn(kAddressWritingRows), row_name());

// A host beginning with "@" stands for none; a group start writes nothing.
TEST(AddressWriting, HostBeginningWithAtStandsForNoHost) {
  mail_address address;
  address.mailbox = "undisclosed";
  address.host = "@missing";
  std::string text;
  address_write(text, address);
  address.host.reset();
  address_write(text, address);
  EXPECT_EQ(text, "undisclosed");
  quoted_append(text, "plain", phrase_specials);
  quoted_append(text, " a\\b", phrase_specials);
  EXPECT_EQ(text, "undisclosedplain\" a\\\\b\"") << "quoted only when a special is present";
}

TEST(HeaderWrite, FieldsInOrderWithoutBcc) {
  mail_envelope envelope;
  envelope.newsgroups = "comp.mail";
  envelope.date = "Thu, 5 Dec 1996 11:53:20 +0800";
  envelope.from = addresses("Li <li@x.cn>");
  envelope.sender = addresses("s@x.cn");
  envelope.reply_to = addresses("r@x.cn");
  envelope.subject = "hello";
  envelope.to = addresses("t@y.cn");
  envelope.cc = addresses("c@y.cn");
  envelope.bcc = addresses("secret@y.cn");
  envelope.in_reply_to = "<q@y.cn>";
  envelope.message_id = "<m@x.cn>";
  envelope.return_path = addresses("li@x.cn");
  EXPECT_EQ(header_write(envelope, nullptr),
            "Newsgroups: comp.mail\r\nDate: Thu, 5 Dec 1996 11:53:20 +0800\r\n"
            "From: Li <li@x.cn>\r\nSender: s@x.cn\r\nReply-To: r@x.cn\r\nSubject: hello\r\n"
            "To: t@y.cn\r\ncc: c@y.cn\r\nIn-Reply-To: <q@y.cn>\r\nMessage-ID: <m@x.cn>\r\n\r\n");
}

TEST(HeaderWrite, ResentHeaderComesFirstAndFieldsAreReSent) {
  mail_envelope envelope;
  envelope.resent_header = "From: a@b\r\nSubject: old\r\n\r\n";
  envelope.to = addresses("next@c.test");
  mail_body body;
  EXPECT_EQ(header_write(envelope, &body),
            "From: a@b\r\nSubject: old\r\nReSent-To: next@c.test\r\n\r\n");
  envelope.resent_header = "From: a@b\r\n";
  EXPECT_EQ(header_write(envelope, nullptr), "From: a@b\r\nReSent-To: next@c.test\r\n\r\n");
}

}  // namespace
