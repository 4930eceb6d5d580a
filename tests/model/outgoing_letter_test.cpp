#include "model/outgoing_letter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model/address.h"
#include "model/parameter.h"
#include "tests/support/table.h"

namespace {

using testing::HasSubstr;
using testing::Not;

constexpr std::time_t kNoon = 850000000;  // Dec 1996

compose_settings settings(std::string label = "CN-GB", long transfer_mode = 0) {
  return {"李华",           "li@mail.pku.edu.cn", "li@pku.edu.cn", "smtp.pku.edu.cn",
          std::move(label), transfer_mode};
}

compose_form form(std::string body = "你好\n再见") {
  compose_form typed;
  typed.subject = "问候";
  typed.from = "li@pku.edu.cn";
  typed.to = "wang";
  typed.body = std::move(body);
  return typed;
}

std::optional<outgoing_letter> build(const compose_form& typed, const compose_settings& set,
                                     std::string* problem = nullptr) {
  compose_problem found;
  std::optional<outgoing_letter> letter = outgoing_letter_build(typed, set, {}, kNoon, found);
  if (problem) *problem = found.message;
  return letter;
}

std::string text_of(const compose_form& typed, const compose_settings& set) {
  std::optional<outgoing_letter> letter = build(typed, set);
  return letter ? outgoing_letter_text(*letter) : "(not built)";
}

TEST(OutgoingLetter, ATextAloneIsOnePlainPartInTheLabelsCharset) {
  std::optional<outgoing_letter> letter = build(form(), settings());
  ASSERT_TRUE(letter);
  const CBody& body = letter->out_copy->body;
  EXPECT_EQ(body.type, TYPE_TEXT);
  EXPECT_EQ(body.text, "\xC4\xE3\xBA\xC3\r\n\xD4\xD9\xBC\xFB");
  ASSERT_TRUE(body.parameters);
  EXPECT_EQ(body.parameters->items[0]->value, "CN-GB");
  EXPECT_THAT(body.id, testing::MatchesRegex("<Velmar\\.1\\.00\\.961207[0-9]{4}[A-Z]*->wang>"));
  std::string text = outgoing_letter_text(*letter);
  EXPECT_THAT(text, HasSubstr("Content-Type: TEXT/plain; charset=CN-GB\r\n"));
  EXPECT_THAT(text, HasSubstr("\r\nSubject: =?CN-GB?B?zsq68g==?=\r\n"));
  EXPECT_THAT(text, HasSubstr("\r\nFrom: =?CN-GB?B?wO67qg==?= <li@mail.pku.edu.cn>\r\n"));
  EXPECT_THAT(text, testing::ContainsRegex("\r\nMessage-ID: <Velmar\\.1\\.00\\.[0-9]{12}\\.[0-9]+@"
                                           "mail\\.pku\\.edu\\.cn>\r\n"));
}

// The transfer encoding of the text by its bytes and the transfer setting.
struct encoding_row {
  std::string name;
  std::string body;
  long transfer_mode;
  std::string encoding_line;  // "" for none (7BIT)
};

class TextEncoding : public testing::TestWithParam<encoding_row> {};

TEST_P(TextEncoding, FollowsTheShareOfEightBitBytes) {
  const encoding_row& row = GetParam();
  std::string text = text_of(form(row.body), settings("CN-GB", row.transfer_mode));
  if (row.encoding_line.empty()) {
    EXPECT_THAT(text, Not(HasSubstr("Content-Transfer-Encoding")));
  } else {
    EXPECT_THAT(text, HasSubstr("\r\nContent-Transfer-Encoding: " + row.encoding_line + "\r\n"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TextEncoding,
    testing::Values(encoding_row{"AsciiUnderSevenBit", "hello", 0, ""},
                    encoding_row{"AsciiUnderEightBit", "hello", 1, ""},
                    encoding_row{"MostlyChineseUnderSevenBit", "你好", 0, "BASE64"},
                    encoding_row{"ASixthChineseUnderSevenBit", "0123456789中", 0,
                                 "QUOTED-PRINTABLE"},
                    // HELO announces no 8-bit transport, so 8-bit text still
                    // travels quoted.
                    encoding_row{"ChineseUnderEightBit", "你好", 1, "QUOTED-PRINTABLE"}),
    row_name());

TEST(OutgoingLetter, RecipientsGetTheAccountsHostAndBccStaysOutOfTheHeader) {
  compose_form typed = form();
  typed.to = "wang, 张三 <zhang@x.cn>";
  typed.cc = "zhao@y.cn";
  typed.bcc = "secret";
  std::optional<outgoing_letter> letter = build(typed, settings());
  ASSERT_TRUE(letter);
  const mail_envelope& envelope = *letter->envelope;
  EXPECT_EQ(envelope.to->host, "pku.edu.cn");
  EXPECT_EQ(envelope.return_path->mailbox, "li");
  EXPECT_EQ(envelope.return_path->host, "mail.pku.edu.cn");
  ASSERT_TRUE(envelope.bcc);
  EXPECT_EQ(envelope.bcc->mailbox, "secret");
  std::string text = outgoing_letter_text(*letter);
  EXPECT_THAT(text, HasSubstr("\r\nTo: wang@pku.edu.cn, =?CN-GB?B?1cXI/Q==?= <zhang@x.cn>\r\n"));
  EXPECT_THAT(text, HasSubstr("\r\ncc: zhao@y.cn\r\n"));
  EXPECT_THAT(text, Not(HasSubstr("secret")));
}

TEST(OutgoingLetter, TheOutCopy) {
  std::optional<outgoing_letter> letter = build(form(), settings());
  ASSERT_TRUE(letter);
  const CAletter& copy = *letter->out_copy;
  EXPECT_EQ(copy.flags.status, "N  ");
  EXPECT_EQ(copy.flags.size, copy.body.text.size());
  EXPECT_EQ(copy.envelope.date, std::string(14, ' '));
  EXPECT_EQ(copy.envelope.subject, "=?CN-GB?B?zsq68g==?=");
  ASSERT_TRUE(copy.envelope.from);
  EXPECT_EQ(copy.envelope.from->items[0]->name, "=?CN-GB?B?wO67qg==?=");
  EXPECT_EQ(copy.envelope.from->items[0]->address, "li@pku.edu.cn");
  EXPECT_FALSE(copy.envelope.to);
  EXPECT_EQ(copy.envelope.message_id, letter->envelope->message_id);
}

// An attached file travels under its own name, whatever folder it lies in.
struct attachment_row {
  std::string name;
  std::string file_name;
  std::string header;
};

class AttachmentName : public testing::TestWithParam<attachment_row> {};

TEST_P(AttachmentName, IsTheFilesOwnNameInAscii) {
  const attachment_row& row = GetParam();
  const std::string folder = testing::TempDir() + "attach_" + row.name;
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/" + row.file_name;
  std::ofstream(path, std::ios::binary) << "%PDF";
  compose_form typed = form();
  typed.attachments = {path};
  std::string text = text_of(typed, settings());
  EXPECT_THAT(text,
              HasSubstr("Content-Type: APPLICATION/Octet-Stream; NAME=" + row.header + "\r\n"));
  EXPECT_THAT(text, Not(HasSubstr(folder)));
  std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AttachmentName,
    testing::Values(attachment_row{"Ascii", "report.pdf", "\"report.pdf\""},
                    attachment_row{"Blank", "my report.pdf", "\"my report.pdf\""},
                    attachment_row{"Chinese", "报告.pdf", "\"=?UTF-8?B?5oql5ZGKLnBkZg==?=\""}),
    row_name());

// What keeps a letter from going.
struct problem_row {
  std::string name;
  compose_form typed;
  std::string label;
  std::string problem;
};

compose_form with_body(std::string body) {
  return form(std::move(body));
}
compose_form with_to(std::string to) {
  compose_form typed = form();
  typed.to = std::move(to);
  return typed;
}
compose_form with_file(std::string path) {
  compose_form typed = form();
  typed.attachments = {std::move(path)};
  return typed;
}

class Problem : public testing::TestWithParam<problem_row> {};

TEST_P(Problem, IsToldAndNothingIsBuilt) {
  const problem_row& row = GetParam();
  std::string problem;
  EXPECT_FALSE(build(row.typed, settings(row.label), &problem));
  EXPECT_EQ(problem, row.problem);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Problem,
    testing::Values(problem_row{"CharactersTheCharsetLacks", with_body("體育 and 體"), "CN-GB",
                                "这些字符不能用 CN-GB 写出: 體"},
                    problem_row{"NoLabelMeansAscii", with_body("问"), "",
                                "这些字符不能用 US-ASCII 写出: 问 李 华 候"},
                    problem_row{"AnAddressBeyondAscii", with_to("王@x.cn"), "CN-GB",
                                "地址中只能有 ASCII 字符: 王@x.cn"},
                    problem_row{"AFileThatCannotBeRead", with_file("/nonexistent/a"), "CN-GB",
                                "不能读文件 /nonexistent/a"}),
    row_name());

// What the user is told after sending.
struct told_row {
  std::string name;
  send_result result;
  std::string message;
};

class SendMessage : public testing::TestWithParam<told_row> {};

TEST_P(SendMessage, SaysWhyTheLetterDidNotGo) {
  EXPECT_EQ(send_result_message(GetParam().result), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SendMessage,
    testing::Values(
        told_row{"Sent", {send_outcome::sent, "250 ok", {"noise"}}, " 发信成功! "},
        told_row{"RefusedWithTheServersWordsAlone",
                 {send_outcome::refused,
                  "535 5.7.8 Authentication credentials invalid",
                  {"Can't connect to localhost,25: Refused (111)"}},
                 " 发信失败 \n535 5.7.8 Authentication credentials invalid"},
        told_row{
            "NoHostWithEveryReportOnce",
            {send_outcome::no_host,
             "421 TLS with the server failed",
             {"Certificate of mail.example.cn refused: expired",
              "Certificate of mail.example.cn refused: expired", "Can't connect to localhost"}},
            " 不能连接主机 \n421 TLS with the server failed\nCertificate of mail.example.cn "
            "refused: expired\nCan't connect to localhost"},
        told_row{"NoHostAnswered", {send_outcome::no_host, "", {}}, " 不能连接主机 "}),
    row_name());

}  // namespace
