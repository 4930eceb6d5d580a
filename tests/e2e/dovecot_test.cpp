// The mail library against a real Dovecot: the IMAP client, letters made
// from its inbox as the fetch routine makes them, and a Bezrkdos file Dovecot
// itself wrote.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/literal.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/setflag_expunge.h"
#include "mail/stream.h"
#include "message/body_section.h"
#include "message/envelope_parse.h"
#include "message/header_write.h"
#include "model/huge.h"
#include "model/letter_from_mail.h"
#include "model/message.h"
#include "model/part.h"
#include "net/drivers.h"
#include "net/imap_driver.h"
#include "platform/environment.h"
#include "platform/host_name.h"
#include "tests/support/body_shape.h"
#include "tests/support/corpus.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/fault_proxy.h"
#include "tests/support/file_text.h"
#include "tests/support/log_capture.h"
#include "tests/support/scratch_folder.h"

namespace {

// A Dovecot of the test's own with the IMAP driver linked. Logins give user
// "tester" the password "secret" after `wrong_passwords_` wrong ones; the
// debug trace and the reports are kept.
class Dovecot : public testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<dovecot_server>(
        std::vector<dovecot_server::user>{{"tester", "secret"}}, storage_);
    if (!server_->running()) GTEST_SKIP() << server_->reason();
    mail_link_driver(&imap_driver);
    mail_callbacks callbacks;
    // The server offers no TLS: the password goes in clear on loopback.
    callbacks.on_plain_login = [](std::string_view) { return true; };
    callbacks.on_login = [this](std::string_view, std::string& user, std::string& password,
                                long trial) {
      ++trials_;
      user = "tester";
      password = trial <= wrong_passwords_ ? "wrong" : "secret";
    };
    callbacks.on_debug = [this](std::string_view line) { trace_.emplace_back(line); };
    log_ = std::make_unique<log_capture>(std::move(callbacks));
  }

  mail_stream* open(long options = 0, const std::string& mailbox = "INBOX") {
    mail_stream* stream = mail_open(nullptr, server_->mailbox_name(mailbox), options);
    EXPECT_NE(stream, nullptr) << testing::PrintToString(log_->texts());
    return stream;
  }

  dovecot_server::storage storage_ = dovecot_server::storage::maildir;
  std::unique_ptr<dovecot_server> server_;
  std::unique_ptr<log_capture> log_;
  std::vector<std::string> trace_;
  int trials_ = 0;
  int wrong_passwords_ = 0;
};

// Letters of our own: a multipart with a quoted-printable, a base64 and an
// embedded-message part; GB, Big5 and ISO-2022-CN text parts.
std::string fixture_letter(const char* name) {
  return file_text(std::string(KESTREL_FIXTURES "/letters/") + name);
}

TEST_F(Dovecot, FlagsSearchCopyExpungeAndAppend) {
  wrong_passwords_ = 1;  // the login is asked again
  for (int i = 1; i <= 4; ++i) {
    server_->deliver("tester", "Subject: letter " + std::to_string(i) +
                                   "\nFrom: li@example.cn\n\nbody of letter " + std::to_string(i) +
                                   "\n");
  }
  mail_stream* stream = open();
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(trials_, 2);
  EXPECT_FALSE(stream->readonly);
  ASSERT_EQ(stream->nmsgs, 4u);
  mail_driver& driver = *stream->driver;

  driver.setflag(stream, "2:3", "(\\Flagged \\Seen)");
  driver.fetchflags(stream, "1:4");
  EXPECT_TRUE(mail_elt(stream, 2)->flagged && mail_elt(stream, 3)->seen);
  EXPECT_FALSE(mail_elt(stream, 1)->flagged);
  driver.clearflag(stream, "3", "\\Flagged");
  driver.fetchflags(stream, "3");
  EXPECT_FALSE(mail_elt(stream, 3)->flagged);

  driver.search(stream, "FLAGGED");
  for (std::uint32_t i = 1; i <= 4; ++i)
    EXPECT_EQ(mail_elt(stream, i)->searched != 0, i == 2) << i;

  EXPECT_TRUE(driver.create(stream, server_->mailbox_name("Archive")));
  EXPECT_TRUE(driver.copy(stream, "1,4", "Archive"));
  mail_setflag(stream, "1", "\\Deleted");
  mail_expunge(stream);
  EXPECT_EQ(stream->nmsgs, 3u);

  text_source source;
  text_source_from_memory(source, "Subject: appended\r\n\r\nhello\r\n");
  EXPECT_TRUE(driver.append(stream, server_->mailbox_name("Archive"), "(\\Seen)",
                            " 5-Dec-1996 11:53:20 +0800", source));
  mail_close(stream);

  mail_stream* archive = open(OPEN_READONLY, "Archive");
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(archive->nmsgs, 3u);
  archive->driver->fetchfast(archive, "3");
  EXPECT_TRUE(mail_elt(archive, 3)->seen);
  EXPECT_EQ(mail_elt(archive, 3)->day, 5u);
  EXPECT_EQ(mail_fetchheader(archive, 3), "Subject: appended\r\n\r\n");
  EXPECT_EQ(archive->driver->fetchtext(archive, 3), "hello\r\n");
  mail_envelope* envelope = mail_fetchstructure(archive, 1, nullptr);
  ASSERT_NE(envelope, nullptr);
  EXPECT_EQ(envelope->subject, "letter 1");
  mail_close(archive);
}

