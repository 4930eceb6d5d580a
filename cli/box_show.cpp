#include <glib.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "model/huge.h"
#include "model/letter_text.h"
#include "model/message.h"
#include "model/part.h"
#include "cli/box_commands.h"
#include "cli/streams.h"

namespace {

using json = nlohmann::ordered_json;

bool valid_utf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    std::uint32_t code = byte;
    if (byte >= 0xF0 && byte <= 0xF4) {
      length = 4;
      code = byte & 0x07;
    } else if (byte >= 0xE0) {
      length = 3;
      code = byte & 0x0F;
    } else if (byte >= 0xC2 && byte <= 0xDF) {
      length = 2;
      code = byte & 0x1F;
    } else if (byte >= 0x80) {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = code << 6 | (next & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

// Text that is UTF-8 as a string, anything else as its base64.
json text_json(std::string_view text) {
  if (valid_utf8(text)) return json(std::string(text));
  gchar* encoded = g_base64_encode(reinterpret_cast<const guchar*>(text.data()), text.size());
  json result = {{"base64", encoded}};
  g_free(encoded);
  return result;
}

json contents_json(std::string_view bytes) {
  gchar* digest = g_compute_checksum_for_data(
      G_CHECKSUM_SHA256, reinterpret_cast<const guchar*>(bytes.data()), bytes.size());
  json result = {{"size", bytes.size()}, {"sha256", digest}};
  g_free(digest);
  return result;
}

json address_json(const CAddress* list) {
  if (!list) return nullptr;
  json items = json::array();
  for (const auto& item : list->items)
    items.push_back({text_json(item->name), text_json(item->address)});
  return items;
}

json envelope_json(const CEnvelope& envelope) {
  return {{"date", text_json(envelope.date)},
          {"subject", text_json(envelope.subject)},
          {"message_id", text_json(envelope.message_id)},
          {"from", address_json(envelope.from.get())},
          {"to", address_json(envelope.to.get())},
          {"cc", address_json(envelope.cc.get())},
          {"bcc", address_json(envelope.bcc.get())}};
}

json body_json(const CBody& body) {
  json parameters = nullptr;
  if (body.parameters) {
    parameters = json::array();
    for (const auto& item : body.parameters->items)
      parameters.push_back({text_json(item->attribute), text_json(item->value)});
  }
  json result = {{"type", body.type},
                 {"subtype", text_json(body.subtype)},
                 {"parameters", std::move(parameters)},
                 {"id", text_json(body.id)}};
  if (body.type == 0) {
    result["contents"] = contents_json(body.text);
  } else if (const CPart* parts = body.part()) {
    json list = json::array();
    for (const auto& item : parts->items)
      list.push_back(body_json(item->body));
    result["parts"] = std::move(list);
  } else if (const CMessage* message = body.message()) {
    result["message"] = {{"envelope", envelope_json(message->envelope)},
                         {"body", body_json(message->body)},
                         {"text", contents_json(message->text)}};
  } else if (const CHuge* huge = body.huge()) {
    result["contents"] = contents_json(huge->bytes());
  } else {
    result["contents"] = nullptr;
  }
  return result;
}

json letter_json(const CAletter& letter) {
  const CEnvelope& envelope = letter.envelope;
  return {{"status", text_json(letter.flags.status)},
          {"size", letter.flags.size},
          {"date", text_json(envelope.date)},
          {"subject", text_json(envelope.subject)},
          {"message_id", text_json(envelope.message_id)},
          {"from", address_json(envelope.from.get())},
          {"to", address_json(envelope.to.get())},
          {"cc", address_json(envelope.cc.get())},
          {"bcc", address_json(envelope.bcc.get())},
          {"body", body_json(letter.body)}};
}

}  // namespace

int box_show(cli_arguments arguments) {
  bool as_json = false;
  std::string path;
  for (const std::string& word : arguments) {
    if (word == "--json") {
      as_json = true;
    } else if (path.empty() && !word.starts_with("--")) {
      path = word;
    } else {
      return EXIT_USAGE;
    }
  }
  if (path.empty()) return EXIT_USAGE;
  std::unique_ptr<CVelmarDocData> document = box_open_or_report(path);
  if (!document) return EXIT_FAILED;
  std::string out;
  if (as_json) {
    json letters = json::array();
    for (const auto& letter : document->letters)
      letters.push_back(letter_json(*letter));
    json result = {{"mailbox", text_json(document->mailbox_name)},
                   {"current", document->current},
                   {"letters", std::move(letters)}};
    out = result.dump(2) + "\n";
  } else {
    for (std::size_t i = 0; i < document->letters.size(); ++i)
      out += letter_list_line(*document->letters[i], i) + "\n";
  }
  return output_write(out) ? EXIT_DONE : EXIT_FAILED;
}
