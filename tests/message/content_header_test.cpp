#include "message/content_header.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "message/body_names.h"
#include "tests/message/summary.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

struct type_row {
  std::string name;
  std::string value;
  std::string body;
  std::string report = {};  // empty: none
};

class ContentType : public testing::TestWithParam<type_row> {};

TEST_P(ContentType, ParsesTypeSubtypeAndParameters) {
  const type_row& row = GetParam();
  log_capture log;
  mail_body body;
  content_header_parse(body, "TYPE", row.value);
  EXPECT_EQ(body_summary(body), row.body);
  EXPECT_EQ(log.entries(), parse_reports(row.report));
}

const type_row kContentTypeRows[] = {
    {"simple", "text/html", "TEXT/HTML 7BIT"},
    {"upper_cased", "Multipart/Alternative; Boundary=abc",
     "MULTIPART/ALTERNATIVE 7BIT BOUNDARY=abc"},
    {"quoted_value_loses_quotes", R"(application/pdf; name="a \"b\" c.pdf")",
     R"(APPLICATION/PDF 7BIT NAME=a "b" c.pdf)"},
    {"comments_and_blanks", "image (picture) / (kind) gif ; x = 1", "IMAGE/GIF 7BIT X=1"},
    {"missing_subtype_gets_the_default", "audio", "AUDIO/BASIC 7BIT"},
    {"missing_subtype_after_slash", "message/", "MESSAGE/RFC822 7BIT"},
    {"attribute_without_value", "text/plain; format", "TEXT/PLAIN 7BIT FORMAT=UNKNOWN"},
    {"equals_without_value", "text/plain; charset=", "TEXT/PLAIN 7BIT CHARSET=UNKNOWN",
     "Missing parameter value: CHARSET"},
    {"semicolon_without_parameter", "text/plain;", "TEXT/PLAIN 7BIT", "Missing parameter"},
    {"trailing_semicolon_after_parameter", "text/plain; a=1;", "TEXT/PLAIN 7BIT A=1",
     "Missing parameter value: A"},
    {"junk_after_parameters", "text/plain; a=1 junk", "TEXT/PLAIN 7BIT A=1",
     "Junk at end of parameters: junk"},
    {"no_token_changes_nothing", " ; a=1", "TEXT/- 7BIT"},
};
INSTANTIATE_TEST_SUITE_P(Rows, ContentType, testing::ValuesIn(kContentTypeRows), row_name());

struct fields_row {
  std::string name;
  std::vector<std::pair<std::string, std::string>> fields;
  std::string body;
};

class ContentFields : public testing::TestWithParam<fields_row> {};

TEST_P(ContentFields, FillTheBody) {
  mail_body body;
  for (const auto& [field, value] : GetParam().fields)
    content_header_parse(body, field, value);
  EXPECT_EQ(body_summary(body), GetParam().body);
}

const fields_row kContentFieldsRows[] = {
    {"the_first_of_each_field_wins",
     {{"TYPE", "image/png"},
      {"TYPE", "text/html"},
      {"ID", "<one@x>"},
      {"ID", "<two@x>"},
      {"DESCRIPTION", "first"},
      {"DESCRIPTION", "second"},
      {"DISPOSITION", "attachment"}},
     "IMAGE/PNG 7BIT id=<one@x> description=first"},
    {"transfer_encoding_upper_cased_and_cut_at_a_blank",
     {{"TRANSFER-ENCODING", "quoted-printable (comment)"}},
     "TEXT/- QUOTED-PRINTABLE"},
    {"a_later_transfer_encoding_replaces_it",
     {{"TRANSFER-ENCODING", "quoted-printable"}, {"TRANSFER-ENCODING", "Base64"}},
     "TEXT/- BASE64"},
    {"an_untouched_body_takes_a_later_type",
     {{"TYPE", "(only a comment)"}, {"TYPE", "video/mpeg"}},
     "VIDEO/MPEG 7BIT"},
};
INSTANTIATE_TEST_SUITE_P(Rows, ContentFields, testing::ValuesIn(kContentFieldsRows), row_name());

TEST(ContentHeader, AnEmptyTransferEncodingTakesNoSlot) {
  mail_body body;
  auto free_slots = [] {
    return std::count(body_encoding_names().begin(), body_encoding_names().end(), std::nullopt);
  };
  const auto free_before = free_slots();
  content_header_parse(body, "TRANSFER-ENCODING", "");
  EXPECT_EQ(body.encoding, ENCODING_7BIT);
  EXPECT_EQ(free_slots(), free_before);
}

}  // namespace
