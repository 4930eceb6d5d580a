#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/parameter.h"

// Header texts and content-type parameters as the screen shows them. The
// letter keeps the bytes it came with; these only decode them for display.
// Everything comes out in UTF-8; bytes outside encoded forms are read in the
// charset given (the code page the letters' headers are shown in).

// RFC 2047 encoded words ("=?GB2312?B?...?=", "=?UTF-8?Q?...?=") decoded;
// blanks between two encoded words dropped. A word that is malformed or in a
// charset iconv does not know stays as it is.
std::string header_text_utf8(std::string_view text, std::string_view charset);

// One parameter for the screen.
struct shown_parameter {
  std::string attribute;
  std::string value;
  bool operator==(const shown_parameter&) const = default;
};

// The parameters for the screen, in order: RFC 2231 values
// (NAME*=UTF-8''%E4%B8%AD) decoded and their continuations (NAME*0, NAME*1*,
// ...) joined under the name without the marks; encoded words in plain values
// decoded too.
std::vector<shown_parameter> parameters_shown(const CParameter& parameters,
                                              std::string_view charset);

// The value of one parameter for the screen (compared without regard to
// case), nothing when there is none.
std::optional<std::string> parameter_shown(const CParameter& parameters, std::string_view attribute,
                                           std::string_view charset);

// Header text the user typed (UTF-8) as it travels: ASCII as it is; any other
// text (and ASCII that holds "=?") whole as RFC 2047 encoded words (B encoding) in the charset the
// label names, each at most 75 characters, joined by the separator ("\r\n " folds them, " " keeps
// them on one line). The characters the charset cannot hold are added to refused.
std::string header_text_encode(std::string_view utf8, std::string_view label,
                               std::string_view separator, std::u32string& refused);
