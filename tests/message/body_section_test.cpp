#include "message/body_section.h"

#include <gtest/gtest.h>

#include <string>

#include "message/envelope_parse.h"
#include "tests/support/table.h"

namespace {

const std::string kLetter =
    "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=o\n\n"
    "--o\n\none\n"
    "--o\nContent-Type: multipart/alternative; boundary=i\n\n--i\n\ntwo.one\n--i\n\ntwo.two\n"
    "--i--\n"
    "--o\nContent-Type: message/rfc822\n\nSubject: three\n\nthree.one\n"
    "--o\nContent-Type: message/rfc822\n\nMIME-Version: 1.0\nContent-Type: multipart/mixed; "
    "boundary=m\n\n--m\n\nfour.one\n--m\n\nfour.two\n--m--\n"
    "--o--\n";

struct section_row {
  std::string name;
  std::string section;
  std::string text;  // "none" when there is no such section
};

class BodySection : public testing::TestWithParam<section_row> {};

TEST_P(BodySection, FindsTheTextOfASection) {
  const section_row& row = GetParam();
  text_source source;
  text_source_from_memory(source, kLetter);
  const parsed_letter letter = letter_parse(source, "h");
  auto place = body_section_find(*letter.body, letter.body_offset, row.section);
  EXPECT_EQ(place ? kLetter.substr(place->offset, place->body->bytes) : "none", row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BodySection,
    testing::Values(section_row{"first_part", "1", "one"},
                    section_row{"nested_part", "2.2", "two.two"},
                    section_row{"multipart_itself_is_no_section", "2", "none"},
                    section_row{"whole_embedded_message", "3", "Subject: three\n\nthree.one"},
                    section_row{"embedded_message_body", "3.1", "three.one"},
                    section_row{"embedded_message_text_has_only_part_one", "3.2", "none"},
                    section_row{"embedded_multipart_parts", "4.2", "four.two"},
                    section_row{"past_the_last_part", "5", "none"},
                    section_row{"zero", "0", "none"}, section_row{"empty", "", "none"},
                    section_row{"trailing_dot", "1.", "none"}, section_row{"letters", "1a", "none"},
                    section_row{"second_part_of_a_text", "1.2", "none"}),
    row_name());

TEST(BodySection, ALetterThatIsNotMultipartHasOnlySectionOne) {
  const std::string letter = "Subject: x\n\nthe text\n";
  text_source source;
  text_source_from_memory(source, letter);
  const parsed_letter parsed = letter_parse(source, "h");
  EXPECT_EQ(parsed.body_offset, letter.find("the text"));
  auto place = body_section_find(*parsed.body, parsed.body_offset, "1");
  ASSERT_TRUE(place);
  EXPECT_EQ(letter.substr(place->offset, place->body->bytes), "the text\n");
  EXPECT_FALSE(body_section_find(*parsed.body, 0, "2"));
}

}  // namespace
