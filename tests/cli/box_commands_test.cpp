// kestrel-mail box: mailbox documents shown, printed, exported, and filled
// from a real Dovecot inbox.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "tests/support/dovecot_server.h"
#include "tests/support/file_text.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

program_result kestrel_mail(const std::vector<std::string>& arguments) {
  return run_program(KESTREL_MAIL_PROGRAM, arguments);
}

const char* kNoSender = "Subject: from nobody\n\nwho sent this?\n";

const std::string kGif = std::string(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04\x01\x00\x00\x00\x00,"
    "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x01\x44\x00;",
    42);

class BoxCommands : public testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/kestrel-box-cli-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    directory_ = name;
    box_ = (directory_ / "IN.box").string();
  }
  void TearDown() override { fs::remove_all(directory_); }

  void start_server() {
    server_ = std::make_unique<dovecot_server>();
    if (!server_->running()) GTEST_SKIP() << server_->reason();
    setenv("KESTREL_PASSWORD", "secret", 1);
  }
  program_result import(std::vector<std::string> extra = {}) {
    std::vector<std::string> arguments = {"box", "import", server_->mailbox_name(),
                                          box_,  "--user", "tester"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return kestrel_mail(arguments);
  }

  fs::path directory_;
  std::string box_;
  std::unique_ptr<dovecot_server> server_;
};

