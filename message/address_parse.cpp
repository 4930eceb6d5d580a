#include "message/address_parse.h"

#include <cstring>

#include "message/callbacks.h"

namespace {

bool letter_or_digit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Appends at the tail and returns the new tail.
mail_address* append(mail_address* tail, std::unique_ptr<mail_address>& list,
                     std::unique_ptr<mail_address> element) {
  std::unique_ptr<mail_address>& place = tail ? tail->next : list;
  place = std::move(element);
  return place.get();
}

// Skips a quoted string whose opening quote is at text; returns the closing
// quote, or null when the text ends first.
char* quoted_string_end(char* text) {
  for (++text; *text != '"'; ++text) {
    if (!*text) return nullptr;
    if (*text == '\\' && text[1]) ++text;
  }
  return text;
}

std::string dequoted_between(char* start, char* end) {
  return copy_dequoted(std::string_view(start, static_cast<std::size_t>(end - start)));
}

}  // namespace

void skip_white(char*& cursor) {
  for (;;) {
    if (*cursor == ' ') {
      ++cursor;
      continue;
    }
    if (*cursor != '(') return;
    char* open = cursor;
    int depth = 1;
    for (char* s = open + 1; depth; ++s) {
      switch (*s) {
        case '\0':
          mail_log(LOG_PARSE, "Unterminated comment: %.80s", open);
          *open = '\0';
          cursor = open;
          return;
        case '\\':
          if (s[1]) ++s;
          break;
        case '"':
          if (char* close = quoted_string_end(s)) {
            s = close;
            break;
          }
          mail_log(LOG_PARSE, "Unterminated quoted string within comment: %.80s", open);
          *open = '\0';
          cursor = open;
          return;
        case '(':
          ++depth;
          break;
        case ')':
          if (--depth == 0) cursor = s + 1;
          break;
        default:
          break;
      }
    }
  }
}

char* word_end(char* text, const char* specials) {
  skip_white(text);
  if (!*text) return nullptr;
  char* start = text;
  for (;;) {
    text += std::strcspn(text, specials);
    switch (*text) {
      case '\0':
        return text;
      case '"':
        text = quoted_string_end(text);
        if (!text) return nullptr;
        ++text;
        break;
      case '\\':
        text += text[1] ? 2 : 1;
        break;
      default:
        return text == start ? nullptr : text;
    }
  }
}

char* phrase_end(char* text) {
  char* end = word_end(text);
  if (!end) return nullptr;
  while (*end) {
    char* rest = end;
    skip_white(rest);
    char* further = word_end(rest);
    if (!further) break;
    end = further;
  }
  return end;
}

std::unique_ptr<mail_address> addr_spec_parse(char* text, char*& cursor,
                                              const std::string& default_host) {
  skip_white(text);
  char* end = word_end(text);
  if (!end) return nullptr;
  auto address = mail_new_address();
  address->mailbox = dequoted_between(text, end);
  char* scan = end;
  skip_white(scan);
  if (*scan == '@') {
    ++scan;
    skip_white(scan);
    char* host_end = word_end(scan, host_specials);
    if (!host_end) {
      mail_log(LOG_PARSE, "Missing or invalid host name after @");
      address->host = default_host;
      cursor = nullptr;
      return address;
    }
    address->host = std::string(scan, host_end);
    scan = host_end;
  } else {
    scan = end;
  }
  if (!address->host) address->host = default_host;
  // A comment after the address is the old way to give the personal name.
  char* comment = scan;
  while (*comment == ' ')
    ++comment;
  if (*comment == '(') {
    char* name = comment + 1;
    skip_white(name);
    if (char* name_end = phrase_end(name)) {
      char* close = name_end;
      while (*close == ' ')
        ++close;
      if (*close == ')') {
        address->personal = dequoted_between(name, name_end);
        scan = close + 1;
      }
    }
  }
  skip_white(scan);
  cursor = *scan ? scan : nullptr;
  return address;
}

