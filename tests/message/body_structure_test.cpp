#include "message/body_structure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "message/content_header.h"
#include "message/envelope_parse.h"
#include "tests/message/summary.h"
#include "tests/support/log_capture.h"
#include "tests/support/message_describe.h"
#include "tests/support/table.h"

namespace {

mail_body parse(const std::string& content_type, const std::string& text,
                const std::string& encoding = "") {
  mail_body body;
  content_header_parse(body, "TYPE", content_type);
  if (!encoding.empty()) content_header_parse(body, "TRANSFER-ENCODING", encoding);
  text_source source;
  text_source_from_memory(source, text);
  body_content_parse(body, source, "local.host");
  return body;
}

// The text of every part, as its offset and byte count say: "[one][two]".
std::string part_texts(const mail_body& body, const std::string& text) {
  std::string texts;
  for (const mail_body_part* part = body.contents.part.get(); part; part = part->next.get())
    texts += "[" + text.substr(part->offset, part->body.bytes) + "]";
  return texts;
}

struct split_row {
  std::string name;
  std::string boundary_parameter;
  std::string text;
  std::string parts;
};

class MultipartSplit : public testing::TestWithParam<split_row> {};

TEST_P(MultipartSplit, FindsThePartsAtTheDelimiterLines) {
  const split_row& row = GetParam();
  mail_body body = parse("multipart/mixed" + row.boundary_parameter, row.text);
  EXPECT_EQ(part_texts(body, row.text), row.parts);
  EXPECT_EQ(body.bytes, row.text.size());
}

const split_row kMultipartSplitRows[] = {
    {"line_feeds", "; boundary=B", "--B\n\none\n--B\n\ntwo\n--B--\n", "[one][two]"},
    {"crlf", "; boundary=B", "--B\r\n\r\none\r\n--B\r\n\r\ntwo\r\n--B--\r\n", "[one][two]"},
    {"lone_carriage_returns", "; boundary=B", "--B\r\rone\r--B\r\rtwo\r--B--", "[one][two]"},
    {"blank_after_boundary_is_no_delimiter", "; boundary=B", "--B\n\none\n--B \ntwo\n--B--\n",
     "[one\n--B \ntwo]"},
    {"without_closing_delimiter_to_the_end", "; boundary=B", "--B\n\none\n--B\n\ntwo\n",
     "[one][two\n]"},
    {"closing_delimiter_at_the_very_end", "; boundary=B", "--B\n\none\n--B--", "[one]"},
    {"closing_delimiter_must_end_its_line", "; boundary=B", "--B\n\none\n--B--x\n--B--\n",
     "[one\n--B--x]"},
    {"preamble_and_epilogue_are_ignored", "; boundary=B",
     "pre\n--B\n\none\n--B--\npost\n--B\n\nnot a part\n", "[one]"},
    {"delimiter_only_at_line_start", "; boundary=B", "--B\n\none --B\n--B--\n", "[one --B]"},
    {"longer_boundary_is_no_delimiter", "; boundary=B", "--B\n\none\n--BB\n--B--\n", "[one\n--BB]"},
    {"empty_part", "; boundary=B", "--B\n--B\n\ntwo\n--B--\n", "[][two]"},
    {"quoted_boundary", "; boundary=\"a b:c\"", "--a b:c\n\none\n--a b:c--\n", "[one]"},
    {"no_boundary_parameter_means_hyphen", "", "---\n\none\n-----\n", "[one]"},
    {"text_no_longer_than_boundary", "; boundary=LONGBOUNDARY", "--LONGBOUNDA", ""},
};
INSTANTIATE_TEST_SUITE_P(Rows, MultipartSplit, testing::ValuesIn(kMultipartSplitRows), row_name());

TEST(MultipartParse, PartHeadersApplyToTheirPart) {
  const std::string text =
      "--B\r\nContent-Type: text/plain;\r\n charset=big5\r\nContent-Transfer-Encoding: "
      "BASE64\r\nX-Other: y\r\n\r\npM6k5Q==\r\n--B\r\ncontent-type: IMAGE/GIF\r\n\r\nGIF89a"
      "\r\n--B\r\n\r\nplain\r\n--B--\r\n";
  mail_body body = parse("multipart/mixed; boundary=B", text);
  EXPECT_EQ(body_tree(body),
            "MULTIPART/MIXED 7BIT BOUNDARY=B 167 0 (TEXT/PLAIN BASE64 CHARSET=big5 8 0, "
            "IMAGE/GIF 7BIT 6 0, TEXT/PLAIN 7BIT CHARSET=US-ASCII 5 0)");
  EXPECT_EQ(body.contents.part->offset, text.find("pM6k"));
}

TEST(MultipartParse, NestedMultipartsKeepOffsetsInTheWholeText) {
  const std::string text =
      "--outer\n\nfirst\n--outer\nContent-Type: multipart/alternative; boundary=inner\n\n"
      "--inner\n\ninner one\n--inner\nContent-Type: text/html\n\n<b>two</b>\n--inner--\n"
      "--outer--\n";
  mail_body body = parse("multipart/mixed; boundary=outer", text);
  ASSERT_TRUE(body.contents.part && body.contents.part->next);
  EXPECT_EQ(part_texts(body.contents.part->next->body, text), "[inner one][<b>two</b>]");
}

TEST(MessageParse, EmbeddedMessageIsParsedWithItsBody) {
  const std::string text =
      "Subject: inner\nFrom: joe@x.test\nMIME-Version: 1.0\nContent-Type: text/html\n\n"
      "<p>hi</p>\nbye\n";
  mail_body body = parse("message/rfc822", text);
  const mail_body::message_contents& message = body.contents.message;
  ASSERT_TRUE(message.envelope);
  EXPECT_EQ(message.envelope->subject, "inner");
  EXPECT_EQ(message.offset, text.find("<p>"));
  EXPECT_EQ(body_tree(body), "MESSAGE/RFC822 7BIT 89 7 (TEXT/HTML 7BIT CHARSET=US-ASCII 14 2)");
  EXPECT_FALSE(message.text);
}

struct content_row {
  std::string name;
  std::string type;
  std::string encoding;
  std::string text;
  std::string tree;
  std::string report = {};  // empty: none
};

class BodyParse : public testing::TestWithParam<content_row> {};

TEST_P(BodyParse, DescribesTheContent) {
  const content_row& row = GetParam();
  log_capture log;
  mail_body body = parse(row.type, row.text, row.encoding);
  EXPECT_EQ(body_tree(body), row.tree);
  EXPECT_FALSE(body.contents.message.envelope);
  EXPECT_EQ(log.entries(), parse_reports(row.report));
}

const content_row kBodyParseRows[] = {
    {"encoded_multipart_is_not_split", "multipart/mixed; boundary=B", "base64",
     "--B\n\none\n--B--\n", "MULTIPART/MIXED BASE64 BOUNDARY=B 15 0",
     "Nested encoding of multipart contents"},
    {"encoded_message_is_not_parsed", "message/rfc822", "quoted-printable", "Subject: x\n\nbody\n",
     "MESSAGE/RFC822 QUOTED-PRINTABLE 17 0", "Nested encoding of message contents"},
    {"other_message_subtypes_only_count_lines", "message/delivery-status", "",
     "Reporting-MTA: dns; x\n\nAction: failed\n", "MESSAGE/DELIVERY-STATUS 7BIT 38 3"},
    {"other_types_get_no_line_count", "application/octet-stream", "", "a\nb\n",
     "APPLICATION/OCTET-STREAM 7BIT 4 0"},
    {"text_with_some_parameter_gets_no_charset", "text/plain; format=flowed", "", "x",
     "TEXT/PLAIN 7BIT FORMAT=flowed 1 0"},
};
INSTANTIATE_TEST_SUITE_P(Rows, BodyParse, testing::ValuesIn(kBodyParseRows), row_name());

// Hostile letters nest without end; past the limit the content stays unsplit.
TEST(BodyParse, DeepNestingIsCutAtTheLimit) {
  std::string text;
  for (int level = 0; level < 5000; ++level) {
    const std::string boundary = "b" + std::to_string(level);
    text += "MIME-Version: 1.0\nContent-Type: " +
            (level % 2 ? "message/rfc822" : "multipart/mixed; boundary=" + boundary) + "\n\n";
    if (level % 2 == 0) text += "--" + boundary + "\n";
  }
  log_capture log;
  text_source source;
  text_source_from_memory(source, text);
  const parsed_letter letter = letter_parse(source, "h");
  int depth = 0;
  const mail_body* current = letter.body.get();
  for (;;) {
    const mail_body* next = current->type == TYPE_MULTIPART && current->contents.part
                                ? &current->contents.part->body
                                : current->contents.message.body.get();
    if (!next) break;
    current = next;
    ++depth;
  }
  EXPECT_EQ(depth, body_nesting_limit);
  EXPECT_EQ(current->type, TYPE_MULTIPART);
  EXPECT_EQ(current->contents.part, nullptr);
  EXPECT_EQ(log.texts(), std::vector<std::string>{"Nesting too deep: contents left unsplit"});
}

class Pieces : public testing::TestWithParam<unsigned> {};

// A file source delivers 4096-byte chunks; the parse must not depend on
// where the chunks end.
TEST_P(Pieces, ParseInPiecesEqualsParseWhole) {
  const std::string letters[] = {
      "From: a@b\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"=_x\"\r\n\r\n"
      "pre\r\n--=_x\r\nContent-Type: text/plain;\r\n\tcharset=gb2312\r\n\r\nline\r\n\r\n--=_x\r"
      "\nContent-Type: message/rfc822\r\n\r\nSubject: in\r\nMIME-Version: 1.0\r\nContent-Type: "
      "multipart/alternative; boundary=y\r\n\r\n--y\r\n\r\none\r\n--y\r\n\r\ntwo\r\n--y--\r\n\r\n"
      "--=_x--\r\nepilogue\r\n",
      "Subject: lone cr\rMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=B\n\n"
      "--B\r\r a\r--B\r\n\r\nb\r--B--",
      "Subject: no body",
      // The last part's header runs to the end: its content begins at the
      // text's size even when the source's last chunk was short.
      "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=B\n\n--B\n\nx\n--B\nX: y",
  };
  for (const std::string& letter : letters)
    EXPECT_EQ(message_describe(letter, GetParam()), message_describe(letter, 0));
}

INSTANTIATE_TEST_SUITE_P(Sizes, Pieces, testing::Values(1u, 2u, 3u, 7u, 4096u));

}  // namespace