// A whole fetch through a proxy that cuts the connection at many points,
// inside literals too: every run ends in an orderly failure.
TEST_F(Dovecot, ACutAnywhereInAFetchEndsInAnOrderlyFailure) {
  server_->deliver("tester", fixture_letter("pictures.eml"));
  server_->deliver("tester", "Subject: plain\n\n" + std::string(3000, 'p') + "\n");
  std::vector<std::string> farewells;
  mail_callbacks callbacks = mail_set_callbacks({});
  callbacks.on_notify = [&](mail_stream*, std::string_view text, long level) {
    if (level == LOG_FAREWELL) farewells.push_back(std::string(text));
  };
  mail_set_callbacks(callbacks);
  int cut_runs = 0;
  for (long cut : {0L, 40L, 200L, 400L, 600L, 900L, 1200L, 1500L, 1800L, 2200L, 2600L, 3000L, 3600L,
                   4200L, 5000L, 6500L}) {
    fault_proxy proxy(server_->port(), fault_proxy::toward_client, cut);
    farewells.clear();
    std::string name = "{127.0.0.1:" + std::to_string(proxy.port()) + "}INBOX";
    mail_stream* stream = mail_open(nullptr, name, OPEN_SILENT);
    const bool opened = stream;
    for (std::uint32_t i = 1; stream && i <= stream->nmsgs; ++i) {
      mail_body* body = nullptr;
      mail_fetchstructure(stream, i, &body);
      for (const std::string& section : body ? leaf_sections(*body) : std::vector<std::string>{})
        mail_fetchbody(stream, i, section);
    }
    if (stream) mail_close(stream);
    if (proxy.cut()) {
      ++cut_runs;
      EXPECT_TRUE(!opened || !farewells.empty()) << "cut at " << cut;
    }
  }
  EXPECT_GE(cut_runs, 12);
}

// Every letter of the corpus through the server and back: envelopes and
// structures of all, and every leaf section byte for byte as the file has it.
TEST_F(Dovecot, EveryLeafSectionComesBackAsTheFileHasIt) {
  std::vector<std::string> letters = {fixture_letter("pictures.eml"),
                                      fixture_letter("chinese.eml")};
  // Python's letters; enmime's include deliberately broken ones whose part ends
  // our own rules place elsewhere than Dovecot does.
  for (const corpus_letter& letter : corpus_letters()) {
    if (letter.name.starts_with("msg_")) letters.push_back(letter.bytes);
  }
  ASSERT_GT(letters.size(), 40u) << "Python's email test data (libpython3.11-testsuite)";
  std::map<std::string, parsed_letter> by_text;  // each letter as our own parser sees it
  for (const std::string& letter : letters) {
    std::string text = server_->deliver("tester", letter);
    text_source source;
    text_source_from_memory(source, text);
    by_text.emplace(text, letter_parse(source, local_host_name()));
  }
  mail_stream* stream = open(OPEN_READONLY);
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(stream->nmsgs, letters.size());
  int compared = 0, split_otherwise = 0;
  for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
    mail_body* body = nullptr;
    mail_envelope* envelope = mail_fetchstructure(stream, i, &body);
    ASSERT_TRUE(envelope && body) << i;
    std::string header(mail_fetchheader(stream, i));
    auto found = by_text.find(header + std::string(stream->driver->fetchtext(stream, i)));
    ASSERT_NE(found, by_text.end()) << "message " << i << " is not one of the files";
    const auto& [text, file] = *found;
    // Our header parser keeps the blank a line's CR leaves; the server does not.
    std::string subject = file.envelope->subject.value_or("");
    if (subject.ends_with(' ')) subject.pop_back();
    EXPECT_EQ(envelope->subject.value_or(""), subject) << header;
    // A letter our parser splits otherwise (no MIME-Version, no delimiter
    // line, a digest's parts): its sections name other bytes.
    if (body_shape(*body) != body_shape(*file.body)) {
      ++split_otherwise;
      continue;
    }
    for (const std::string& section : leaf_sections(*body)) {
      std::optional<std::string_view> fetched = mail_fetchbody(stream, i, section);
      auto place = body_section_find(*file.body, file.body_offset, section);
      ASSERT_TRUE(fetched && place) << header << " section " << section;
      EXPECT_EQ(*fetched, text.substr(place->offset, place->body->bytes))
          << header << " section " << section;
      ++compared;
    }
  }
  std::printf("sections compared: %d; letters split otherwise by our parser: %d\n", compared,
              split_otherwise);
  mail_close(stream);
  EXPECT_GT(compared, 60);
}

