#include "model/encoded_words.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "chinese/typed_text.h"
#include "message/base64.h"
#include "message/rfc822_binary.h"
#include "platform/charset_reader.h"

namespace {

struct encoded_word {
  std::size_t end = 0;  // just past its "?="
  std::string charset;
  std::string bytes;  // decoded
};

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "=XX" escapes (Q encoding, and "%XX" of RFC 2231 with escape '%').
std::optional<std::string> unescape(std::string_view text, char escape, bool underscore_blank) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == escape) {
      if (i + 2 >= text.size()) return std::nullopt;
      int high = hex_value(text[i + 1]);
      int low = hex_value(text[i + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      bytes += static_cast<char>(high << 4 | low);
      i += 2;
    } else {
      bytes += underscore_blank && c == '_' ? ' ' : c;
    }
  }
  return bytes;
}

// The encoded word starting at text[at] ("=?"), if it is one.
std::optional<encoded_word> word_at(std::string_view text, std::size_t at) {
  if (text.substr(at, 2) != "=?") return std::nullopt;
  std::size_t charset_end = text.find('?', at + 2);
  if (charset_end == std::string_view::npos || charset_end + 2 >= text.size() ||
      text[charset_end + 2] != '?')
    return std::nullopt;
  std::size_t data_start = charset_end + 3;
  std::size_t data_end = text.find("?=", data_start);
  if (data_end == std::string_view::npos) return std::nullopt;
  std::string_view charset = text.substr(at + 2, charset_end - at - 2);
  std::string_view data = text.substr(data_start, data_end - data_start);
  // RFC 2231 lets a language follow the charset after "*".
  charset = charset.substr(0, charset.find('*'));
  if (charset.empty() ||
      std::any_of(data.begin(), data.end(), [](char c) { return c == ' ' || c == '\t'; }))
    return std::nullopt;
  std::optional<std::string> bytes;
  switch (text[charset_end + 1]) {
    case 'B':
    case 'b':
      bytes = base64_decode(data);
      break;
    case 'Q':
    case 'q':
      bytes = unescape(data, '=', true);
      break;
    default:
      return std::nullopt;
  }
  if (!bytes || !charset_known(charset)) return std::nullopt;
  return encoded_word{data_end + 2, std::string(charset), std::move(*bytes)};
}

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string plain_utf8(std::string_view bytes, std::string_view charset) {
  return charset_to_utf8(bytes, charset).value_or(std::string(bytes));
}

// A parameter name split into its name, its section number (-1 for none) and
// whether its value is in the extended form.
struct parameter_name {
  std::string name;
  int section = -1;
  bool extended = false;
};

