// kestrel-mail parse, encode and decode from the outside.

#include <filesystem>
#include <fstream>

#include "tests/support/kestrel_mail.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/table.h"

namespace {

using json = nlohmann::json;
using testing::_;

const std::string kLetter =
    "From: Li Ming <li@example.cn>\r\n"
    "To: wang@example.cn, zhao\r\n"
    "Subject: test\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: multipart/mixed; boundary=\"XX\"\r\n"
    "\r\n"
    "--XX\r\n"
    "Content-Type: text/plain; charset=CN-GB\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n"
    "\r\n"
    "=C4=E3=BA=C3 =\r\nagain\r\n"
    "--XX\r\n"
    "Content-Type: application/octet-stream; name=\"a.bin\"\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "\r\n"
    "AAEC\r\n"
    "--XX\r\n"
    "Content-Type: message/rfc822\r\n"
    "\r\n"
    "Subject: inner\r\n"
    "\r\n"
    "inner text\r\n"
    "--XX\r\n"
    "Content-Type: image/gif\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "\r\n"
    "R0lG=ODlh\r\n"
    "--XX--\r\n";

// The letter in letter.eml of a folder that is the working directory.
class MessageCommands : public testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(folder_.file("letter.eml"), std::ios::binary) << kLetter;
    std::filesystem::current_path(folder_.path());
  }
  void TearDown() override { std::filesystem::current_path(before_); }

  const std::filesystem::path before_ = std::filesystem::current_path();
  scratch_folder folder_;
};

TEST_F(MessageCommands, ParsePrintsEnvelopeAndBodyAsJson) {
  program_result result = kestrel_mail({"parse", "letter.eml"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const json parsed = json::parse(result.out);
  const json& envelope = parsed["envelope"];
  EXPECT_EQ(envelope["from"][0], json::parse(R"({"personal": "Li Ming", "route": null,
                                                 "mailbox": "li", "host": "example.cn"})"));
  EXPECT_EQ(envelope["sender"], envelope["from"]);
  EXPECT_FALSE(envelope["to"][1]["host"].get<std::string>().empty());  // this machine's name
  EXPECT_TRUE(json_within(json::parse(R"({
      "envelope": {"subject": "test ", "date": null, "cc": [], "to": [{}, {}]},
      "body": {"type": "MULTIPART", "subtype": "MIXED", "parameters": [["BOUNDARY", "XX"]],
               "encoding": "7BIT",
               "parts": [{"encoding": "QUOTED-PRINTABLE", "lines": 1}, {},
                         {"message": {"envelope": {"subject": "inner "}, "body": {"bytes": 10}}},
                         {}]}})"),
                          parsed))
      << result.out;
  const json& text = parsed["body"]["parts"][0];
  EXPECT_EQ(text["offset"], kLetter.find("=C4"));
  EXPECT_FALSE(text.contains("message"));
  EXPECT_FALSE(text.contains("parts"));
}

class OneCommand : public MessageCommands, public testing::WithParamInterface<cli_row> {};

TEST_P(OneCommand, PrintsAndExitsAsDocumented) {
  expect_runs({GetParam()});
}

const std::string kParseUsage = "usage: kestrel-mail parse [FILE] [--section S [--decode]]\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, OneCommand,
    testing::Values(
        cli_row{"parse_standard_input_and_report_problems", args("parse"), 0,
                json_with(R"({"body": {"lines": 1}})"),
                "parse error: Must use comma to separate addresses: c@d\n",
                "To: a@b c@d\n\nbody\n"},
        cli_row{"parse_missing_file", args("parse", "none.eml"), 1, _,
                "kestrel-mail: cannot read none.eml: No such file or directory\n"},
        cli_row{"section_as_it_stands", args("parse", "letter.eml", "--section", "1"), 0,
                "=C4=E3=BA=C3 =\r\nagain", ""},
        cli_row{"section_quoted_printable_decoded",
                args("parse", "letter.eml", "--section", "1", "--decode"), 0,
                "\xc4\xe3\xba\xc3 again", ""},
        cli_row{"section_base64_decoded", args("parse", "letter.eml", "--section", "2", "--decode"),
                0, std::string("\0\1\2", 3), ""},
        cli_row{"section_embedded_body",
                args("parse", "letter.eml", "--section", "3.1", "--decode"), 0, "inner text", ""},
        cli_row{"section_malformed_base64",
                args("parse", "letter.eml", "--section", "4", "--decode"), 1, "",
                "kestrel-mail: section 4: malformed base64 text\n"},
        cli_row{"section_missing", args("parse", "letter.eml", "--section", "5"), 1, "",
                "kestrel-mail: no section 5 in this message\n"},
        cli_row{"decode_needs_a_section", args("parse", "letter.eml", "--decode"), 2, "",
                kParseUsage},
        cli_row{"section_needs_a_number", args("parse", "letter.eml", "--section"), 2, "",
                kParseUsage},
        cli_row{"parse_unknown_option", args("parse", "letter.eml", "--json"), 2, "", kParseUsage},
        cli_row{"encode_base64", args("encode", "base64"), 0, "YWJj\r\n", "", "abc"},
        cli_row{"encode_qp", args("encode", "qp"), 0, "a=3Db=20\r\n", "", "a=b \r\n"},
        cli_row{"decode_base64", args("decode", "base64"), 0, "abc", "", "YW Jj\r\n"},
        cli_row{"decode_qp", args("decode", "qp"), 0, "ab=", "", "a=\r\nb=3D"},
        cli_row{"decode_malformed_base64", args("decode", "base64"), 1, "", "malformed input\n",
                "YQ=a"},
        cli_row{"decode_malformed_qp", args("decode", "qp"), 1, "", "malformed input\n", "=4g"},
        cli_row{"unknown_encoding", args("encode", "uu"), 2, "",
                "usage: kestrel-mail encode base64|qp\n"},
        cli_row{"missing_encoding", args("decode"), 2, "",
                "usage: kestrel-mail decode base64|qp\n"}),
    row_name());

// Decoding reads a mebibyte at a time; texts of several blocks must come
// back whole, wherever a block ends.
TEST(Coding, LongTextsRoundTripAcrossBlocks) {
  std::string bytes;
  std::uint32_t state = 1;
  for (int i = 0; i < 3 * 1024 * 1024 + 17; ++i) {
    state = state * 1103515245u + 12345u;
    const char c = static_cast<char>(state >> 24);
    bytes += i % 61 == 60 ? '\n' : (i % 7 == 3 ? ' ' : c);
  }
  for (const std::string kind : {"base64", "qp"}) {
    program_result encoded = kestrel_mail({"encode", kind}, bytes);
    ASSERT_EQ(encoded.exit_code, 0) << kind;
    program_result decoded = kestrel_mail({"decode", kind}, encoded.out);
    ASSERT_EQ(decoded.exit_code, 0) << kind << decoded.err;
    EXPECT_TRUE(decoded.out == bytes)
        << kind << ": " << decoded.out.size() << " bytes back of " << bytes.size();
  }
}

}  // namespace
