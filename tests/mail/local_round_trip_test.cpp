// Corpus letters through each format: appended, flagged, searched, expunged,
// copied to another file and read back byte for byte, allowing only each
// format's documented changes.

#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/setflag_expunge.h"
#include "mail/separator_line.h"
#include "tests/mail/local_fixture.h"
#include "tests/support/corpus.h"
#include "tests/support/table.h"

namespace {

std::string without_cr(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c != '\r') result += c;
  }
  return result;
}

// Lines that would read as separator lines get a ">".
std::string quoted(const std::string& text) {
  std::string result;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? end : end - start + 1);
    std::string bare = line.ends_with('\n') ? line.substr(0, line.size() - 1) : line;
    if (bare.starts_with("From ") && separator_line_valid(bare)) result += '>';
    result += line;
    start += line.size();
  }
  return result;
}

// What a format gives back for a letter appended with the given flags.
std::string expected(const std::string& format, const std::string& letter, bool seen) {
  if (format == "dawz") return letter;
  if (format == "tenexdos") return with_crlf(without_cr(letter));
  std::string status = seen ? "Status: RO\nX-Status: \n" : "Status: O\nX-Status: \n";
  return with_crlf(status + quoted(without_cr(letter)) + "\n");
}

class RoundTrip : public LocalMailboxes, public testing::WithParamInterface<std::string> {
 protected:
  mail_driver& driver() const {
    return GetParam() == "tenexdos" ? tenexdos_driver
           : GetParam() == "dawz"   ? dawz_driver
                                    : bezrkdos_driver;
  }
  std::vector<std::uint32_t> searched_;
  mail_callbacks callbacks() override {
    mail_callbacks table = LocalMailboxes::callbacks();
    table.on_searched = [this](mail_stream*, std::uint32_t msgno) { searched_.push_back(msgno); };
    return table;
  }
};

TEST_P(RoundTrip, EveryLetterComesBackAsAppended) {
  const std::string& format = GetParam();
  const bool writable = format != "bezrkdos";
  mail_parameters(nullptr, SET_LITERAL_READER, reinterpret_cast<void*>(whole_literal));
  std::vector<corpus_letter> letters = corpus_letters();
  ASSERT_GE(letters.size(), 100u) << "are both corpus packages installed?";
  write("box", "");
  write("copy", "");
  for (std::size_t i = 0; i < letters.size(); ++i) {
    bool seen = i % 2 == 0;
    ASSERT_TRUE(append(driver(), "box", letters[i].bytes,
                       seen ? std::optional<std::string_view>("(\\Seen)") : std::nullopt,
                       "5-Dec-1996 11:53:20 +0800"))
        << letters[i].name << testing::PrintToString(texts());
  }
  mail_stream* stream = open("box");
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(stream->nmsgs, letters.size());
  EXPECT_STREQ(stream->driver->name, format.c_str());

  mail_setflag(stream, "1:5", "\\Flagged");
  stream->driver->clearflag(stream, "1", "\\Seen");
  stream->driver->search(stream, "FLAGGED UNSEEN");
  EXPECT_EQ(searched_, (std::vector<std::uint32_t>{1, 2, 4}));

  // Letters 3 and 7 go (a read-only Bezrkdos stream keeps them).
  std::vector<std::size_t> kept;
  mail_setflag(stream, "3,7", "\\Deleted");
  mail_expunge(stream);
  for (std::size_t i = 0; i < letters.size(); ++i) {
    if (!writable || (i != 2 && i != 6)) kept.push_back(i);
  }
  ASSERT_EQ(stream->nmsgs, kept.size());
  ASSERT_TRUE(stream->driver->copy(stream, "1:" + std::to_string(kept.size()), "copy"));
  mail_close(stream);

  stream = open("copy");
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(stream->nmsgs, kept.size());
  for (std::uint32_t n = 1; n <= stream->nmsgs; ++n) {
    std::size_t i = kept[n - 1];
    std::string text(mail_fetchheader(stream, n));
    text += stream->driver->fetchtext(stream, n);
    bool seen = i % 2 == 0;
    EXPECT_EQ(text, expected(format, letters[i].bytes, seen)) << letters[i].name;
    mail_element& element = *mail_elt(stream, n);
    if (writable) {
      EXPECT_EQ(element.flagged == 1, i < 5) << letters[i].name;
      EXPECT_FALSE(element.deleted);
    }
    EXPECT_EQ(element.day, 5u);
  }
  mail_close(stream);
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip, testing::Values("tenexdos", "dawz", "bezrkdos"),
                         [](const testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