parameter_name split_name(const std::string& attribute) {
  parameter_name split{attribute};
  std::string_view rest = attribute;
  if (rest.ends_with('*')) {
    split.extended = true;
    rest.remove_suffix(1);
  }
  std::size_t star = rest.rfind('*');
  if (star != std::string_view::npos && star + 1 < rest.size() && rest.size() - star <= 4 &&
      std::all_of(rest.begin() + static_cast<std::ptrdiff_t>(star) + 1, rest.end(),
                  [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
    split.section = std::stoi(std::string(rest.substr(star + 1)));
    rest = rest.substr(0, star);
  }
  split.name = std::string(rest);
  return split;
}

// The charset and the bytes of an extended value: "charset'language'%XX";
// a value without the two marks is only escaped.
std::pair<std::string, std::string> extended_value(std::string_view value) {
  std::string charset;
  std::size_t first = value.find('\'');
  std::size_t second = first == std::string_view::npos ? first : value.find('\'', first + 1);
  if (second != std::string_view::npos) {
    charset = std::string(value.substr(0, first));
    value.remove_prefix(second + 1);
  }
  return {charset, unescape(value, '%', false).value_or(std::string(value))};
}

std::string in_charset(const std::string& bytes, const std::string& charset,
                       std::string_view fallback) {
  if (!charset.empty()) {
    if (std::optional<std::string> text = charset_to_utf8(bytes, charset)) return *text;
  }
  return plain_utf8(bytes, fallback);
}

}  // namespace

std::string header_text_utf8(std::string_view text, std::string_view charset) {
  std::string shown;
  std::optional<encoded_word> pending;  // words of one charset, joined
  auto flush = [&] {
    if (pending) shown += plain_utf8(pending->bytes, pending->charset);
    pending.reset();
  };
  std::size_t plain_start = 0;
  std::size_t at = 0;
  while ((at = text.find("=?", at)) != std::string_view::npos) {
    std::optional<encoded_word> word = word_at(text, at);
    if (!word) {
      at += 2;
      continue;
    }
    const std::size_t end = word->end;
    std::string_view between = text.substr(plain_start, at - plain_start);
    bool blank_only = between.find_first_not_of(" \t\r\n") == std::string_view::npos;
    if (pending && blank_only && same_name(pending->charset, word->charset)) {
      // A character may be split over two words of one charset.
      pending->bytes += word->bytes;
    } else {
      bool after_word = pending.has_value();
      flush();
      if (!(after_word && blank_only)) shown += plain_utf8(between, charset);
      pending = std::move(word);
    }
    at = plain_start = end;
  }
  flush();
  shown += plain_utf8(text.substr(plain_start), charset);
  return shown;
}

std::vector<shown_parameter> parameters_shown(const CParameter& parameters,
                                              std::string_view charset) {
  std::vector<shown_parameter> shown;
  // The sections of continued values, by their place in shown.
  std::map<std::size_t, std::map<int, std::pair<bool, std::string>>> continued;
  for (const auto& item : parameters.items) {
    parameter_name split = split_name(item->attribute);
    if (split.section < 0) {
      if (split.extended) {
        auto [value_charset, bytes] = extended_value(item->value);
        shown.push_back({split.name, in_charset(bytes, value_charset, charset)});
      } else {
        shown.push_back({item->attribute, header_text_utf8(item->value, charset)});
      }
      continue;
    }
    auto place = std::find_if(continued.begin(), continued.end(), [&](const auto& entry) {
      return same_name(shown[entry.first].attribute, split.name);
    });
    if (place == continued.end()) {
      place = continued.emplace(shown.size(), decltype(continued)::mapped_type{}).first;
      shown.push_back({split.name, {}});
    }
    place->second[split.section] = {split.extended, item->value};
  }
  for (const auto& [index, sections] : continued) {
    std::string value_charset;
    std::string bytes;
    for (const auto& [section, part] : sections) {
      const auto& [extended, value] = part;
      if (!extended) {
        bytes += value;
      } else if (section == sections.begin()->first) {
        auto [first_charset, first_bytes] = extended_value(value);
        value_charset = first_charset;
        bytes += first_bytes;
      } else {
        bytes += unescape(value, '%', false).value_or(value);
      }
    }
    shown[index].value = in_charset(bytes, value_charset, charset);
  }
  return shown;
}

std::optional<std::string> parameter_shown(const CParameter& parameters, std::string_view attribute,
                                           std::string_view charset) {
  for (shown_parameter& each : parameters_shown(parameters, charset))
    if (same_name(each.attribute, attribute)) return std::move(each.value);
  return std::nullopt;
}

std::string header_text_encode(std::string_view utf8, std::string_view label,
                               std::string_view separator, std::u32string& refused) {
  // ASCII stays as it is, unless a reader would take some of it for an
  // encoded word.
  if (std::all_of(utf8.begin(), utf8.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; }) &&
      utf8.find("=?") == std::string_view::npos)
    return std::string(utf8);
  constexpr std::size_t kLongestWord = 75;
  const std::string head = "=?" + std::string(label) + "?B?";
  const std::size_t room = kLongestWord > head.size() + 2 ? kLongestWord - head.size() - 2 : 4;
  std::vector<std::size_t> starts;
  charset_reader("UTF-8").read(utf8, [&](char32_t, std::size_t at) { starts.push_back(at); });
  starts.push_back(utf8.size());
  auto word_of = [&](std::size_t from, std::size_t to) {
    typed_text typed =
        typed_text_encode(utf8.substr(starts[from], starts[to] - starts[from]), label);
    for (char32_t c : typed.refused)
      if (refused.find(c) == std::u32string::npos) refused += c;
    std::string encoded = rfc822_binary(typed.bytes);
    std::erase(encoded, '\r');
    std::erase(encoded, '\n');
    return encoded;
  };
  std::string text;
  for (std::size_t from = 0; from + 1 < starts.size();) {
    // As many characters as fit; at least one.
    std::size_t to = from + 1;
    while (to + 1 < starts.size() && word_of(from, to + 1).size() <= room)
      ++to;
    if (!text.empty()) text += separator;
    text += head + word_of(from, to) + "?=";
    from = to;
  }
  return text;
}
