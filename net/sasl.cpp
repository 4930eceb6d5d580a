#include "net/sasl.h"

#include <algorithm>

#include "message/rfc822_binary.h"

std::string sasl_base64(std::string_view bytes) {
  std::string text = rfc822_binary(bytes);
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  return text;
}

std::string sasl_plain(std::string_view user, std::string_view password) {
  std::string response;
  response += '\0';
  response += user;
  response += '\0';
  response += password;
  return sasl_base64(response);
}