// The BODY[...] sections the client asked for of message 1, in order.
std::vector<std::string> fetched_sections(const std::vector<std::string>& trace) {
  std::vector<std::string> sections;
  for (const std::string& line : trace) {
    if (line.find(" FETCH 1 ") == std::string::npos || line.rfind("* ", 0) == 0) continue;
    for (std::size_t at = line.find("BODY["); at != std::string::npos;
         at = line.find("BODY[", at + 1))
      sections.push_back(line.substr(at + 5, line.find(']', at) - at - 5));
  }
  return sections;
}

TEST_F(Dovecot, AMultipartLetterIsFetchedPartByPartAndDecoded) {
  server_->deliver("tester",
                   "From: Wang Li <wang@pku.edu.cn>\nSubject: parts\nMIME-Version: 1.0\n"
                   "Content-Type: multipart/mixed; boundary=o\n\n"
                   "--o\nContent-Type: text/plain; charset=CN-GB; format=flowed\n"
                   "Content-Transfer-Encoding: quoted-printable\n\n=C4=E3=BA=C3\n"
                   "--o\nContent-Type: multipart/alternative; boundary=i\n\n"
                   "--i\n\ntwo.one\n--i\nContent-Type: image/gif\nContent-Transfer-Encoding: "
                   "base64\n\nR0lGODlh\n--i--\n"
                   "--o\nContent-Type: message/rfc822\n\nFrom: Zhang <z@x.org>\nSubject: in\n\n"
                   "inner\n"
                   "--o--\n");
  server_->deliver("tester", "Subject: nobody\n\nno sender\n");
  mail_stream* stream = open(OPEN_DEBUG);
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(stream->nmsgs, 2u);

  trace_.clear();
  std::unique_ptr<CAletter> letter = letter_from_stream(stream, 1);
  ASSERT_TRUE(letter);
  EXPECT_THAT(fetched_sections(trace_), testing::ElementsAre("1", "2.1", "2.2", "3", "3.1"));
  EXPECT_EQ(letter->flags.status, "N  ");
  EXPECT_GT(letter->flags.size, 300u);
  EXPECT_EQ(letter->envelope.subject, "parts");
  EXPECT_EQ(letter->envelope.date.size(), 26u) << letter->envelope.date;
  ASSERT_TRUE(letter->envelope.from);
  EXPECT_EQ(letter->envelope.from->items[0]->name, "Wang Li");
  EXPECT_EQ(letter->envelope.from->items[0]->address, "wang@pku.edu.cn");
  EXPECT_TRUE(letter->envelope.message_id.empty());
  const CPart* parts = letter->body.part();
  ASSERT_TRUE(parts);
  ASSERT_EQ(parts->items.size(), 3u);
  EXPECT_EQ(parts->items[0]->body.text, "\xC4\xE3\xBA\xC3");
  ASSERT_EQ(parts->items[0]->body.parameters->items.size(), 1u);
  const CPart* inner = parts->items[1]->body.part();
  ASSERT_TRUE(inner);
  EXPECT_EQ(inner->items[0]->body.text, "two.one");
  EXPECT_EQ(inner->items[1]->body.huge()->bytes(), "GIF89a");
  const CMessage* message = parts->items[2]->body.message();
  ASSERT_TRUE(message);
  EXPECT_EQ(message->envelope.from->items[0]->name, "?who");
  EXPECT_EQ(message->envelope.from->items[0]->address, "Zhang");
  EXPECT_EQ(message->body.text, "inner");

  std::unique_ptr<CAletter> nobody = letter_from_stream(stream, 2);
  ASSERT_TRUE(nobody);
  ASSERT_TRUE(nobody->envelope.from);
  EXPECT_EQ(nobody->envelope.from->items[0]->name, "");
  EXPECT_EQ(nobody->envelope.from->items[0]->address, "");
  EXPECT_EQ(nobody->body.text, "no sender\r\n");
  mail_close(stream);
}

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
