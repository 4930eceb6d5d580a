#include "message/message_output.h"

#include <unistd.h>

#include <chrono>
#include <ctime>

#include "message/rfc822_binary.h"
#include "message/body_names.h"
#include "message/callbacks.h"
#include "message/header_write.h"
#include "message/quoted_printable.h"
#include "platform/random.h"

namespace {

// Parameter values are quoted when they hold any of these.
constexpr const char* kValueSpecials = " ()<>@,;:\\\"[]./?=";

const auto kStart = std::chrono::steady_clock::now();

std::string_view boundary_of(const mail_body& body) {
  for (const mail_parameter* parameter = body.parameter_list.get(); parameter;
       parameter = parameter->next.get()) {
    if (parameter->attribute == "BOUNDARY" && parameter->value) return *parameter->value;
  }
  return "-";
}

void contents_replace(mail_body& body, std::uint16_t encoding, std::string text) {
  body.encoding = encoding;
  body.bytes = static_cast<std::uint32_t>(text.size());
  body.contents.text = std::move(text);
}

}  // namespace

std::string body_boundary_new() {
  const long milliseconds = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  std::chrono::steady_clock::now() - kStart)
                                                  .count());
  return mail_format("%ld-%ld-%ld=:%ld", milliseconds, random_number(),
                     static_cast<long>(std::time(nullptr)), static_cast<long>(getpid()));
}

bool rfc822_encode_body(mail_envelope& envelope, mail_body& body) {
  switch (body.type) {
    case TYPE_MULTIPART:
      if (!body.parameter_list) {
        body.parameter_list = mail_new_body_parameter();
        body.parameter_list->attribute = "BOUNDARY";
        body.parameter_list->value = body_boundary_new();
      }
      for (mail_body_part* part = body.contents.part.get(); part; part = part->next.get()) {
        if (!rfc822_encode_body(envelope, part->body)) return false;
      }
      return true;
    case TYPE_MESSAGE:
      if (body.encoding == ENCODING_7BIT || body.encoding == ENCODING_8BIT ||
          body.encoding == ENCODING_BINARY) {
        return true;
      }
      mail_log(LOG_ERROR, "Invalid rfc822_encode_body message encoding");
      return false;
    default: {
      const std::string_view text =
          body.contents.text ? std::string_view(*body.contents.text) : std::string_view();
      if (body.encoding == ENCODING_8BIT) {
        contents_replace(body, ENCODING_QUOTED_PRINTABLE, qprint_encode(text));
      } else if (body.encoding == ENCODING_BINARY) {
        contents_replace(body, ENCODING_BASE64, rfc822_binary(text));
      }
      return true;
    }
  }
}

void body_header_write(std::string& buffer, const mail_body& body) {
  buffer += "Content-Type: ";
  buffer += body_type_name(body.type);
  buffer += '/';
  buffer += body.subtype ? std::string_view(*body.subtype) : default_subtype_name(body.type);
  if (body.parameter_list) {
    for (const mail_parameter* parameter = body.parameter_list.get(); parameter;
         parameter = parameter->next.get()) {
      buffer += "; ";
      buffer += parameter->attribute.value_or("");
      buffer += '=';
      quoted_append(buffer, parameter->value.value_or(""), kValueSpecials);
    }
  } else if (body.type == TYPE_TEXT) {
    buffer += "; CHARSET=US-ASCII";
  }
  buffer += "\r\n";
  if (body.encoding != ENCODING_7BIT) {
    buffer += "Content-Transfer-Encoding: ";
    buffer += body_encoding_name(body.encoding);
    buffer += "\r\n";
  }
  if (body.id) buffer += "Content-ID: " + *body.id + "\r\n";
  if (body.description) buffer += "Content-Description: " + *body.description + "\r\n";
}

bool body_output(const mail_body& body, const message_writer& write) {
  if (body.type == TYPE_MULTIPART) {
    const std::string boundary(boundary_of(body));
    for (const mail_body_part* part = body.contents.part.get(); part; part = part->next.get()) {
      std::string header = "--" + boundary + "\r\n";
      body_header_write(header, part->body);
      header += "\r\n";
      if (!write(header) || !body_output(part->body, write)) return false;
    }
    return write("--" + boundary + "--\r\n");
  }
  const mail_text& text =
      body.type == TYPE_MESSAGE ? body.contents.message.text : body.contents.text;
  if (!text || text->empty()) return true;
  return write(*text) && write("\r\n");
}

bool message_output(mail_envelope& envelope, mail_body* body, const message_writer& write) {
  if (body && !rfc822_encode_body(envelope, *body)) return false;
  return write(header_write(envelope, body)) && (!body || body_output(*body, write));
}
