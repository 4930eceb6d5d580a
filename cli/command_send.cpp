#include <cstdio>
#include <ctime>

#include "cli/commands.h"
#include "cli/mail_session.h"
#include "cli/options.h"
#include "cli/reports.h"
#include "cli/streams.h"
#include "mail/dates.h"
#include "message/address_parse.h"
#include "message/header_write.h"
#include "net/smtp.h"
#include "platform/host_name.h"
#include "platform/random.h"

namespace {

// The text with CR LF line ends (a bare CR or LF becomes CR LF), less one
// line end at the very end: the body is written with one of its own.
std::string letter_text(const std::string& text) {
  std::string result;
  result.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      result += "\r\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      result += c;
    }
  }
  if (result.ends_with("\r\n")) result.resize(result.size() - 2);
  return result;
}

bool eight_bit(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

std::unique_ptr<mail_body> text_body(std::string text) {
  std::unique_ptr<mail_body> body = mail_new_body();
  body->type = TYPE_TEXT;
  body->subtype = "PLAIN";
  body->parameter_list = mail_new_body_parameter();
  body->parameter_list->attribute = "CHARSET";
  bool wide = eight_bit(text);
  body->parameter_list->value = wide ? "UTF-8" : "US-ASCII";
  body->encoding = wide ? ENCODING_8BIT : ENCODING_7BIT;
  body->bytes = static_cast<std::uint32_t>(text.size());
  body->contents.text = std::move(text);
  return body;
}

// Parses an address list; false (after a message) when it holds no address.
bool addresses(std::unique_ptr<mail_address>& list, const std::string& text, const char* option) {
  address_list_parse(list, text, local_host_name());
  for (const mail_address* address = list.get(); address; address = address->next.get()) {
    if (address->host) return true;
  }
  std::fprintf(stderr, "kestrel-mail: %s holds no address: %s\n", option, text.c_str());
  return false;
}

void refusals_print(const mail_address* list) {
  for (; list; list = list->next.get()) {
    if (!list->error) continue;
    std::string address;
    address_write(address, *list);
    std::printf("refused %s: %s\n", address.c_str(), list->error->c_str());
  }
}

}  // namespace

int run_send(const cli_command& command, cli_arguments arguments) {
  const std::vector<cli_option> known =
      session_options({{"--server", true},
                       {"--from", true},
                       {"--to", true},
                       {"--cc", true},
                       {"--bcc", true},
                       {"--subject", true}});
  std::optional<cli_parsed> parsed = cli_options_parse(arguments, known);
  if (!parsed || parsed->words.size() > 1 || !parsed->has("--server") || !parsed->has("--from") ||
      !parsed->has("--to")) {
    return cli_usage(command);
  }
  session_start(*parsed);

  std::unique_ptr<mail_envelope> envelope = mail_new_envelope();
  if (!addresses(envelope->from, *parsed->value("--from"), "--from") ||
      !addresses(envelope->to, *parsed->value("--to"), "--to")) {
    return EXIT_FAILED;
  }
  if (parsed->has("--cc") && !addresses(envelope->cc, *parsed->value("--cc"), "--cc")) {
    return EXIT_FAILED;
  }
  if (parsed->has("--bcc") && !addresses(envelope->bcc, *parsed->value("--bcc"), "--bcc")) {
    return EXIT_FAILED;
  }
  const mail_address* sender = envelope->from.get();
  while (!sender->host)
    sender = sender->next.get();
  envelope->return_path = mail_new_address();
  envelope->return_path->mailbox = sender->mailbox;
  envelope->return_path->host = sender->host;
  envelope->subject = parsed->value("--subject");
  envelope->date = rfc822_date_now();
  envelope->message_id = mail_format("<Kestrel.%ld.%ld@%s>", static_cast<long>(std::time(nullptr)),
                                     random_number(), local_host_name().c_str());

  std::optional<std::string> text = input_read(parsed->words.empty() ? "" : parsed->words[0]);
  if (!text) return EXIT_FAILED;
  std::unique_ptr<mail_body> body = text_body(letter_text(*text));

  std::string server = *parsed->value("--server");
  // The password, as for a server mailbox, when a user is given.
  std::optional<smtp_account> account;
  if (parsed->has("--user")) {
    account.emplace();
    mail_callback().on_login(server, account->user, account->password, 1);
    if (account->user.empty()) return EXIT_FAILED;
  }
  std::string failure;
  std::unique_ptr<smtp_stream> stream =
      smtp_open({server}, parsed->has("--debug"), account ? &*account : nullptr, &failure);
  if (!stream) {
    std::fprintf(stderr, "kestrel-mail: no SMTP service at %s%s%s\n", server.c_str(),
                 failure.empty() ? "" : ": ", failure.c_str());
    return EXIT_FAILED;
  }
  bool sent = smtp_mail(*stream, "MAIL", *envelope, body.get());
  std::printf("%s\n", stream->reply.c_str());
  refusals_print(envelope->to.get());
  refusals_print(envelope->cc.get());
  refusals_print(envelope->bcc.get());
  smtp_close(stream);
  return sent ? EXIT_DONE : EXIT_FAILED;
}
