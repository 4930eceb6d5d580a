#include <cstdint>
#include <cstdio>
#include <limits>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/streams.h"
#include "message/base64.h"
#include "message/body_names.h"
#include "message/body_section.h"
#include "message/envelope_parse.h"
#include "message/quoted_printable.h"
#include "platform/host_name.h"

namespace {

using json = nlohmann::ordered_json;

json text_json(const mail_text& text) {
  return text ? json(*text) : json(nullptr);
}

json address_list_json(const mail_address* list) {
  json addresses = json::array();
  for (; list; list = list->next.get()) {
    addresses.push_back({{"personal", text_json(list->personal)},
                         {"route", text_json(list->route)},
                         {"mailbox", text_json(list->mailbox)},
                         {"host", text_json(list->host)}});
  }
  return addresses;
}

json envelope_json(const mail_envelope& envelope) {
  return {{"date", text_json(envelope.date)},
          {"from", address_list_json(envelope.from.get())},
          {"sender", address_list_json(envelope.sender.get())},
          {"reply_to", address_list_json(envelope.reply_to.get())},
          {"subject", text_json(envelope.subject)},
          {"to", address_list_json(envelope.to.get())},
          {"cc", address_list_json(envelope.cc.get())},
          {"bcc", address_list_json(envelope.bcc.get())},
          {"in_reply_to", text_json(envelope.in_reply_to)},
          {"message_id", text_json(envelope.message_id)},
          {"newsgroups", text_json(envelope.newsgroups)}};
}

json body_json(const mail_body& body) {
  json parameters = json::array();
  for (const mail_parameter* parameter = body.parameter_list.get(); parameter;
       parameter = parameter->next.get()) {
    parameters.push_back({text_json(parameter->attribute), text_json(parameter->value)});
  }
  json result = {{"type", body_type_name(body.type)},
                 {"subtype", text_json(body.subtype)},
                 {"parameters", std::move(parameters)},
                 {"id", text_json(body.id)},
                 {"description", text_json(body.description)},
                 {"encoding", body_encoding_name(body.encoding)},
                 {"lines", body.lines},
                 {"bytes", body.bytes}};
  if (body.type == TYPE_MULTIPART) {
    json parts = json::array();
    for (const mail_body_part* part = body.contents.part.get(); part; part = part->next.get()) {
      json part_json = body_json(part->body);
      part_json["offset"] = part->offset;
      parts.push_back(std::move(part_json));
    }
    result["parts"] = std::move(parts);
  } else if (body.type == TYPE_MESSAGE && body.subtype == "RFC822") {
    const mail_body::message_contents& message = body.contents.message;
    result["message"] = message.envelope && message.body
                            ? json{{"envelope", envelope_json(*message.envelope)},
                                   {"body", body_json(*message.body)}}
                            : json(nullptr);
  }
  return result;
}

struct parse_options {
  std::string path;  // empty: standard input
  std::string section;
  bool has_section = false;
  bool decode = false;
};

bool options_read(cli_arguments arguments, parse_options& options) {
  bool has_path = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word == "--section") {
      if (options.has_section || ++i == arguments.size()) return false;
      options.section = arguments[i];
      options.has_section = true;
    } else if (word == "--decode") {
      options.decode = true;
    } else if (!has_path && !word.starts_with("--")) {
      options.path = word;
      has_path = true;
    } else {
      return false;
    }
  }
  return options.has_section || !options.decode;
}

int section_write(const std::string& message, const mail_body& body, std::uint32_t body_offset,
                  const parse_options& options) {
  std::optional<body_section_place> place = body_section_find(body, body_offset, options.section);
  if (!place) {
    std::fprintf(stderr, "kestrel-mail: no section %s in this message\n", options.section.c_str());
    return EXIT_FAILED;
  }
  const std::string_view text = std::string_view(message).substr(place->offset, place->body->bytes);
  if (!options.decode || (place->body->encoding != ENCODING_BASE64 &&
                          place->body->encoding != ENCODING_QUOTED_PRINTABLE)) {
    return output_write(text) ? EXIT_DONE : EXIT_FAILED;
  }
  const std::optional<std::string> bytes =
      place->body->encoding == ENCODING_BASE64 ? base64_decode(text) : qprint_decode(text);
  if (!bytes) {
    std::fprintf(stderr, "kestrel-mail: section %s: malformed %s text\n", options.section.c_str(),
                 place->body->encoding == ENCODING_BASE64 ? "base64" : "quoted-printable");
    return EXIT_FAILED;
  }
  return output_write(*bytes) ? EXIT_DONE : EXIT_FAILED;
}

}  // namespace

int run_parse(const cli_command& command, cli_arguments arguments) {
  parse_options options;
  if (!options_read(arguments, options)) return cli_usage(command);
  std::optional<std::string> message = input_read(options.path);
  if (!message) return EXIT_FAILED;
  if (message->size() > std::numeric_limits<std::uint32_t>::max()) {
    std::fprintf(stderr, "kestrel-mail: a message of %zu bytes is too large (at most 4 GiB)\n",
                 message->size());
    return EXIT_FAILED;
  }
  text_source source;
  text_source_from_memory(source, *message);
  const parsed_letter letter = letter_parse(source, local_host_name());
  if (options.has_section)
    return section_write(*message, *letter.body, letter.body_offset, options);
  const json result = {{"envelope", envelope_json(*letter.envelope)},
                       {"body", body_json(*letter.body)}};
  // Letters hold bytes of any charset; invalid UTF-8 is replaced, not fatal.
  return output_write(result.dump(-1, ' ', false, json::error_handler_t::replace) + "\n")
             ? EXIT_DONE
             : EXIT_FAILED;
}
