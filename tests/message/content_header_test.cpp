#include "message/content_header.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "message/body_names.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

std::string parameters(const mail_body& body) {
  std::string shown;
  for (const mail_parameter* p = body.parameter_list.get(); p; p = p->next.get())
    shown += p->attribute.value_or("-") + "=" + p->value.value_or("-") + ";";
  return shown;
}

struct type_row {
  std::string name;
  std::string value;
  std::uint16_t type;
  std::string subtype;
  std::string parameters;
  std::vector<std::string> reports;
};

class ContentType : public testing::TestWithParam<type_row> {};

TEST_P(ContentType, ParsesTypeSubtypeAndParameters) {
  const type_row& row = GetParam();
  log_capture log;
  mail_body body;
  content_header_parse(body, "TYPE", row.value);
  EXPECT_EQ(body.type, row.type);
  EXPECT_EQ(body.subtype.value_or("-"), row.subtype);
  EXPECT_EQ(parameters(body), row.parameters);
  EXPECT_EQ(log.texts(), row.reports);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ContentType,
    testing::Values(
        type_row{"simple", "text/html", TYPE_TEXT, "HTML", "", {}},
        type_row{"upper_cased",
                 "Multipart/Alternative; Boundary=abc",
                 TYPE_MULTIPART,
                 "ALTERNATIVE",
                 "BOUNDARY=abc;",
                 {}},
        type_row{"quoted_value_loses_quotes",
                 R"(application/pdf; name="a \"b\" c.pdf")",
                 TYPE_APPLICATION,
                 "PDF",
                 R"(NAME=a "b" c.pdf;)",
                 {}},
        type_row{"comments_and_blanks",
                 "image (picture) / (kind) gif ; x = 1",
                 TYPE_IMAGE,
                 "GIF",
                 "X=1;",
                 {}},
        type_row{"missing_subtype_gets_the_default", "audio", TYPE_AUDIO, "BASIC", "", {}},
        type_row{"missing_subtype_after_slash", "message/", TYPE_MESSAGE, "RFC822", "", {}},
        type_row{"attribute_without_value",
                 "text/plain; format",
                 TYPE_TEXT,
                 "PLAIN",
                 "FORMAT=UNKNOWN;",
                 {}},
        type_row{"equals_without_value",
                 "text/plain; charset=",
                 TYPE_TEXT,
                 "PLAIN",
                 "CHARSET=UNKNOWN;",
                 {"Missing parameter value: CHARSET"}},
        type_row{"semicolon_without_parameter",
                 "text/plain;",
                 TYPE_TEXT,
                 "PLAIN",
                 "",
                 {"Missing parameter"}},
        type_row{"trailing_semicolon_after_parameter",
                 "text/plain; a=1;",
                 TYPE_TEXT,
                 "PLAIN",
                 "A=1;",
                 {"Missing parameter value: A"}},
        type_row{"junk_after_parameters",
                 "text/plain; a=1 junk",
                 TYPE_TEXT,
                 "PLAIN",
                 "A=1;",
                 {"Junk at end of parameters: junk"}},
        type_row{"no_token_changes_nothing", " ; a=1", TYPE_TEXT, "-", "", {}}),
    row_name());

TEST(ContentHeader, TheFirstOfEachFieldWins) {
  mail_body body;
  content_header_parse(body, "TYPE", "image/png");
  content_header_parse(body, "TYPE", "text/html");
  content_header_parse(body, "ID", "<one@x>");
  content_header_parse(body, "ID", "<two@x>");
  content_header_parse(body, "DESCRIPTION", "first");
  content_header_parse(body, "DESCRIPTION", "second");
  content_header_parse(body, "DISPOSITION", "attachment");
  EXPECT_EQ(body.type, TYPE_IMAGE);
  EXPECT_EQ(body.subtype, "PNG");
  EXPECT_EQ(body.id, "<one@x>");
  EXPECT_EQ(body.description, "first");
}

TEST(ContentHeader, TransferEncodingIsUpperCasedAndCutAtABlank) {
  mail_body body;
  content_header_parse(body, "TRANSFER-ENCODING", "quoted-printable (comment)");
  EXPECT_EQ(body.encoding, ENCODING_QUOTED_PRINTABLE);
  content_header_parse(body, "TRANSFER-ENCODING", "Base64");
  EXPECT_EQ(body.encoding, ENCODING_BASE64);
}

TEST(ContentHeader, AnEmptyTransferEncodingTakesNoSlot) {
  mail_body body;
  const std::size_t free_before =
      std::count(body_encoding_names().begin(), body_encoding_names().end(), std::nullopt);
  content_header_parse(body, "TRANSFER-ENCODING", "");
  EXPECT_EQ(body.encoding, ENCODING_7BIT);
  EXPECT_EQ(std::count(body_encoding_names().begin(), body_encoding_names().end(), std::nullopt),
            static_cast<std::ptrdiff_t>(free_before));
}

TEST(ContentHeader, AnUntouchedBodyTakesALaterType) {
  mail_body body;
  content_header_parse(body, "TYPE", "(only a comment)");
  content_header_parse(body, "TYPE", "video/mpeg");
  EXPECT_EQ(body.type, TYPE_VIDEO);
}

}  // namespace
