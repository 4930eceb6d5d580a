#include "message/body_section.h"

#include <gtest/gtest.h>

#include <string>

#include "message/envelope_parse.h"
#include "tests/support/table.h"

namespace {

const std::string kNested =
    "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=o\n\n"
    "--o\n\none\n"
    "--o\nContent-Type: multipart/alternative; boundary=i\n\n--i\n\ntwo.one\n--i\n\ntwo.two\n"
    "--i--\n"
    "--o\nContent-Type: message/rfc822\n\nSubject: three\n\nthree.one\n"
    "--o\nContent-Type: message/rfc822\n\nMIME-Version: 1.0\nContent-Type: multipart/mixed; "
    "boundary=m\n\n--m\n\nfour.one\n--m\n\nfour.two\n--m--\n"
    "--o--\n";
const std::string kSingle = "Subject: x\n\nthe text\n";

struct section_row {
  std::string name;
  const std::string& letter;
  std::string section;
  std::string text;  // "none" when there is no such section
};

class BodySection : public testing::TestWithParam<section_row> {};

TEST_P(BodySection, FindsTheTextOfASection) {
  const section_row& row = GetParam();
  text_source source;
  text_source_from_memory(source, row.letter);
  const parsed_letter letter = letter_parse(source, "h");
  auto place = body_section_find(*letter.body, letter.body_offset, row.section);
  EXPECT_EQ(place ? row.letter.substr(place->offset, place->body->bytes) : "none", row.text);
}

const section_row kBodySectionRows[] = {
    {"first_part", kNested, "1", "one"},
    {"nested_part", kNested, "2.2", "two.two"},
    {"multipart_itself_is_no_section", kNested, "2", "none"},
    {"whole_embedded_message", kNested, "3", "Subject: three\n\nthree.one"},
    {"embedded_message_body", kNested, "3.1", "three.one"},
    {"embedded_message_text_has_only_part_one", kNested, "3.2", "none"},
    {"embedded_multipart_parts", kNested, "4.2", "four.two"},
    {"past_the_last_part", kNested, "5", "none"},
    {"zero", kNested, "0", "none"},
    {"empty", kNested, "", "none"},
    {"trailing_dot", kNested, "1.", "none"},
    {"letters", kNested, "1a", "none"},
    {"second_part_of_a_text", kNested, "1.2", "none"},
    {"single_part_is_section_one", kSingle, "1", "the text\n"},
    {"single_part_has_no_section_two", kSingle, "2", "none"},
};
INSTANTIATE_TEST_SUITE_P(Rows, BodySection, testing::ValuesIn(kBodySectionRows), row_name());

}  // namespace