std::unique_ptr<mail_address> route_address_parse(char* text, char*& cursor,
                                                  const std::string& default_host) {
  skip_white(text);
  if (*text != '<') return nullptr;
  char* inside = text + 1;
  char* colon = nullptr;
  if (*inside == '@') {
    colon = std::strchr(inside, ':');
    if (!colon) return nullptr;
    *colon = '\0';
  }
  char* rest = nullptr;
  auto address = addr_spec_parse(colon ? colon + 1 : inside, rest, default_host);
  if (!address) {
    if (colon) *colon = ':';
    return nullptr;
  }
  if (colon) address->route = std::string(inside, colon);
  if (rest && *rest == '>') {
    ++rest;
    skip_white(rest);
    cursor = *rest ? rest : nullptr;
  } else {
    const std::string& host = *address->host;
    mail_log(LOG_PARSE, "Unterminated mailbox: %.80s@%.80s", address->mailbox->c_str(),
             host[0] == '@' ? "<null>" : host.c_str());
    cursor = nullptr;
  }
  return address;
}

std::unique_ptr<mail_address> address_parse(char*& cursor, const std::string& default_host) {
  if (!cursor) return nullptr;
  char* text = cursor;
  skip_white(text);
  if (!*text) {
    cursor = nullptr;
    return nullptr;
  }
  char* rest = nullptr;
  std::unique_ptr<mail_address> address;
  if (*text == '<') {
    address = route_address_parse(text, rest, default_host);
  } else {
    char* end = phrase_end(text);
    if (end && (address = route_address_parse(end, rest, default_host))) {
      address->personal = dequoted_between(text, end);
    } else {
      address = addr_spec_parse(text, rest, default_host);
    }
  }
  if (!address) return nullptr;
  if (!rest || !*rest) {
    cursor = nullptr;
  } else if (*rest == ',') {
    cursor = rest + 1;
  } else if (*rest == ';') {
    cursor = rest;
  } else {
    mail_log(LOG_PARSE,
             letter_or_digit(*rest) ? "Must use comma to separate addresses: %.80s"
                                    : "Junk at end of address: %.80s",
             rest);
    cursor = nullptr;
  }
  return address;
}

void address_list_parse(std::unique_ptr<mail_address>& list, std::string_view text,
                        const std::string& default_host) {
  mail_address* tail = list.get();
  while (tail && tail->next)
    tail = tail->next.get();
  std::string buffer(text);  // the parse cuts it; a zero byte ends it
  char* cursor = buffer.data();
  skip_white(cursor);
  int depth = 0;
  while (cursor && *cursor) {
    skip_white(cursor);
    char* name_end = *cursor == ':' ? cursor : phrase_end(cursor);
    if (name_end) {
      char* colon = name_end;
      skip_white(colon);
      if (*colon == ':') {
        auto group = mail_new_address();
        group->mailbox = dequoted_between(cursor, name_end);
        tail = append(tail, list, std::move(group));
        ++depth;
        cursor = colon + 1;
        continue;
      }
    }
    if (!*cursor) break;
    if (!(*cursor == ';' && depth >= 1)) {
      char* start = cursor;
      auto address = address_parse(cursor, default_host);
      if (address) {
        tail = append(tail, list, std::move(address));
      } else if (cursor && *cursor) {
        mail_log(LOG_PARSE, "Bad mailbox: %.80s", start);
        break;
      }
    }
    if (cursor && *cursor == ';' && depth >= 0) {
      --depth;
      ++cursor;
      tail = append(tail, list, mail_new_address());
      skip_white(cursor);
      if (*cursor == ',') {
        ++cursor;
      } else if (*cursor && *cursor != ';') {
        mail_log(LOG_PARSE, "Junk at end of group: %.80s", cursor);
      }
    }
  }
  for (; depth > 0; --depth)
    tail = append(tail, list, mail_new_address());
}

std::string copy_dequoted(std::string_view text) {
  std::string copy(text);
  dequote(copy);
  return copy;
}

void dequote(std::string& text) {
  if (text.find_first_of("\\\"") == std::string::npos) return;
  std::size_t out = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') continue;
    if (text[i] == '\\' && i + 1 < text.size()) ++i;
    text[out++] = text[i];
  }
  text.resize(out);
}

std::unique_ptr<mail_address> address_list_copy(const mail_address* list) {
  std::unique_ptr<mail_address> copy;
  mail_address* tail = nullptr;
  for (; list; list = list->next.get()) {
    auto element = mail_new_address();
    element->personal = list->personal;
    element->route = list->route;
    element->mailbox = list->mailbox;
    element->host = list->host;
    tail = append(tail, copy, std::move(element));
  }
  return copy;
}
