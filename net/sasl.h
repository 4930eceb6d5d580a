#pragma once

#include <string>
#include <string_view>

// Base64 on one line, as SASL exchanges carry it.
std::string sasl_base64(std::string_view bytes);

// The PLAIN response: NUL, user, NUL, password, in base64.
std::string sasl_plain(std::string_view user, std::string_view password);
