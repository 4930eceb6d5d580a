#pragma once

#include <string_view>

// Whether a mailbox name matches a listing pattern: "%" and "?" stand for one
// character, "*" for any run; letters match whatever their case.
bool mailbox_pattern_match(std::string_view name, std::string_view pattern);
