// Conversions between the mail library's records and the letter model, and
// the texts the list and Save make of a letter.

#include <gtest/gtest.h>

#include "message/base64.h"
#include "message/quoted_printable.h"
#include "model/letter_from_mail.h"
#include "model/letter_text.h"
#include "model/letter_to_mail.h"
#include "model/message.h"
#include "model/part.h"
#include "message/base64.h"
#include "message/quoted_printable.h"
#include "platform/display_codec.h"
#include "tests/support/fetched_letter.h"
#include "tests/support/model_letters.h"
#include "tests/support/table.h"

namespace {

CBody converted(const mail_body& body) {
  CBody out;
  EXPECT_TRUE(body_from_mail(body, out));
  return out;
}

std::string converted_shape(const std::string& letter) {
  return model_body_shape(converted(*fetched_letter_parse(letter).body));
}

const std::string kNested =
    "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=o\n\n"
    "--o\n\none\n"
    "--o\nContent-Type: multipart/alternative; boundary=i\n\n--i\n\ntwo.one\n--i\n\ntwo.two\n"
    "--i--\n"
    "--o\n\nthree\n"
    "--o--\n";

// A part, then a letter of two parts.
const std::string kEmbedded =
    "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=o\n\n--o\n\none\n"
    "--o\nContent-Type: message/rfc822\n\nMIME-Version: 1.0\nContent-Type: "
    "multipart/mixed; boundary=m\n\n--m\n\nfour.one\n--m\n\nfour.two\n--m--\n"
    "--o--\n";

struct sections_row {
  std::string name;
  std::string letter;
  std::vector<std::string> sections;
};

class LeafSections : public testing::TestWithParam<sections_row> {};

TEST_P(LeafSections, AreNumberedAsTheServerNumbersThem) {
  EXPECT_EQ(fetched_letter_parse(GetParam().letter).sections, GetParam().sections);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LeafSections,
    testing::Values(
        sections_row{"single_text", "Subject: x\n\nbody\n", {"1"}},
        sections_row{"three_parts_the_second_multipart", kNested, {"1", "2.1", "2.2", "3"}},
        sections_row{"embedded_multipart", kEmbedded, {"1", "2", "2.1", "2.2"}},
        sections_row{"embedded_text_at_the_top",
                     "MIME-Version: 1.0\nContent-Type: message/rfc822\n\nSubject: in\n\ninner\n",
                     {"1", "1.1"}}),
    row_name());

TEST(BodyFromMail, KeepsThePartsInOrderAndNestsMultiparts) {
  EXPECT_EQ(converted_shape(kNested),
            "1/MIXED;BOUNDARY=o (0/PLAIN;CHARSET=US-ASCII \"one\", 1/ALTERNATIVE;BOUNDARY=i "
            "(0/PLAIN;CHARSET=US-ASCII \"two.one\", 0/PLAIN;CHARSET=US-ASCII \"two.two\"), "
            "0/PLAIN;CHARSET=US-ASCII \"three\")");
}

TEST(BodyFromMail, UndoesTransferEncodingsAndHoldsPicturesInABlock) {
  EXPECT_EQ(
      converted_shape(
          "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=b\n\n"
          "--b\nContent-Type: text/plain; charset=CN-GB; name=x.txt\n"
          "Content-Transfer-Encoding: quoted-printable\nContent-ID: <t@h>\n\n=C4=E3=BA=C3 hello\n"
          "--b\nContent-Type: text/plain\nContent-Transfer-Encoding: base64\n\naGVsbG8=\n"
          "--b\nContent-Type: image/gif\nContent-Transfer-Encoding: base64\n\n"
          "R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7\n"
          "--b\nContent-Type: application/octet-stream\nContent-Transfer-Encoding: base64\n\n"
          "not base64 ===\n"
          "--b--\n"),
      "1/MIXED;BOUNDARY=b (0/PLAIN;CHARSET=CN-GB <t@h> \"\xC4\xE3\xBA\xC3 hello\", "
      "0/PLAIN;CHARSET=US-ASCII \"hello\", 5/GIF [" +
          *base64_decode("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7") +
          "], 3/OCTET-STREAM [not base64 ===])");  // text that is not base64 stays
}

TEST(BodyFromMail, AnEmbeddedMessageNamesItsSenderInTheAddress) {
  CBody body = converted(
      *fetched_letter_parse("MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=b\n\n"
                            "--b\nContent-Type: message/rfc822\n\nFrom: Wang Li <wang@pku.edu.cn>\n"
                            "Subject: inner\nDate: Thu, 5 Dec 1996 11:53:20 +0800\n\ninner body\n"
                            "--b\nContent-Type: message/rfc822\n\nSubject: nobody\n\nanonymous\n"
                            "--b--\n")
           .body);
  EXPECT_EQ(model_body_shape(body),
            "1/MIXED;BOUNDARY=b (2/RFC822 {?who <Wang Li> inner, Thu, 5 Dec 1996 11:53:20 +0800: "
            "0/PLAIN;CHARSET=US-ASCII \"inner body\"}, "
            "2/RFC822 { <> nobody, : 0/PLAIN;CHARSET=US-ASCII \"anonymous\"})");
  EXPECT_NE(body.part()->items[0]->body.message()->text.find("Subject: inner"), std::string::npos);
}

TEST(BodyFromMail, ABlockHoldsTheBytesThereAreNotTheAnnouncedSize) {
  mail_body body;
  body.type = TYPE_APPLICATION;
  body.subtype = "OCTET-STREAM";
  body.bytes = 100;  // announced, but no text was fetched
  CBody out = converted(body);
  ASSERT_TRUE(out.huge());
  EXPECT_EQ(out.huge()->size(), 0u);
}

struct encoding_row {
  std::string name;
  std::string text;
  int transfer_mode;
  std::uint16_t encoding;
};

class TextEncoding : public testing::TestWithParam<encoding_row> {};

TEST_P(TextEncoding, FollowsTheTextRule) {
  EXPECT_EQ(text_encoding(GetParam().text, GetParam().transfer_mode), GetParam().encoding);
}

// Twelve bytes of which two are Chinese: exactly a sixth.
const std::string kOneSixth = "abcdefghij\xC4\xE3";

INSTANTIATE_TEST_SUITE_P(
    Rows, TextEncoding,
    testing::Values(
        encoding_row{"ascii_seven_bit", "hello\r\n", 0, ENCODING_7BIT},
        encoding_row{"ascii_eight_bit_mode", "hello\r\n", 1, ENCODING_7BIT},
        encoding_row{"empty", "", 0, ENCODING_7BIT},
        encoding_row{"a_sixth_chinese", kOneSixth, 0, ENCODING_QUOTED_PRINTABLE},
        encoding_row{"more_than_a_sixth", kOneSixth.substr(1), 0, ENCODING_BASE64},
        encoding_row{"chinese_eight_bit_mode", "\xC4\xE3\xBA\xC3", 1, ENCODING_8BIT},
        encoding_row{"network_mode_is_seven_bit", "\xC4\xE3\xBA\xC3", 2, ENCODING_BASE64},
        // A zero byte is not text: it no longer ends the count.
        encoding_row{"zero_byte", std::string("abcdefghijk\0l", 13), 0, ENCODING_QUOTED_PRINTABLE},
        encoding_row{"long_line", std::string(999, 'a') + "\r\n", 0, ENCODING_QUOTED_PRINTABLE},
        encoding_row{"long_line_eight_bit_mode", std::string(999, 'a'), 1,
                     ENCODING_QUOTED_PRINTABLE},
        encoding_row{"longest_line", std::string(998, 'a') + "\r\nb", 0, ENCODING_7BIT}),
    row_name());

TEST(BodyToMail, EncodesTextPicturesAndPartsAndGivesAMultipartItsBoundary) {
  CBody text = text_body("PLAIN", "\xC4\xE3\xBA\xC3 hello world, hello again\r\n", "CN-GB");
  text.parameters->items.push_back(std::make_unique<CParaitem>("NAME", "a b"));
  CBody top = multipart("RELATED", std::move(text),
                        huge_body(TYPE_IMAGE, "BITMAP", std::string("BM\0\x01", 4)));
  top.id = "<top@h>";
  top.parameters = std::make_unique<CParameter>();
  top.parameters->items.push_back(std::make_unique<CParaitem>("TYPE", "text/plain"));

  std::unique_ptr<mail_body> body = body_to_mail(top, 0);
  EXPECT_EQ(body->type, TYPE_MULTIPART);
  EXPECT_EQ(body->subtype, "RELATED");
  EXPECT_EQ(body->id, "<top@h>");
  ASSERT_TRUE(body->parameter_list && body->parameter_list->next);
  EXPECT_EQ(body->parameter_list->attribute, "TYPE");
  EXPECT_EQ(body->parameter_list->next->attribute, "BOUNDARY");
  const mail_body& first = body->contents.part->body;
  EXPECT_EQ(first.encoding, ENCODING_QUOTED_PRINTABLE);
  EXPECT_EQ(*first.contents.text, qprint_encode("\xC4\xE3\xBA\xC3 hello world, hello again\r\n"));
  EXPECT_EQ(first.parameter_list->next->value, "a b");
  const mail_body& second = body->contents.part->next->body;
  EXPECT_EQ(second.encoding, ENCODING_BASE64);
  EXPECT_EQ(base64_decode(*second.contents.text), std::string("BM\0\x01", 4));
  EXPECT_EQ(body->contents.part->next->next, nullptr);
}

TEST(EnvelopeToMail, WritesAnInternalDateAsAnRfc822Date) {
  CEnvelope envelope("subject", " 5-Dec-1996 11:53:20 +0800", nullptr, nullptr, nullptr, nullptr,
                     "");
  EXPECT_EQ(envelope_to_mail(envelope)->date, "Thu, 5 Dec 1996 11:53:20 +0800");
  envelope.date = std::string(14, ' ');  // a composed letter's
  EXPECT_EQ(envelope_to_mail(envelope)->date, std::nullopt);
}

TEST(EnvelopeToMail, ANameThatIsTheAddressIsNoPersonalName) {
  CEnvelope envelope;
  envelope.from = one_address("li@example.cn", "li@example.cn");
  envelope.to = one_address("王", "wang@pku.edu.cn");
  std::unique_ptr<mail_envelope> out = envelope_to_mail(envelope);
  EXPECT_EQ(out->from->personal, std::nullopt);
  EXPECT_EQ(out->from->mailbox, "li");
  EXPECT_EQ(out->from->host, "example.cn");
  EXPECT_EQ(out->to->personal, "王");
}

// A letter written out and parsed again gives back the same decoded parts.
TEST(LetterExport, ReadsBackAsTheSameLetter) {
  fetched_letter original = fetched_letter_parse(
      "From: Wang Li <wang@pku.edu.cn>\nSubject: pictures\nMIME-Version: 1.0\n"
      "Content-Type: multipart/mixed; boundary=b\n\n"
      "--b\nContent-Type: text/plain; charset=CN-GB\nContent-Transfer-Encoding: "
      "quoted-printable\n\n=C4=E3=BA=C3 =C4=E3=BA=C3 =C4=E3=BA=C3\n"
      "--b\nContent-Type: image/gif\nContent-Transfer-Encoding: base64\n\n"
      "R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7\n"
      "--b--\n");
  CAletter letter(
      CFlags(1, "N  "),
      CEnvelope("pictures", " 5-Dec-1996 11:53:20 +0800", one_address("Wang Li", "wang@pku.edu.cn"),
                nullptr, nullptr, nullptr, ""),
      converted(*original.body));
  std::string text;
  ASSERT_TRUE(letter_rfc822_text(letter, 0, text));
  EXPECT_NE(text.find("From: Wang Li <wang@pku.edu.cn>\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Date: Thu, 5 Dec 1996 11:53:20 +0800\r\n"), std::string::npos) << text;
  fetched_letter again = fetched_letter_parse(text);
  CBody back = converted(*again.body);
  const CPart& parts = *back.part();
  ASSERT_EQ(parts.items.size(), 2u);
  EXPECT_EQ(parts.items[0]->body.text, letter.body.part()->items[0]->body.text);
  EXPECT_EQ(parts.items[1]->body.huge()->bytes(),
            letter.body.part()->items[1]->body.huge()->bytes());
}

// A letter of the list; without an address, from nobody.
std::unique_ptr<CAletter> listed(std::string status, std::string date, std::string address,
                                 std::uint32_t size, std::string subject, std::string name = "") {
  auto letter = listed_letter(status, size, date, name, address, subject);
  if (address.empty()) letter->envelope.from.reset();
  return letter;
}

TEST(ListLine, HasItsFieldsInTheirPlaces) {
  EXPECT_EQ(letter_list_line(
                *listed("N  ", " 5-Dec-1996 11:53:20 +0800", "li@x", 1234, "hello", "Li"), 0),
            "N   1  5-Dec-1996 Li" + std::string(35 - 20, ' ') + " ( 1234) hello");
}

struct mark_row {
  std::string name;
  std::string status;
  char mark;
};

class ListMark : public testing::TestWithParam<mark_row> {};

TEST_P(ListMark, ShowsTheStrongestStatus) {
  EXPECT_EQ(letter_list_line(*listed(GetParam().status, "", "", 0, ""), 0)[0], GetParam().mark);
}

INSTANTIATE_TEST_SUITE_P(Rows, ListMark,
                         testing::Values(mark_row{"new", "N  ", 'N'}, mark_row{"read", "   ", ' '},
                                         mark_row{"answered", "NA ", 'A'},
                                         mark_row{"answered_and_deleted", " AD", 'D'},
                                         mark_row{"short_status", "N", 'N'},
                                         mark_row{"empty_status", "", ' '}),
                         row_name());

TEST(ListLine, CutsLongFieldsAndNamesAMissingSender) {
  auto letter = listed("   ", "12-Dec-1996 11:53:20 +0800", "", 123456, std::string(100, 's'));
  EXPECT_EQ(letter_list_line(*letter, 122),
            "  123 12-Dec-1996 某人" + std::string(11, ' ') + " (123456) " + std::string(90, 's'));
  auto nameless = listed("N  ", "", "someone.with.a.long.name@x", 1, "");
  EXPECT_EQ(letter_sender(*nameless), "someone.with.a.long.name@x");
  EXPECT_EQ(letter_list_line(*nameless, 0),
            "N   1  someone.with.a.l" + std::string(13, ' ') + "(    1) ");
}

TEST(DisplayText, ShowsHeadersAndTheTextsThePlatformCanShow) {
  CAletter letter(CFlags(1, "N  "),
                  CEnvelope("hi", " 5-Dec-1996", one_address("Li", "li@x"), one_address("", "a@x"),
                            nullptr, nullptr, ""),
                  multipart("MIXED", text_body("PLAIN", "CN-GB text", "CN-GB"),
                            text_body("PLAIN", "cn-big5 text", "cn-big5")));
  EXPECT_EQ(
      display_codec(1).to_utf8(letter_display_text(letter, 1)),
      "发信人   : li@x\r\n日期     :  5-Dec-1996\r\n收信人   : a@x\r\n题目     : hi\r\n"
      "Mime-版本: 1.0\r\n"
      "内容类型 : 多报文/MIXED\r\n"
      "---------------- 多报文分界 -----------------\r\n"
      "内容类型 : 文本/PLAIN; CHARSET=CN-GB\r\n\r\nCN-GB text\r\n\r\n"
      "---------------- 多报文分界 -----------------\r\n"
      "内容类型 : 文本/PLAIN; CHARSET=cn-big5\r\n\r\n>> 文本 双击此行来保存或显示 <<\r\n\r\n");
}

TEST(LetterSection, FindsPartsByTheirNumbers) {
  fetched_letter parsed = fetched_letter_parse(kEmbedded);
  CBody body = converted(*parsed.body);
  ASSERT_TRUE(letter_section(body, "1"));
  EXPECT_EQ(letter_section(body, "1")->text, "one");
  EXPECT_EQ(letter_section(body, "2")->type, TYPE_MESSAGE);
  EXPECT_EQ(letter_section(body, "2.2")->text, "four.two");
  for (std::string missing : {"3", "0", "1.1", "2.3", "", "x", "2."})
    EXPECT_EQ(letter_section(body, missing), nullptr) << missing;
}

}  // namespace
