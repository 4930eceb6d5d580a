// A Bezrkdos file that Dovecot itself wrote: corpus letters appended over
// IMAP to a Dovecot that keeps its inbox as an mbox file, then that file
// read by the Bezrkdos driver.

#include <gtest/gtest.h>

#include <filesystem>

#include "mail/fetch.h"
#include "mail/literal.h"
#include "message/envelope_parse.h"
#include "message/header_write.h"
#include "net/drivers.h"
#include "platform/environment.h"
#include "platform/host_name.h"
#include "tests/e2e/dovecot_fixture.h"
#include "tests/support/corpus.h"
#include "tests/support/scratch_folder.h"

namespace {

std::string whole_literal(literal_read_fn reader, void* source, std::uint32_t size) {
  std::string text(size, '\0');
  reader(source, size, text.data());
  return text;
}

struct letter_parts {
  std::string subject;
  std::string from;
  std::string body;  // after the empty line that ends the header
};

letter_parts parts_of(const std::string& letter) {
  text_source source;
  text_source_from_memory(source, letter);
  std::string header = message_header_read(source);
  std::unique_ptr<mail_envelope> envelope;
  envelope_parse(envelope, nullptr, header, nullptr, local_host_name());
  letter_parts parts{envelope->subject.value_or(""), "", letter.substr(header.size())};
  address_list_write(parts.from, envelope->from.get());
  return parts;
}

class DovecotMbox : public Dovecot {
 protected:
  DovecotMbox() { storage_ = dovecot_server::storage::mbox; }
};

TEST_F(DovecotMbox, TheBezrkdosDriverReadsWhatDovecotWrote) {
  link_all_drivers();
  mail_parameters(nullptr, SET_LITERAL_READER, reinterpret_cast<void*>(whole_literal));

  // Letters that do not begin with a separator line of their own, in CR LF.
  std::vector<std::string> letters;
  for (const corpus_letter& letter : corpus_letters()) {
    if (!letter.bytes.starts_with("From ")) letters.push_back(crlf_text(letter.bytes));
  }
  ASSERT_GE(letters.size(), 100u);
  for (const std::string& letter : letters) {
    text_source source;
    text_source_from_memory(source, letter);
    ASSERT_TRUE(
        imap_driver.append(nullptr, server_->mailbox_name(), std::nullopt, std::nullopt, source))
        << testing::PrintToString(log_->texts());
  }

  scratch_folder home;
  std::string home_path = home.path();
  env_parameters(SET_HOME_DIR, home_path.data());
  std::filesystem::copy_file(server_->inbox_file("tester"), home.file("dovecot.mbox"));

  mail_stream* stream = mail_open(nullptr, "dovecot.mbox", 0);
  ASSERT_NE(stream, nullptr) << testing::PrintToString(log_->texts());
  EXPECT_STREQ(stream->driver->name, "bezrkdos");
  ASSERT_EQ(stream->nmsgs, letters.size());
  for (std::uint32_t n = 1; n <= stream->nmsgs; ++n) {
    // Dovecot stores LF line ends, so the header is compared as parsed without CR.
    std::string unix_letter;
    for (char c : letters[n - 1]) {
      if (c != '\r') unix_letter += c;
    }
    letter_parts expected = parts_of(unix_letter);
    expected.body = parts_of(letters[n - 1]).body;
    mail_envelope* envelope = mail_fetchstructure(stream, n, nullptr);
    ASSERT_NE(envelope, nullptr);
    EXPECT_EQ(envelope->subject.value_or(""), expected.subject) << n;
    std::string from;
    address_list_write(from, envelope->from.get());
    EXPECT_EQ(from, expected.from) << n;
    // Dovecot ends the last line of a letter and puts an empty line after
    // it; a letter without a body gets an empty line for one.
    std::string want = expected.body;
    if (!want.empty() && !want.ends_with("\r\n")) want += "\r\n";
    if (want.empty()) want = "\r\n";
    want += "\r\n";
    EXPECT_EQ(std::string(stream->driver->fetchtext(stream, n)), want) << n;
  }
  mail_close(stream);
}

}  // namespace
