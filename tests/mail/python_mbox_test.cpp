// Bezrkdos files written by another program: Python's mailbox.mbox fed
// with the corpus letters. Every letter must come back as Python stored it.

#include "tests/mail/local_fixture.h"
#include "tests/support/corpus.h"
#include "tests/support/run_program.h"

// Python's changes: a leading "From " line becomes the separator line, a
// "From " at the start of any other line gets ">", the letter ends with a
// line feed and an empty line follows it. Each line feed that no CR precedes
// is then delivered as CR LF.
std::string as_delivered(std::string letter) {
  if (letter.starts_with("From ")) {
    std::size_t line_feed = letter.find('\n');
    letter = line_feed == std::string::npos ? "" : letter.substr(line_feed + 1);
  }
  for (std::size_t at = 0; (at = letter.find("\nFrom ", at)) != std::string::npos; at += 2)
    letter.insert(at + 1, ">");
  if (!letter.ends_with('\n')) letter += '\n';
  letter += '\n';
  std::string result;
  for (std::size_t i = 0; i < letter.size(); ++i) {
    if (letter[i] == '\n' && (i == 0 || letter[i - 1] != '\r')) result += '\r';
    result += letter[i];
  }
  return result;
}

using PythonMbox = LocalMailboxes;

TEST_F(PythonMbox, EveryLetterReadsAsPythonStoredIt) {
  mail_parameters(nullptr, SET_LITERAL_READER, reinterpret_cast<void*>(whole_literal));
  std::vector<corpus_letter> letters = corpus_letters();
  ASSERT_GE(letters.size(), 100u) << "are both corpus packages installed?";
  std::vector<std::string> arguments{"-c",
                                     "import mailbox, sys\n"
                                     "box = mailbox.mbox(sys.argv[1])\n"
                                     "for path in sys.argv[2:]:\n"
                                     "    with open(path, 'rb') as letter:\n"
                                     "        box.add(letter.read())\n"
                                     "box.flush()\n"
                                     "box.close()\n",
                                     home_ + "/python.mbox"};
  std::filesystem::create_directory(home_ + "/letters");
  for (std::size_t i = 0; i < letters.size(); ++i) {
    arguments.push_back(home_ + "/letters/" + std::to_string(i));
    std::ofstream(arguments.back(), std::ios::binary) << letters[i].bytes;
  }
  program_result python = run_program("/usr/bin/python3", arguments);
  ASSERT_EQ(python.exit_code, 0) << python.err;

  ASSERT_TRUE(opens("python.mbox"));
  EXPECT_STREQ(stream_->driver->name, "bezrkdos");
  ASSERT_EQ(stream_->nmsgs, letters.size());
  for (std::uint32_t n = 1; n <= stream_->nmsgs; ++n) {
    std::string text(mail_fetchheader(stream_, n));
    text += stream_->driver->fetchtext(stream_, n);
    EXPECT_EQ(text, as_delivered(letters[n - 1].bytes)) << letters[n - 1].name;
    EXPECT_NE(mail_fetchstructure(stream_, n, nullptr), nullptr);
  }
}
