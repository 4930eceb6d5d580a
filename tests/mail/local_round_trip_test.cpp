// Corpus letters through each format: appended, flagged, searched, expunged,
// copied to another file and read back byte for byte, allowing only each
// format's documented changes.

#include "mail/separator_line.h"
#include "tests/mail/local_fixture.h"
#include "tests/support/corpus.h"

// Lines that would read as separator lines get a ">".
std::string quote_separators(const std::string& text) {
  std::string result;
  for (std::size_t start = 0, end; start < text.size(); start = end) {
    end = std::min(text.find('\n', start), text.size() - 1) + 1;
    std::string_view line(text.data() + start, end - start);
    if (line.starts_with("From ") && separator_line_valid(line.substr(0, line.find('\n'))))
      result += '>';
    result += line;
  }
  return result;
}

// What a format gives back for a letter appended with the given flags.
std::string expected(const std::string& format, std::string letter, bool seen) {
  if (format == "dawz") return letter;
  std::erase(letter, '\r');
  if (format == "tenexdos") return with_crlf(letter);
  return with_crlf((seen ? "Status: RO\nX-Status: \n" : "Status: O\nX-Status: \n") +
                   quote_separators(letter) + "\n");
}

class RoundTrip : public LocalMailboxes, public testing::WithParamInterface<std::string> {
 protected:
  mail_driver& driver() const {
    return GetParam() == "tenexdos" ? tenexdos_driver
           : GetParam() == "dawz"   ? dawz_driver
                                    : bezrkdos_driver;
  }
  mail_callbacks callbacks() override {
    mail_callbacks table = LocalMailboxes::callbacks();
    table.on_searched = [this](mail_stream*, std::uint32_t msgno) { searched_.push_back(msgno); };
    return table;
  }
  std::vector<std::uint32_t> searched_;
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
    ASSERT_TRUE(append(driver(), "box", letters[i].bytes,
                       i % 2 == 0 ? std::optional<std::string_view>("(\\Seen)") : std::nullopt,
                       "5-Dec-1996 11:53:20 +0800"))
        << letters[i].name << testing::PrintToString(texts());
  }
  ASSERT_TRUE(opens("box"));
  ASSERT_EQ(stream_->nmsgs, letters.size());
  EXPECT_STREQ(stream_->driver->name, format.c_str());

  mail_setflag(stream_, "1:5", "\\Flagged");
  stream_->driver->clearflag(stream_, "1", "\\Seen");
  stream_->driver->search(stream_, "FLAGGED UNSEEN");
  EXPECT_EQ(searched_, (std::vector<std::uint32_t>{1, 2, 4}));

  // Letters 3 and 7 go (a read-only Bezrkdos stream keeps them).
  std::vector<std::size_t> kept;
  mail_setflag(stream_, "3,7", "\\Deleted");
  mail_expunge(stream_);
  for (std::size_t i = 0; i < letters.size(); ++i) {
    if (!writable || (i != 2 && i != 6)) kept.push_back(i);
  }
  ASSERT_EQ(stream_->nmsgs, kept.size());
  ASSERT_TRUE(stream_->driver->copy(stream_, "1:" + std::to_string(kept.size()), "copy"));

  ASSERT_TRUE(opens("copy"));
  ASSERT_EQ(stream_->nmsgs, kept.size());
  for (std::uint32_t n = 1; n <= stream_->nmsgs; ++n) {
    std::size_t i = kept[n - 1];
    std::string text(mail_fetchheader(stream_, n));
    text += stream_->driver->fetchtext(stream_, n);
    EXPECT_EQ(text, expected(format, letters[i].bytes, i % 2 == 0)) << letters[i].name;
    mail_element& element = *mail_elt(stream_, n);
    if (writable) {
      EXPECT_EQ(element.flagged == 1, i < 5) << letters[i].name;
      EXPECT_FALSE(element.deleted);
    }
    EXPECT_EQ(element.day, 5u);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip, testing::Values("tenexdos", "dawz", "bezrkdos"),
                         [](const testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });
