#include <cstdio>
#include <ctime>

#include "cli/commands.h"
#include "cli/mail_session.h"
#include "cli/options.h"
#include "cli/reports.h"
#include "cli/streams.h"
#include "message/address_parse.h"
#include "message/header_write.h"
#include "model/box_file.h"
#include "model/letter_to_mail.h"
#include "model/outgoing_letter.h"
#include "model/velmar_doc_data.h"
#include "net/smtp.h"
#include "platform/host_name.h"

namespace {

// The sender of --from: its name, and "mailbox@host"; false (after a
// message) when it holds no address.
bool sender(const std::string& text, compose_settings& settings, std::string& address) {
  std::unique_ptr<mail_address> list;
  address_list_parse(list, text, local_host_name());
  for (const mail_address* each = list.get(); each; each = each->next.get()) {
    if (!each->host) continue;
    settings.real_name = each->personal.value_or("");
    address = each->mailbox.value_or("") + "@" + *each->host;
    settings.imap_account = settings.return_address = address;
    return true;
  }
  std::fprintf(stderr, "kestrel-mail: --from holds no address: %s\n", text.c_str());
  return false;
}

// One line end less at the very end: the body is written with one of its own.
std::string without_last_line_end(std::string text) {
  if (text.ends_with('\n')) text.pop_back();
  if (text.ends_with('\r')) text.pop_back();
  return text;
}

// Appends the copy to a mailbox document, made when the file is missing.
bool keep_copy(const std::string& path, std::unique_ptr<CAletter> copy) {
  std::string reason;
  std::unique_ptr<CVelmarDocData> out;
  if (std::FILE* exists = std::fopen(path.c_str(), "rb")) {
    std::fclose(exists);
    out = box_file_open(path, reason);
  } else {
    out = std::make_unique<CVelmarDocData>();
    out->mailbox_name = "OUT";
  }
  if (out) {
    out->letters.push_back(std::move(copy));
    if (box_file_save(path, *out, reason)) return true;
  }
  std::fprintf(stderr, "kestrel-mail: %s: %s\n", path.c_str(), reason.c_str());
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
  const std::vector<cli_option> known = session_options({{"--server", true},
                                                         {"--from", true},
                                                         {"--to", true},
                                                         {"--cc", true},
                                                         {"--bcc", true},
                                                         {"--subject", true},
                                                         {"--charset", true},
                                                         {"--8bit", false},
                                                         {"--attach", true, true},
                                                         {"--out", true},
                                                         {"--dry-run", false}});
  std::optional<cli_parsed> parsed = cli_options_parse(arguments, known);
  if (!parsed || parsed->words.size() > 1 || !parsed->has("--from") || !parsed->has("--to") ||
      (!parsed->has("--server") && !parsed->has("--dry-run"))) {
    return cli_usage(command);
  }
  session_start(*parsed);

  compose_settings settings;
  compose_form form;
  if (!sender(*parsed->value("--from"), settings, form.from)) return EXIT_FAILED;
  settings.smtp_server = parsed->value("--server").value_or("");
  // Standard input is UTF-8; without a label it goes as it is.
  settings.charset_label = parsed->value("--charset").value_or("UTF-8");
  settings.transfer_mode = parsed->has("--8bit") ? kEightBitTransfer : 0;
  form.to = *parsed->value("--to");
  form.cc = parsed->value("--cc").value_or("");
  form.bcc = parsed->value("--bcc").value_or("");
  form.subject = parsed->value("--subject").value_or("");
  form.attachments = parsed->values("--attach");
  std::optional<std::string> text = input_read(parsed->words.empty() ? "" : parsed->words[0]);
  if (!text) return EXIT_FAILED;
  form.body = without_last_line_end(std::move(*text));

  compose_problem problem;
  std::optional<outgoing_letter> letter =
      outgoing_letter_build(form, settings, {}, std::time(nullptr), problem);
  if (!letter) {
    std::fprintf(stderr, "kestrel-mail: %s\n", problem.message.c_str());
    return EXIT_FAILED;
  }
  for (const std::string& warning : letter->warnings)
    std::fprintf(stderr, "kestrel-mail: %s\n", warning.c_str());
  if (parsed->has("--out") && !keep_copy(*parsed->value("--out"), std::move(letter->out_copy)))
    return EXIT_FAILED;
  if (parsed->has("--dry-run"))
    return output_write(outgoing_letter_text(*letter)) ? EXIT_DONE : EXIT_FAILED;

  // The password, as for a server mailbox, when a user is given; without
  // one there is no login.
  smtp_account account;
  if (parsed->has("--user")) {
    mail_callback().on_login(settings.smtp_server, account.user, account.password, 1);
    if (account.user.empty()) return EXIT_FAILED;
  }
  send_result result =
      outgoing_letter_send(*letter, {settings.smtp_server}, parsed->has("--debug"), &account);
  if (result.outcome == send_outcome::no_host) {
    std::fprintf(stderr, "kestrel-mail: no SMTP service at %s%s%s\n", settings.smtp_server.c_str(),
                 result.reply.empty() ? "" : ": ", result.reply.c_str());
    return EXIT_FAILED;
  }
  std::printf("%s\n", result.reply.c_str());
  refusals_print(letter->envelope->to.get());
  refusals_print(letter->envelope->cc.get());
  refusals_print(letter->envelope->bcc.get());
  return result.outcome == send_outcome::sent ? EXIT_DONE : EXIT_FAILED;
}
