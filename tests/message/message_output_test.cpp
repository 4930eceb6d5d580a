#include "message/message_output.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "message/address_parse.h"
#include "message/content_header.h"
#include "tests/support/log_capture.h"

namespace {

std::unique_ptr<mail_body_part> text_part(const std::string& type, std::uint16_t encoding,
                                          const std::string& text) {
  auto part = mail_new_body_part();
  content_header_parse(part->body, "TYPE", type);
  part->body.encoding = encoding;
  part->body.contents.text = text;
  part->body.bytes = static_cast<std::uint32_t>(text.size());
  return part;
}

// Text without parameters gets the charset, a missing subtype the default;
// parameters are quoted when they must be.
TEST(BodyHeaderWrite, DefaultsFillWhatIsMissingAndParametersAreQuoted) {
  mail_body text, application, file;
  application.type = TYPE_APPLICATION;
  content_header_parse(file, "TYPE", R"(application/octet-stream; name="C:\\docs\\a b.txt"; x=1)");
  file.encoding = ENCODING_BASE64;
  file.id = "<id@x>";
  file.description = "a file";
  std::string header;
  for (const mail_body* body : {&text, &application, &file})
    body_header_write(header, *body);
  EXPECT_EQ(header,
            "Content-Type: TEXT/PLAIN; CHARSET=US-ASCII\r\n"
            "Content-Type: APPLICATION/OCTET-STREAM\r\n"
            "Content-Type: APPLICATION/OCTET-STREAM; NAME=\"C:\\\\docs\\\\a b.txt\"; X=1\r\n"
            "Content-Transfer-Encoding: BASE64\r\nContent-ID: <id@x>\r\n"
            "Content-Description: a file\r\n");
}

TEST(EncodeBody, EightBitAndBinaryBecomeSevenBit) {
  mail_envelope envelope;
  auto eight = text_part("text/plain", ENCODING_8BIT, "caf\xe9\r\n");
  ASSERT_TRUE(rfc822_encode_body(envelope, eight->body));
  EXPECT_EQ(eight->body.encoding, ENCODING_QUOTED_PRINTABLE);
  EXPECT_EQ(eight->body.contents.text, "caf=E9\r\n");
  EXPECT_EQ(eight->body.bytes, 8u);
  auto binary = text_part("image/gif", ENCODING_BINARY, "abc");
  ASSERT_TRUE(rfc822_encode_body(envelope, binary->body));
  EXPECT_EQ(binary->body.encoding, ENCODING_BASE64);
  EXPECT_EQ(binary->body.contents.text, "YWJj\r\n");
  auto seven = text_part("text/plain", ENCODING_7BIT, "plain");
  ASSERT_TRUE(rfc822_encode_body(envelope, seven->body));
  EXPECT_EQ(seven->body.contents.text, "plain");
}

TEST(EncodeBody, MultipartWithoutParametersGetsAFreshBoundary) {
  mail_envelope envelope;
  mail_body body;
  body.type = TYPE_MULTIPART;
  body.subtype = "MIXED";
  body.contents.part = text_part("text/plain", ENCODING_8BIT, "\xff");
  ASSERT_TRUE(rfc822_encode_body(envelope, body));
  ASSERT_TRUE(body.parameter_list);
  EXPECT_EQ(body.parameter_list->attribute, "BOUNDARY");
  EXPECT_TRUE(std::regex_match(*body.parameter_list->value, std::regex(R"(\d+-\d+-\d+=:\d+)")))
      << *body.parameter_list->value;
  EXPECT_EQ(body.contents.part->body.contents.text, "=FF");
  EXPECT_NE(body_boundary_new(), body_boundary_new());
}

TEST(EncodeBody, AnEncodedMessageCannotBeSent) {
  log_capture log;
  mail_envelope envelope;
  mail_body body;
  body.type = TYPE_MESSAGE;
  body.encoding = ENCODING_BASE64;
  bool called = false;
  EXPECT_FALSE(message_output(envelope, &body, [&](std::string_view) { return called = true; }));
  EXPECT_FALSE(called);
  EXPECT_EQ(log.entries(), (std::vector<log_capture::entry>{
                               {"Invalid rfc822_encode_body message encoding", LOG_ERROR}}));
}

TEST(MessageOutput, WritesAWholeMultipartLetter) {
  mail_envelope envelope;
  address_list_parse(envelope.from, "Li <li@x.cn>", "x.cn");
  address_list_parse(envelope.to, "wang@y.cn", "x.cn");
  envelope.subject = "files";
  mail_body body;
  content_header_parse(body, "TYPE", "multipart/mixed; boundary=XYZ");
  body.contents.part = text_part("text/plain; charset=CN-GB", ENCODING_8BIT, "\xc4\xe3\r\n");
  body.contents.part->next =
      text_part("application/octet-stream; name=a.bin", ENCODING_BINARY, std::string("\0\1\2", 3));
  std::string sent;
  int pieces = 0;
  ASSERT_TRUE(message_output(envelope, &body, [&](std::string_view text) {
    sent += text;
    ++pieces;
    return true;
  }));
  EXPECT_EQ(sent,
            "From: Li <li@x.cn>\r\nSubject: files\r\nTo: wang@y.cn\r\nMIME-Version: 1.0\r\n"
            "Content-Type: MULTIPART/MIXED; BOUNDARY=XYZ\r\n\r\n"
            "--XYZ\r\nContent-Type: TEXT/PLAIN; CHARSET=CN-GB\r\n"
            "Content-Transfer-Encoding: QUOTED-PRINTABLE\r\n\r\n=C4=E3\r\n\r\n"
            "--XYZ\r\nContent-Type: APPLICATION/OCTET-STREAM; NAME=\"a.bin\"\r\n"
            "Content-Transfer-Encoding: BASE64\r\n\r\nAAEC\r\n\r\n"
            "--XYZ--\r\n");
  EXPECT_GT(pieces, 1);
}

TEST(MessageOutput, StopsAtTheFirstFailedWrite) {
  mail_envelope envelope;
  envelope.subject = "x";
  mail_body body;
  body.contents.text = "text";
  int calls = 0;
  EXPECT_FALSE(message_output(envelope, &body, [&](std::string_view) {
    ++calls;
    return false;
  }));
  EXPECT_EQ(calls, 1);
}

// Empty contents write nothing, a message writes its text, a multipart
// without a boundary uses "-".
TEST(BodyOutput, WritesWhatTheContentsHold) {
  std::string sent;
  auto collect = [&](std::string_view text) {
    sent += text;
    return true;
  };
  mail_body empty, message, multipart;
  EXPECT_TRUE(body_output(empty, collect));
  EXPECT_EQ(sent, "");
  message.type = TYPE_MESSAGE;
  message.contents.message.text = "Subject: inner\r\n\r\nhi";
  EXPECT_TRUE(body_output(message, collect));
  multipart.type = TYPE_MULTIPART;
  multipart.contents.part = text_part("text/plain", ENCODING_7BIT, "a");
  EXPECT_TRUE(body_output(multipart, collect));
  EXPECT_EQ(sent,
            "Subject: inner\r\n\r\nhi\r\n"
            "---\r\nContent-Type: TEXT/PLAIN; CHARSET=US-ASCII\r\n\r\na\r\n-----\r\n");
}

}  // namespace
