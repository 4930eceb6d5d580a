#include "model/outgoing_letter.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "chinese/typed_text.h"
#include "mail/dates.h"
#include "message/address_parse.h"
#include "message/callbacks.h"
#include "message/message_output.h"
#include "model/address.h"
#include "model/encoded_words.h"
#include "model/huge.h"
#include "model/letter_to_mail.h"
#include "model/parameter.h"
#include "model/part.h"
#include "net/smtp.h"
#include "platform/host_name.h"
#include "platform/random.h"

namespace {

constexpr const char* kMemoryShort = "内存不够.";
constexpr const char* kItemDataShort = "内存不够，取 OLE 数据失败。";
constexpr const char* kNewStatus = "N  ";
constexpr std::size_t kComposedDateWidth = 14;

bool ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string before_at(const std::string& text) {
  return text.substr(0, text.find('@'));
}

std::string after_at(const std::string& text) {
  const std::size_t at = text.find('@');
  return at == std::string::npos ? std::string() : text.substr(at + 1);
}

std::string local_time(std::time_t now, const char* pattern) {
  std::tm parts{};
  localtime_r(&now, &parts);
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, pattern, &parts));
}

// "<Velmar.1.00." time "->" To text ">", the identifier of every part.
std::string content_id(std::time_t now, const std::string& to) {
  return "<Velmar.1.00." + local_time(now, "%y%m%d%H%M%Z") + "->" + to + ">";
}

std::string message_id(std::time_t now, const std::string& host) {
  return "<Velmar.1.00." + local_time(now, "%y%m%d%H%M%S") + "." + std::to_string(random_number()) +
         "@" + host + ">";
}

std::unique_ptr<CParameter> one_parameter(std::string attribute, std::string value) {
  auto parameters = std::make_unique<CParameter>();
  parameters->items.push_back(std::make_unique<CParaitem>(std::move(attribute), std::move(value)));
  return parameters;
}

// The name the receiver sees: the file's own name, not the folders it lies in
// on this machine; beyond ASCII as UTF-8 encoded words, since raw 8-bit bytes
// have no place in a header.
std::string attachment_name(const std::string& path) {
  std::string name = path.substr(path.rfind('/') + 1);
  if (ascii(name)) return name;
  std::u32string refused;
  return header_text_encode(name, "UTF-8", " ", refused);
}

std::optional<std::string> file_bytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream bytes;
  bytes << file.rdbuf();
  if (file.bad()) return std::nullopt;
  return std::move(bytes).str();
}

CBody huge_member(std::uint16_t type, std::string subtype, std::string_view bytes,
                  const std::string& id, const char* short_message,
                  std::vector<std::string>& warnings) {
  CBody member;
  member.type = type;
  member.subtype = std::move(subtype);
  member.id = id;
  auto huge = std::make_unique<CHuge>();
  if (!huge->assign(bytes)) warnings.push_back(short_message);
  member.contents = std::move(huge);
  return member;
}

// What the user typed, in the letter's charset, with what it could not hold.
struct encoder {
  std::string label;
  std::u32string refused;

  std::string text(std::string_view utf8) {
    typed_text typed = typed_text_encode(utf8, label);
    note(typed.refused);
    return typed.bytes;
  }
  std::string header(std::string_view utf8, std::string_view separator) {
    return header_text_encode(utf8, label, separator, refused);
  }
  void note(const std::u32string& more) {
    for (char32_t c : more)
      if (refused.find(c) == std::u32string::npos) refused += c;
  }
};

// The addresses of a field; names with more than ASCII become encoded words.
// False when an address itself has more than ASCII.
bool addresses(std::unique_ptr<mail_address>& list, const std::string& typed,
               const std::string& default_host, encoder& words, compose_problem& problem) {
  address_list_parse(list, typed, default_host);
  for (mail_address* address = list.get(); address; address = address->next.get()) {
    if (!ascii(address->mailbox.value_or("")) || !ascii(address->host.value_or("")) ||
        !ascii(address->route.value_or(""))) {
      problem.message = "地址中只能有 ASCII 字符: " + typed;
      return false;
    }
    if (address->personal && !ascii(*address->personal))
      address->personal = words.header(*address->personal, " ");
  }
  return true;
}

}  // namespace

std::string outgoing_label(const compose_settings& settings) {
  return settings.charset_label.empty() ? std::string("US-ASCII") : settings.charset_label;
}

std::string crlf_lines(std::string_view text) {
  std::string lines;
  lines.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      lines += c;
      continue;
    }
    lines += "\r\n";
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return lines;
}

