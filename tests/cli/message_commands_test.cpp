// kestrel-mail parse, encode and decode from the outside.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/support/run_program.h"
#include "tests/support/table.h"

namespace {

using json = nlohmann::json;

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

class MessageCommands : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kestrel-cli-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    folder_ = pattern;
    letter_ = (folder_ / "letter.eml").string();
    std::ofstream(letter_, std::ios::binary) << kLetter;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  static program_result kestrel_mail(const std::vector<std::string>& arguments,
                                     const std::string& input = "") {
    return run_program(KESTREL_MAIL_PROGRAM, arguments, input);
  }

  std::filesystem::path folder_;
  std::string letter_;
};

TEST_F(MessageCommands, ParsePrintsEnvelopeAndBodyAsJson) {
  program_result result = kestrel_mail({"parse", letter_});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const json parsed = json::parse(result.out);
  const json& envelope = parsed["envelope"];
  EXPECT_EQ(envelope["subject"], "test ");
  EXPECT_EQ(envelope["date"], nullptr);
  EXPECT_EQ(envelope["cc"], json::array());
  EXPECT_EQ(
      envelope["from"][0],
      (json{
          {"personal", "Li Ming"}, {"route", nullptr}, {"mailbox", "li"}, {"host", "example.cn"}}));
  EXPECT_EQ(envelope["sender"], envelope["from"]);
  EXPECT_EQ(envelope["to"].size(), 2u);
  EXPECT_FALSE(envelope["to"][1]["host"].get<std::string>().empty());  // this machine's name
  const json& body = parsed["body"];
  EXPECT_EQ(body["type"], "MULTIPART");
  EXPECT_EQ(body["subtype"], "MIXED");
  EXPECT_EQ(body["parameters"], json::array({json::array({"BOUNDARY", "XX"})}));
  EXPECT_EQ(body["encoding"], "7BIT");
  ASSERT_EQ(body["parts"].size(), 4u);
  const json& text = body["parts"][0];
  EXPECT_EQ(text["encoding"], "QUOTED-PRINTABLE");
  EXPECT_EQ(text["offset"], kLetter.find("=C4"));
  EXPECT_EQ(text["lines"], 1);
  const json& message = body["parts"][2];
  EXPECT_EQ(message["message"]["envelope"]["subject"], "inner ");
  EXPECT_EQ(message["message"]["body"]["bytes"], 10);
  EXPECT_FALSE(text.contains("message"));
  EXPECT_FALSE(text.contains("parts"));
}

TEST_F(MessageCommands, ParseReadsStandardInputAndReportsProblems) {
  program_result result = kestrel_mail({"parse"}, "To: a@b c@d\n\nbody\n");
  ASSERT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.err, "parse error: Must use comma to separate addresses: c@d\n");
  EXPECT_EQ(json::parse(result.out)["body"]["lines"], 1);
}

struct section_row {
  std::string name;
  std::vector<std::string> extra;
  int exit_code;
  std::string out;
  std::string err;
};

class Sections : public MessageCommands, public testing::WithParamInterface<section_row> {};

TEST_P(Sections, WriteTheBytesOfOneSection) {
  const section_row& row = GetParam();
  std::vector<std::string> arguments = {"parse", letter_};
  arguments.insert(arguments.end(), row.extra.begin(), row.extra.end());
  program_result result = kestrel_mail(arguments);
  EXPECT_EQ(result.exit_code, row.exit_code);
  EXPECT_EQ(result.out, row.out);
  EXPECT_EQ(result.err, row.err);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Sections,
    testing::Values(
        section_row{"as_it_stands", {"--section", "1"}, 0, "=C4=E3=BA=C3 =\r\nagain", ""},
        section_row{"quoted_printable_decoded",
                    {"--section", "1", "--decode"},
                    0,
                    "\xc4\xe3\xba\xc3 again",
                    ""},
        section_row{
            "base64_decoded", {"--section", "2", "--decode"}, 0, std::string("\0\1\2", 3), ""},
        section_row{"embedded_body", {"--section", "3.1", "--decode"}, 0, "inner text", ""},
        section_row{"malformed_base64",
                    {"--section", "4", "--decode"},
                    1,
                    "",
                    "kestrel-mail: section 4: malformed base64 text\n"},
        section_row{"missing_section",
                    {"--section", "5"},
                    1,
                    "",
                    "kestrel-mail: no section 5 in this message\n"},
        section_row{"decode_needs_a_section",
                    {"--decode"},
                    2,
                    "",
                    "usage: kestrel-mail parse [FILE] [--section S [--decode]]\n"},
        section_row{"section_needs_a_number",
                    {"--section"},
                    2,
                    "",
                    "usage: kestrel-mail parse [FILE] [--section S [--decode]]\n"},
        section_row{"unknown_option",
                    {"--json"},
                    2,
                    "",
                    "usage: kestrel-mail parse [FILE] [--section S [--decode]]\n"}),
    row_name());

TEST_F(MessageCommands, ParseOfAMissingFileFails) {
  program_result result = kestrel_mail({"parse", (folder_ / "none.eml").string()});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "kestrel-mail: cannot read " + (folder_ / "none.eml").string() +
                            ": No such file or directory\n");
}

struct coding_row {
  std::string name;
  std::vector<std::string> arguments;
  std::string input;
  int exit_code;
  std::string out;
  std::string err;
};

class Coding : public testing::TestWithParam<coding_row> {};

TEST_P(Coding, FiltersStandardInput) {
  const coding_row& row = GetParam();
  program_result result = run_program(KESTREL_MAIL_PROGRAM, row.arguments, row.input);
  EXPECT_EQ(result.exit_code, row.exit_code);
  EXPECT_EQ(result.out, row.out);
  EXPECT_EQ(result.err, row.err);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Coding,
    testing::Values(
        coding_row{"encode_base64", {"encode", "base64"}, "abc", 0, "YWJj\r\n", ""},
        coding_row{"encode_qp", {"encode", "qp"}, "a=b \r\n", 0, "a=3Db=20\r\n", ""},
        coding_row{"decode_base64", {"decode", "base64"}, "YW Jj\r\n", 0, "abc", ""},
        coding_row{"decode_qp", {"decode", "qp"}, "a=\r\nb=3D", 0, "ab=", ""},
        coding_row{
            "decode_malformed_base64", {"decode", "base64"}, "YQ=a", 1, "", "malformed input\n"},
        coding_row{"decode_malformed_qp", {"decode", "qp"}, "=4g", 1, "", "malformed input\n"},
        coding_row{"unknown_encoding",
                   {"encode", "uu"},
                   "",
                   2,
                   "",
                   "usage: kestrel-mail encode base64|qp\n"},
        coding_row{
            "missing_encoding", {"decode"}, "", 2, "", "usage: kestrel-mail decode base64|qp\n"}),
    row_name());

}  // namespace

namespace {

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
    program_result encoded = run_program(KESTREL_MAIL_PROGRAM, {"encode", kind}, bytes);
    ASSERT_EQ(encoded.exit_code, 0) << kind;
    program_result decoded = run_program(KESTREL_MAIL_PROGRAM, {"decode", kind}, encoded.out);
    ASSERT_EQ(decoded.exit_code, 0) << kind << decoded.err;
    EXPECT_TRUE(decoded.out == bytes)
        << kind << ": " << decoded.out.size() << " bytes back of " << bytes.size();
  }
}

}  // namespace
