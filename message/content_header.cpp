#include "message/content_header.h"

#include <string>

#include "message/address_parse.h"
#include "message/body_names.h"
#include "message/callbacks.h"
#include "platform/storage.h"

namespace {

std::string upper_copy(char* start, char* end) {
  std::string text(start, end);
  return text_upper(text);
}

void parameters_parse(mail_body& body, char* text) {
  std::unique_ptr<mail_parameter>* place = &body.parameter_list;
  mail_parameter* last = nullptr;
  bool token_missing = false;
  skip_white(text);
  while (*text == ';') {
    ++text;
    char* end = word_end(text, token_specials);
    if (!end) {
      token_missing = true;
      break;
    }
    skip_white(text);
    auto parameter = mail_new_body_parameter();
    parameter->attribute = upper_copy(text, end);
    text = end;
    skip_white(text);
    if (*text == '=') {
      ++text;
      if (char* value_end = word_end(text, token_specials)) {
        skip_white(text);
        parameter->value = copy_dequoted(std::string_view(text, value_end));
        text = value_end;
      } else {
        token_missing = true;
      }
    }
    if (!parameter->value) parameter->value = "UNKNOWN";
    last = parameter.get();
    *place = std::move(parameter);
    place = &(*place)->next;
    if (token_missing) break;
    skip_white(text);
  }
  if (token_missing) {
    if (last) {
      mail_log(LOG_PARSE, "Missing parameter value: %.80s", last->attribute->c_str());
    } else {
      mail_log(LOG_PARSE, "Missing parameter");
    }
  } else if (*text) {
    mail_log(LOG_PARSE, "Junk at end of parameters: %.80s", text);
  }
}

void type_parse(mail_body& body, char* text) {
  char* end = word_end(text, token_specials);
  if (!end) return;
  skip_white(text);
  body.type = body_type_find(upper_copy(text, end));
  text = end;
  skip_white(text);
  if (*text == '/') {
    ++text;
    if (char* subtype_end = word_end(text, token_specials)) {
      skip_white(text);
      body.subtype = upper_copy(text, subtype_end);
      text = subtype_end;
    }
  }
  if (!body.subtype) body.subtype = default_subtype_name(body.type);
  parameters_parse(body, text);
}

}  // namespace

void content_header_parse(mail_body& body, std::string_view name, std::string_view value) {
  if (name == "DESCRIPTION") {
    if (!body.description) body.description = std::string(value);
  } else if (name == "ID") {
    if (!body.id) body.id = std::string(value);
  } else if (name == "TYPE") {
    if (body.type != TYPE_TEXT || body.subtype || body.parameter_list) return;
    std::string buffer(value);  // cut by the token parser; a zero byte ends it
    type_parse(body, buffer.data());
  } else if (name == "TRANSFER-ENCODING") {
    std::string encoding(value.substr(0, value.find(' ')));
    encoding.resize(std::char_traits<char>::length(encoding.c_str()));
    // An empty value names no encoding; it must not take a slot of the table.
    if (encoding.empty()) return;
    body.encoding = body_encoding_find(text_upper(encoding));
  }
}
