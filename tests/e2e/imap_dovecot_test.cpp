// The IMAP client against a real Dovecot server.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "model/letter_from_mail.h"
#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/setflag_expunge.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/stream.h"
#include "message/body_section.h"
#include "message/envelope_parse.h"
#include "message/records.h"
#include "message/text_source.h"
#include "net/imap_driver.h"
#include "platform/host_name.h"
#include "tests/support/body_shape.h"
#include "tests/support/corpus.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/fault_proxy.h"
#include "tests/support/file_text.h"
#include "tests/support/log_capture.h"

namespace {

// Letters of our own: a multipart with a quoted-printable, a base64 and an
// embedded-message part; GB, Big5 and ISO-2022-CN text parts.
std::string fixture_letter(const char* name) {
  return file_text(std::string(KESTREL_FIXTURES "/letters/") + name);
}

class Dovecot : public testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<dovecot_server>();
    if (!server_->running()) GTEST_SKIP() << server_->reason();
    mail_link_driver(&imap_driver);
    mail_callbacks callbacks;
    callbacks.on_login = [this](std::string_view, std::string& user, std::string& password,
                                long trial) {
      ++trials_;
      user = "tester";
      password = trial <= wrong_passwords_ ? "wrong" : "secret";
    };
    log_ = std::make_unique<log_capture>(std::move(callbacks));
  }

  mail_stream* open_inbox(long options = 0) {
    mail_stream* stream = mail_open(nullptr, server_->mailbox_name(), options);
    EXPECT_NE(stream, nullptr) << testing::PrintToString(log_->texts());
    return stream;
  }

  std::unique_ptr<dovecot_server> server_;
  std::unique_ptr<log_capture> log_;
  int trials_ = 0;
  int wrong_passwords_ = 0;
};

TEST_F(Dovecot, TheRightPasswordOpensTheInbox) {
  server_->deliver("tester", "Subject: one\n\nfirst\n");
  mail_stream* stream = open_inbox();
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->nmsgs, 1u);
  EXPECT_EQ(trials_, 1);
  EXPECT_FALSE(stream->readonly);
  mail_close(stream);
}

TEST_F(Dovecot, AWrongPasswordIsAskedAgain) {
  wrong_passwords_ = 1;
  mail_stream* stream = open_inbox();
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(trials_, 2);
  mail_close(stream);
}

TEST_F(Dovecot, ThreeWrongPasswordsEndTheAttempt) {
  wrong_passwords_ = 3;
  EXPECT_EQ(mail_open(nullptr, server_->mailbox_name(), 0), nullptr);
  EXPECT_EQ(trials_, 3);
  std::vector<std::string> texts = log_->texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Too many login failures"), texts.end());
}

TEST_F(Dovecot, FlagsSearchCopyExpungeAndAppend) {
  for (int i = 1; i <= 4; ++i) {
    server_->deliver("tester", "Subject: letter " + std::to_string(i) +
                                   "\nFrom: li@example.cn\n\nbody of letter " + std::to_string(i) +
                                   "\n");
  }
  mail_stream* stream = open_inbox();
  ASSERT_NE(stream, nullptr);
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
  std::vector<std::uint32_t> found;
  for (std::uint32_t i = 1; i <= 4; ++i) {
    if (mail_elt(stream, i)->searched) found.push_back(i);
  }
  EXPECT_EQ(found, std::vector<std::uint32_t>{2});

  EXPECT_TRUE(driver.create(stream, server_->mailbox_name("Archive")));
  EXPECT_TRUE(driver.copy(stream, "1,4", "Archive"));
  mail_setflag(stream, "1", "\\Deleted");
  mail_expunge(stream);
  EXPECT_EQ(stream->nmsgs, 3u);

  std::string letter = "Subject: appended\r\n\r\nhello\r\n";
  text_source source;
  text_source_from_memory(source, letter);
  EXPECT_TRUE(driver.append(stream, server_->mailbox_name("Archive"), "(\\Seen)",
                            " 5-Dec-1996 11:53:20 +0800", source));
  mail_close(stream);

  mail_stream* archive = mail_open(nullptr, server_->mailbox_name("Archive"), OPEN_READONLY);
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
    if (stream) {
      for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
        mail_body* body = nullptr;
        mail_fetchstructure(stream, i, &body);
        std::vector<std::string> sections;
        if (body) sections = leaf_sections(*body);
        for (const std::string& section : sections)
          mail_fetchbody(stream, i, section);
      }
      mail_close(stream);
    }
    if (proxy.cut()) {
      ++cut_runs;
      if (stream) {
        EXPECT_FALSE(farewells.empty()) << "cut at " << cut;
      }
    }
  }
  EXPECT_GE(cut_runs, 12);
}

// A letter as our own parser sees it: where each section of its body lies.
struct parsed_letter {
  std::string text;
  std::unique_ptr<mail_envelope> envelope;
  std::unique_ptr<mail_body> body;
  std::uint32_t body_offset = 0;

  explicit parsed_letter(std::string letter) : text(std::move(letter)) {
    text_source source;
    text_source_from_memory(source, text);
    std::string header = message_header_read(source);
    body_offset = text_position(source);
    envelope_parse(envelope, &body, header, &source, local_host_name());
  }
  std::optional<std::string> section(const std::string& name) const {
    auto place = body_section_find(*body, body_offset, name);
    if (!place) return std::nullopt;
    return text.substr(place->offset, place->body->bytes);
  }
};

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
  std::map<std::string, std::unique_ptr<parsed_letter>> by_text;
  for (const std::string& letter : letters) {
    auto parsed = std::make_unique<parsed_letter>(server_->deliver("tester", letter));
    std::string text = parsed->text;
    by_text[text] = std::move(parsed);
  }
  mail_stream* stream = open_inbox(OPEN_READONLY);
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(stream->nmsgs, letters.size());
  int compared = 0;
  std::vector<std::string> split_otherwise;
  for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
    mail_body* body = nullptr;
    mail_envelope* envelope = mail_fetchstructure(stream, i, &body);
    ASSERT_NE(envelope, nullptr) << i;
    ASSERT_NE(body, nullptr) << i;
    std::string header(mail_fetchheader(stream, i));
    auto found = by_text.find(header + std::string(stream->driver->fetchtext(stream, i)));
    ASSERT_NE(found, by_text.end()) << "message " << i << " is not one of the files";
    const parsed_letter& file = *found->second;
    // Our header parser keeps the blank a line's CR leaves; the server does not.
    std::string subject = file.envelope->subject.value_or("");
    if (subject.ends_with(' ')) subject.pop_back();
    EXPECT_EQ(envelope->subject.value_or(""), subject) << header;
    if (body_shape(*body) != body_shape(*file.body)) {
      // A letter our parser splits otherwise (no MIME-Version, no delimiter
      // line, a digest's parts): its sections name other bytes.
      split_otherwise.push_back(body_shape(*body) + " ours " + body_shape(*file.body));
      continue;
    }
    std::vector<std::string> sections = leaf_sections(*body);
    for (const std::string& section : sections) {
      std::optional<std::string_view> fetched = mail_fetchbody(stream, i, section);
      std::optional<std::string> expected = file.section(section);
      ASSERT_TRUE(fetched && expected) << header << " section " << section;
      EXPECT_EQ(*fetched, *expected) << header << " section " << section;
      ++compared;
    }
  }
  std::printf("sections compared: %d; letters split otherwise by our parser: %zu\n", compared,
              split_otherwise.size());
  for (const std::string& subject : split_otherwise)
    std::printf("  %s\n", subject.c_str());
  mail_close(stream);
  EXPECT_GT(compared, 60);
}

}  // namespace