std::optional<outgoing_letter> outgoing_letter_build(const compose_form& form,
                                                     const compose_settings& settings,
                                                     const std::vector<compose_item>& items,
                                                     std::time_t now, compose_problem& problem) {
  outgoing_letter letter;
  encoder words{outgoing_label(settings), {}};
  // The identifiers name the recipients as typed, 7-bit as every header.
  const std::string to = words.header(form.to, " ");

  // The text body, then the attached files and the items.
  CBody text;
  text.type = TYPE_TEXT;
  text.subtype = "plain";
  text.parameters = one_parameter("charset", words.label);
  text.text = words.text(crlf_lines(form.body));
  text.id = content_id(now, to);
  const std::size_t text_size = text.text.size();
  CBody built;
  if (form.attachments.empty() && items.empty()) {
    built = std::move(text);
  } else {
    built.type = TYPE_MULTIPART;
    built.subtype = "mixed";
    built.id = content_id(now, to);
    auto parts = std::make_unique<CPart>();
    parts->items.push_back(std::make_unique<CPartitem>(std::move(text)));
    for (const std::string& path : form.attachments) {
      std::optional<std::string> bytes = file_bytes(path);
      if (!bytes) {
        problem.message = "不能读文件 " + path;
        return std::nullopt;
      }
      CBody member = huge_member(TYPE_APPLICATION, "Octet-Stream", *bytes, content_id(now, to),
                                 kMemoryShort, letter.warnings);
      member.parameters = one_parameter("NAME", attachment_name(path));
      parts->items.push_back(std::make_unique<CPartitem>(std::move(member)));
    }
    for (const compose_item& item : items) {
      if (!item.data) letter.warnings.push_back(kItemDataShort);
      parts->items.push_back(std::make_unique<CPartitem>(
          huge_member(item.type, item.subtype, item.data.value_or(""), content_id(now, to),
                      kItemDataShort, letter.warnings)));
    }
    built.contents = std::move(parts);
  }

  // The envelope the server gets.
  const std::string user = before_at(settings.imap_account);
  const std::string return_host = after_at(settings.return_address);
  std::string default_host = after_at(settings.imap_account);
  if (default_host.empty()) default_host = local_host_name();
  auto envelope = mail_new_envelope();
  envelope->from = mail_new_address();
  if (!settings.real_name.empty()) envelope->from->personal = words.header(settings.real_name, " ");
  envelope->from->mailbox = user;
  if (!return_host.empty()) envelope->from->host = return_host;
  envelope->return_path = mail_new_address();
  envelope->return_path->mailbox = user;
  envelope->return_path->host = envelope->from->host;
  if (!addresses(envelope->to, form.to, default_host, words, problem) ||
      !addresses(envelope->cc, form.cc, default_host, words, problem) ||
      !addresses(envelope->bcc, form.bcc, default_host, words, problem))
    return std::nullopt;
  const std::string subject = words.header(form.subject, " ");
  envelope->subject = words.header(form.subject, "\r\n ");
  envelope->date = rfc822_date_now();
  envelope->message_id = message_id(now, return_host.empty() ? local_host_name() : return_host);
  if (!words.refused.empty()) {
    problem.message =
        "这些字符不能用 " + words.label + " 写出: " + refused_characters(words.refused);
    return std::nullopt;
  }

  // The copy for Out.
  auto copy = std::make_unique<CAletter>();
  copy->flags = CFlags(static_cast<std::uint32_t>(text_size), kNewStatus);
  copy->envelope.date = std::string(kComposedDateWidth, ' ');
  copy->envelope.subject = subject;
  copy->envelope.from = std::make_unique<CAddress>(
      std::make_unique<CAddritem>(envelope->from->personal.value_or(""), form.from));
  copy->envelope.message_id = *envelope->message_id;
  letter.body = body_to_mail(built, static_cast<int>(settings.transfer_mode));
  copy->body = std::move(built);
  letter.out_copy = std::move(copy);
  letter.envelope = std::move(envelope);
  return letter;
}

std::string outgoing_letter_text(outgoing_letter& letter) {
  std::string text;
  message_output(*letter.envelope, letter.body.get(), [&](std::string_view piece) {
    text += piece;
    return true;
  });
  return text;
}

const char* send_result_text(send_outcome outcome) {
  switch (outcome) {
    case send_outcome::sent:
      return kSentText;
    case send_outcome::refused:
      return kNotSentText;
    case send_outcome::no_host:
      break;
  }
  return kNoHostText;
}

std::string send_result_message(const send_result& result) {
  std::string text = send_result_text(result.outcome);
  if (result.outcome == send_outcome::sent) return text;
  if (!result.reply.empty()) text += "\n" + result.reply;
  // A refusal is the server's; the reports then tell only of hosts tried after it.
  if (result.outcome == send_outcome::refused) return text;
  return mail_reports_under(std::move(text), result.reports);
}

std::vector<std::string> compose_hosts(const compose_settings& settings) {
  return {settings.smtp_server, "localhost"};
}

send_result outgoing_letter_send(outgoing_letter& letter, const std::vector<std::string>& hosts,
                                 bool debug, const smtp_account* account) {
  send_result result;
  std::string failure;
  std::unique_ptr<smtp_stream> stream = smtp_open(hosts, debug, account, &failure);
  if (!stream) {
    result.reply = std::move(failure);
    if (!result.reply.empty() && std::strtol(result.reply.c_str(), nullptr, 10) != SMTP_GONE) {
      result.outcome = send_outcome::refused;
    }
    return result;
  }
  result.outcome = smtp_mail(*stream, "MAIL", *letter.envelope, letter.body.get())
                       ? send_outcome::sent
                       : send_outcome::refused;
  result.reply = stream->reply;
  smtp_close(stream);
  return result;
}
