// kestrel-mail box: mailbox documents shown, printed, exported, and filled
// from a real Dovecot inbox or a local mailbox file.

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/support/dovecot_server.h"
#include "tests/support/file_text.h"
#include "tests/support/kestrel_mail.h"
#include "tests/support/scratch_folder.h"

namespace {

using testing::_;
using testing::AllOf;
using testing::HasSubstr;
using testing::MatchesRegex;
using testing::StartsWith;

const std::string kGif = std::string(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04\x01\x00\x00\x00\x00,"
    "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x01\x44\x00;",
    42);

// IN.box in a folder of its own, filled from Dovecot's inbox of "tester".
class BoxCommands : public testing::Test {
 protected:
  void start_server() {
    server_ = std::make_unique<dovecot_server>();
    if (!server_->running()) GTEST_SKIP() << server_->reason();
    setenv("KESTREL_PASSWORD", "secret", 1);
  }
  // box import from the server into FILE, with the options given.
  std::vector<std::string> import(const std::string& file, std::vector<std::string> options = {}) {
    std::vector<std::string> arguments = {"box",    "import", server_->mailbox_name(), file,
                                          "--user", "tester", "--allow-plain"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return arguments;
  }
  // The number of lines box show prints.
  long shown_lines() const {
    const std::string out = kestrel_mail({"box", "show", box_}).out;
    return std::count(out.begin(), out.end(), '\n');
  }

  scratch_folder folder_;
  const std::string box_ = folder_.file("IN.box");
  std::unique_ptr<dovecot_server> server_;
};

TEST_F(BoxCommands, ImportFromDovecotThenShowCatAndExport) {
  start_server();
  server_->deliver("tester", file_text(KESTREL_FIXTURES "/letters/pictures.eml"));
  server_->deliver("tester", "Subject: from nobody\n\nwho sent this?\n");
  expect_runs({
      {"import", import(box_), 0, "取到 2 个邮件.\n"},
      {"show", args("box", "show", box_), 0,
       MatchesRegex(
           "N   1 .{12}Wang Li [^\n]*\\) pictures\nN   2 .{12}某人 [^\n]*\\) from nobody\n")},
      {"show_json", args("box", "show", box_, "--json"), 0, json_with(R"({
          "mailbox": "IN", "current": -1,
          "letters": [{"status": "N  ", "subject": "pictures", "to": null,
                       "from": [["Wang Li", "wang@pku.edu.cn"]],
                       "body": {"parts": [
                           {"parameters": [["CHARSET", "CN-GB"]]},
                           {"type": 5, "contents": {"size": 42, "sha256":
                     "ef1955ae757c8b966c83248350331bd3a30f658ced11f387f8ebf05ab3368629"}},
                           {"message": {"envelope": {"from": [["?who", "Zhang San"]]}}}]}},
                      {"from": [["", ""]]}]})")},
      {"part_text", args("box", "cat", box_, "1", "--part", "1"), 0, "\xC4\xE3\xBA\xC3 hello"},
      {"part_picture", args("box", "cat", box_, "1", "--part", "2"), 0, kGif},
      {"part_embedded", args("box", "cat", box_, "1", "--part", "3.1"), 0, "inner body"},
      {"cat", args("box", "cat", box_, "1", "--utf8"), 0, HasSubstr("内容类型 : 多报文/MIXED\r\n")},
      {"cat_missing", args("box", "cat", box_, "3"), 1, _,
       "kestrel-mail: no letter 3 in " + box_ + " (it holds 2)\n"},
      {"export", args("box", "export", box_, "1"), 0,
       AllOf(HasSubstr("From: Wang Li <wang@pku.edu.cn>\r\n"), HasSubstr("Subject: pictures\r\n"),
             HasSubstr("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7\r\n"))},
      // The letters stayed on the server; a second import appends them again.
      {"import_again", import(box_), 0, "取到 2 个邮件.\n"},
  });
  EXPECT_EQ(shown_lines(), 4);
}

// An empty local mailbox makes an empty FILE.box, under the name given.
TEST_F(BoxCommands, ImportMakesTheFileUnderTheNameGiven) {
  const std::string empty = folder_.file("empty");
  std::ofstream{empty};
  const std::string out = folder_.file("OUT.box");
  expect_runs({
      {"named", args("box", "import", empty, out, "--name", "OUT"), 0, "取到 0 个邮件.\n"},
      {"named_show", args("box", "show", out, "--json"), 0, json_with(R"({"mailbox": "OUT"})")},
      {"unnamed", args("box", "import", empty, box_), 0, "取到 0 个邮件.\n"},
      {"unnamed_show", args("box", "show", box_, "--json"), 0, json_with(R"({"mailbox": "IN"})")},
  });
}

TEST_F(BoxCommands, DeleteRemovesTheLettersTakenOnlyAfterTheSave) {
  start_server();
  for (int i = 1; i <= 3; ++i)
    server_->deliver("tester", "Subject: letter " + std::to_string(i) + "\n\nbody\n");
  // The file cannot be written: nothing is deleted.
  const std::string unwritable = folder_.file("missing/IN.box");
  expect_runs({
      {"unwritable", import(unwritable, {"--delete"}), 1, "",
       HasSubstr("Failed to save document.\n" + unwritable +
                 ": cannot create a new file beside it: No such file or directory\n")},
      {"delete", import(box_, {"--delete"}), 0, "取到 3 个邮件.\n"},
      {"again", import(box_), 0, "取到 0 个邮件.\n"},
      {"show", args("box", "show", box_), 0, HasSubstr("letter 3\n")},
  });
  EXPECT_EQ(shown_lines(), 3);
}

TEST_F(BoxCommands, LargeLettersAreLeftWhenAsked) {
  start_server();
  server_->deliver("tester", "Subject: small\n\nsmall\n");
  server_->deliver("tester", "Subject: large\n\n" + std::string(5000, 'x') + "\n");
  expect_runs({
      {"skip", import(box_, {"--skip-larger-than", "1000", "--delete"}), 0, "取到 1 个邮件.\n",
       HasSubstr("letter 2 has ")},
      {"again", import(box_), 0, "取到 1 个邮件.\n"},
      {"show", args("box", "show", box_), 0, AllOf(HasSubstr("small\n"), HasSubstr("large\n"))},
  });
}

TEST_F(BoxCommands, ADamagedMailboxFileStopsTheImportBeforeAnythingIsTaken) {
  start_server();
  server_->deliver("tester", "Subject: keep me\n\nbody\n");
  std::ofstream(box_, std::ios::binary) << "not a mailbox document";
  expect_runs({
      {"damaged", import(box_, {"--delete"}), 1, _,
       StartsWith("Failed to open document.\n" + box_ + ": not a compound file")},
      {"other", import(folder_.file("OTHER.box")), 0, "取到 1 个邮件.\n"},
  });
  EXPECT_EQ(file_text(box_), "not a mailbox document");
}

// Local mailbox files, found through the drivers: one the library writes
// (made with create and append), and a read-only Bezrkdos file.
TEST_F(BoxCommands, ImportFromALocalMailboxFile) {
  setenv("HOME", folder_.path().c_str(), 1);
  const std::string other = folder_.file("OTHER.box");
  std::ofstream(folder_.file("OLD.MBX"), std::ios::binary)
      << "From li Thu Dec  5 11:53:20 1996\nSubject: kept\n\nbody\n";
  expect_runs({
      {"create", args("create", "local.mbx"), 0},
      {"append", args("append", "local.mbx"), 0, _, _,
       "From: Li Hua <li@example.cn>\nSubject: old letter\n\nold body\n"},
      {"append", args("append", "local.mbx"), 0, _, _,
       "From: wang@pku.edu.cn\nSubject: second\nMIME-Version: 1.0\n"
       "Content-Type: multipart/mixed; boundary=b\n\n"
       "--b\nContent-Type: text/plain; charset=CN-GB\n\n\xC4\xE3\xBA\xC3\n"
       "--b\nContent-Type: application/octet-stream\nContent-Transfer-Encoding: base64\n\n"
       "AAECAw==\n--b--\n"},
      {"import", args("box", "import", "local.mbx", box_, "--delete"), 0, "取到 2 个邮件.\n"},
      {"show", args("box", "show", box_), 0, AllOf(HasSubstr("Li Hua"), HasSubstr(") second\n"))},
      {"text", args("box", "cat", box_, "2", "--part", "1"), 0, "\xC4\xE3\xBA\xC3"},
      {"bytes", args("box", "cat", box_, "2", "--part", "2"), 0, std::string("\0\1\2\3", 4)},
      {"taken_out", args("ls", "local.mbx"), 0, ""},
      {"read_only", args("box", "import", "old.mbx", other, "--delete"), 1, _,
       HasSubstr("kestrel-mail: old.mbx is read-only; --delete cannot take its letters out\n")},
  });
  EXPECT_FALSE(std::filesystem::exists(other));
  expect_runs({{"read_only_kept", args("box", "import", "old.mbx", other), 0, "取到 1 个邮件.\n"}});
}

TEST_F(BoxCommands, WrongUseShowsTheUsage) {
  expect_runs({
      {"show", args("box", "show"), 2, _, "usage: kestrel-mail box show FILE.box [--json]\n"},
      {"negative_size", args("box", "import", "a", "b", "--skip-larger-than", "-5"), 2},
      {"alone", args("box"), 2, _, HasSubstr("kestrel-mail box export FILE.box N\n")},
  });
}

}  // namespace