TEST_F(BoxCommands, ImportFromDovecotThenShowCatAndExport) {
  start_server();
  server_->deliver("tester", file_text(KESTREL_FIXTURES "/letters/pictures.eml"));
  server_->deliver("tester", kNoSender);

  program_result result = import();
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "取到 2 个邮件.\n");

  result = kestrel_mail({"box", "show", box_});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const std::size_t newline = result.out.find('\n');
  ASSERT_NE(newline, std::string::npos);
  const std::string first = result.out.substr(0, newline);
  const std::string second = result.out.substr(newline + 1);
  EXPECT_EQ(first.substr(0, 6), "N   1 ");
  EXPECT_EQ(first.substr(18, 8), "Wang Li ");
  EXPECT_NE(first.find(") pictures"), std::string::npos) << first;
  EXPECT_EQ(second.substr(0, 6), "N   2 ");
  EXPECT_EQ(second.substr(18, 7), "某人 ");
  EXPECT_NE(second.find(") from nobody\n"), std::string::npos) << second;

  result = kestrel_mail({"box", "show", box_, "--json"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const auto document = nlohmann::json::parse(result.out);
  EXPECT_EQ(document["mailbox"], "IN");
  EXPECT_EQ(document["current"], -1);
  const auto& letter = document["letters"][0];
  EXPECT_EQ(letter["status"], "N  ");
  EXPECT_EQ(letter["subject"], "pictures");
  EXPECT_EQ(letter["from"], nlohmann::json::parse(R"([["Wang Li", "wang@pku.edu.cn"]])"));
  EXPECT_EQ(letter["to"], nullptr);
  const auto& parts = letter["body"]["parts"];
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0]["parameters"], nlohmann::json::parse(R"([["CHARSET", "CN-GB"]])"));
  EXPECT_EQ(parts[1]["type"], 5);
  EXPECT_EQ(parts[1]["contents"]["size"], kGif.size());
  EXPECT_EQ(parts[1]["contents"]["sha256"],
            "ef1955ae757c8b966c83248350331bd3a30f658ced11f387f8ebf05ab3368629");
  EXPECT_EQ(parts[2]["message"]["envelope"]["from"],
            nlohmann::json::parse(R"([["?who", "Zhang San"]])"));
  EXPECT_EQ(document["letters"][1]["from"], nlohmann::json::parse(R"([["", ""]])"));

  result = kestrel_mail({"box", "cat", box_, "1", "--part", "1"});
  EXPECT_EQ(result.out, "\xC4\xE3\xBA\xC3 hello");
  result = kestrel_mail({"box", "cat", box_, "1", "--part", "2"});
  EXPECT_EQ(result.out, kGif);
  result = kestrel_mail({"box", "cat", box_, "1", "--part", "3.1"});
  EXPECT_EQ(result.out, "inner body");
  result = kestrel_mail({"box", "cat", box_, "1", "--utf8"});
  EXPECT_NE(result.out.find("内容类型 : 多报文/MIXED\r\n"), std::string::npos) << result.out;
  result = kestrel_mail({"box", "cat", box_, "3"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "kestrel-mail: no letter 3 in " + box_ + " (it holds 2)\n");

  result = kestrel_mail({"box", "export", box_, "1"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_NE(result.out.find("From: Wang Li <wang@pku.edu.cn>\r\n"), std::string::npos);
  EXPECT_NE(result.out.find("Subject: pictures\r\n"), std::string::npos);
  EXPECT_NE(result.out.find("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7\r\n"),
            std::string::npos)
      << result.out;

  // The letters stayed on the server; a second import appends them again.
  result = import();
  EXPECT_EQ(result.out, "取到 2 个邮件.\n");
  result = kestrel_mail({"box", "show", box_});
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 4);
}

TEST_F(BoxCommands, DeleteRemovesTheLettersTakenOnlyAfterTheSave) {
  start_server();
  for (int i = 1; i <= 3; ++i)
    server_->deliver("tester", "Subject: letter " + std::to_string(i) + "\n\nbody\n");

  // The file cannot be written: nothing is deleted.
  const std::string unwritable = (directory_ / "missing" / "IN.box").string();
  program_result result = kestrel_mail(
      {"box", "import", server_->mailbox_name(), unwritable, "--user", "tester", "--delete"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("Failed to save document.\n" + unwritable +
                            ": cannot create a new file beside it: No such file or directory\n"),
            std::string::npos)
      << result.err;
  EXPECT_EQ(result.out, "");

  result = import({"--delete"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "取到 3 个邮件.\n");
  result = import();
  EXPECT_EQ(result.out, "取到 0 个邮件.\n");
  result = kestrel_mail({"box", "show", box_});
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 3);
  EXPECT_NE(result.out.find("letter 3\n"), std::string::npos);
}

TEST_F(BoxCommands, LargeLettersAreLeftWhenAsked) {
  start_server();
  server_->deliver("tester", "Subject: small\n\nsmall\n");
  server_->deliver("tester", "Subject: large\n\n" + std::string(5000, 'x') + "\n");
  program_result result = import({"--skip-larger-than", "1000", "--delete"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "取到 1 个邮件.\n");
  EXPECT_NE(result.err.find("letter 2 has "), std::string::npos) << result.err;
  result = import();
  EXPECT_EQ(result.out, "取到 1 个邮件.\n");
  result = kestrel_mail({"box", "show", box_});
  EXPECT_NE(result.out.find("small\n"), std::string::npos);
  EXPECT_NE(result.out.find("large\n"), std::string::npos);
}

TEST_F(BoxCommands, ADamagedMailboxFileStopsTheImportBeforeAnythingIsTaken) {
  start_server();
  server_->deliver("tester", "Subject: keep me\n\nbody\n");
  {
    std::FILE* out = std::fopen(box_.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("not a mailbox document", out);
    std::fclose(out);
  }
  program_result result = import({"--delete"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err.rfind("Failed to open document.\n" + box_ + ": not a compound file", 0), 0u)
      << result.err;
  EXPECT_EQ(file_text(box_), "not a mailbox document");
  result = kestrel_mail({"box", "import", server_->mailbox_name(),
                         (directory_ / "OTHER.box").string(), "--user", "tester"});
  EXPECT_EQ(result.out, "取到 1 个邮件.\n");
}

// Local mailbox files, found through the drivers: one the library writes
// (made with create and append), and a read-only Bezrkdos file.
TEST_F(BoxCommands, ImportFromALocalMailboxFile) {
  setenv("HOME", directory_.c_str(), 1);
  ASSERT_EQ(kestrel_mail({"create", "local.mbx"}).exit_code, 0);
  const std::string letters[] = {
      "From: Li Hua <li@example.cn>\nSubject: old letter\n\nold body\n",
      "From: wang@pku.edu.cn\nSubject: second\nMIME-Version: 1.0\n"
      "Content-Type: multipart/mixed; boundary=b\n\n"
      "--b\nContent-Type: text/plain; charset=CN-GB\n\n\xC4\xE3\xBA\xC3\n"
      "--b\nContent-Type: application/octet-stream\nContent-Transfer-Encoding: base64\n\n"
      "AAECAw==\n--b--\n"};
  for (const std::string& letter : letters) {
    program_result appended = run_program(KESTREL_MAIL_PROGRAM, {"append", "local.mbx"}, letter);
    ASSERT_EQ(appended.exit_code, 0) << appended.err;
  }
  program_result result = kestrel_mail({"box", "import", "local.mbx", box_, "--delete"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "取到 2 个邮件.\n");
  result = kestrel_mail({"box", "show", box_});
  EXPECT_NE(result.out.find("Li Hua"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find(") second\n"), std::string::npos) << result.out;
  EXPECT_EQ(kestrel_mail({"box", "cat", box_, "2", "--part", "1"}).out, "\xC4\xE3\xBA\xC3");
  EXPECT_EQ(kestrel_mail({"box", "cat", box_, "2", "--part", "2"}).out, std::string("\0\1\2\3", 4));
  result = kestrel_mail({"ls", "local.mbx"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "");

  {
    std::FILE* out = std::fopen((directory_ / "OLD.MBX").c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("From li Thu Dec  5 11:53:20 1996\nSubject: kept\n\nbody\n", out);
    std::fclose(out);
  }
  const std::string other = (directory_ / "OTHER.box").string();
  result = kestrel_mail({"box", "import", "old.mbx", other, "--delete"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("kestrel-mail: old.mbx is read-only; --delete cannot take its "
                            "letters out\n"),
            std::string::npos)
      << result.err;
  EXPECT_FALSE(fs::exists(other));
  result = kestrel_mail({"box", "import", "old.mbx", other});
  EXPECT_EQ(result.out, "取到 1 个邮件.\n");
}

TEST_F(BoxCommands, WrongUseShowsTheUsage) {
  program_result result = kestrel_mail({"box", "show"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err, "usage: kestrel-mail box show FILE.box [--json]\n");
  result = kestrel_mail({"box", "import", "a", "b", "--skip-larger-than", "-5"});
  EXPECT_EQ(result.exit_code, 2);
  result = kestrel_mail({"box"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_NE(result.err.find("kestrel-mail box export FILE.box N\n"), std::string::npos);
}

}  // namespace
