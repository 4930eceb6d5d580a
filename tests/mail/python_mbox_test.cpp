// Bezrkdos files written by another program: Python's mailbox.mbox fed
// with the corpus letters. Every letter must come back as Python stored it.

#include "mail/cache.h"
#include "mail/fetch.h"
#include "tests/mail/local_fixture.h"
#include "tests/support/corpus.h"
#include "tests/support/run_program.h"

namespace {

const char* kWriter =
    "import mailbox, sys\n"
    "box = mailbox.mbox(sys.argv[1])\n"
    "for path in sys.argv[2:]:\n"
    "    with open(path, 'rb') as letter:\n"
    "        box.add(letter.read())\n"
    "box.flush()\n"
    "box.close()\n";

// Python's changes: a leading "From " line becomes the separator line, a
// "From " at the start of any other line gets ">", the letter ends with a
// line feed and an empty line follows it.
std::string as_python_stores(std::string letter) {
  if (letter.starts_with("From ")) {
    std::size_t line_feed = letter.find('\n');
    letter = line_feed == std::string::npos ? "" : letter.substr(line_feed + 1);
  }
  for (std::size_t at = 0; (at = letter.find("\nFrom ", at)) != std::string::npos; at += 2)
    letter.insert(at + 1, ">");
  if (!letter.ends_with('\n')) letter += '\n';
  return letter + "\n";
}

// Each line feed that no CR precedes is delivered as CR LF.
std::string bare_line_feeds_to_crlf(const std::string& text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) result += '\r';
    result += text[i];
  }
  return result;
}

class PythonMbox : public LocalMailboxes {};

TEST_F(PythonMbox, EveryLetterReadsAsPythonStoredIt) {
  mail_parameters(nullptr, SET_LITERAL_READER, reinterpret_cast<void*>(whole_literal));
  std::vector<corpus_letter> letters = corpus_letters();
  ASSERT_GE(letters.size(), 100u) << "are both corpus packages installed?";
  std::vector<std::string> arguments{"-c", kWriter, home_ + "/python.mbox"};
  std::string directory = home_ + "/letters/";
  std::filesystem::create_directory(directory);
  for (std::size_t i = 0; i < letters.size(); ++i) {
    std::string file = directory + std::to_string(i);
    std::ofstream(file, std::ios::binary) << letters[i].bytes;
    arguments.push_back(file);
  }
  program_result python = run_program("/usr/bin/python3", arguments);
  ASSERT_EQ(python.exit_code, 0) << python.err;

  mail_stream* stream = open("python.mbox");
  ASSERT_NE(stream, nullptr) << testing::PrintToString(texts());
  EXPECT_STREQ(stream->driver->name, "bezrkdos");
  ASSERT_EQ(stream->nmsgs, letters.size());
  for (std::uint32_t n = 1; n <= stream->nmsgs; ++n) {
    const corpus_letter& letter = letters[n - 1];
    std::string text(mail_fetchheader(stream, n));
    text += stream->driver->fetchtext(stream, n);
    EXPECT_EQ(text, bare_line_feeds_to_crlf(as_python_stores(letter.bytes))) << letter.name;
    EXPECT_NE(mail_fetchstructure(stream, n, nullptr), nullptr);
  }
  mail_close(stream);
}

}  // namespace
