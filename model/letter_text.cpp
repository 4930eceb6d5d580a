#include "model/letter_text.h"

#include <cstdio>
#include <optional>

#include <strings.h>

#include "model/message.h"
#include "model/part.h"
#include "chinese/charset_labels.h"

namespace {

constexpr std::uint16_t kText = 0;
constexpr std::uint16_t kMultipart = 1;
constexpr std::uint16_t kMessage = 2;
constexpr std::size_t kDateWidth = 11;
constexpr std::size_t kSenderWidth = 16;
constexpr std::size_t kSenderColumns = 35;
constexpr std::size_t kSubjectWidth = 90;
constexpr unsigned kListLabels =
    LABEL_US_ASCII | LABEL_CN_GB | LABEL_GB2312 | LABEL_CN_BIG5 | LABEL_BIG5;

std::string_view type_word(std::uint16_t type) {
  static constexpr std::string_view kWords[] = {"文本", "多报文", "消息",     "应用程序",
                                                "声音", "图象",   "视频信号", "用户定义"};
  return type < std::size(kWords) ? kWords[type] : "类型不明";
}

// A program word in the code page asked for.
std::string word(const program_words& words, std::string_view text) {
  return words ? words(text) : std::string(text);
}

void append_addresses(std::string& text, const program_words& words, std::string_view label,
                      const CAddress* list) {
  if (!list) return;
  text += word(words, label);
  for (std::size_t i = 0; i < list->items.size(); ++i) {
    if (i) text += ';';
    text += list->items[i]->address;
  }
}

std::optional<std::string_view> charset_of(const CBody& body) {
  if (!body.parameters) return std::nullopt;
  for (const auto& item : body.parameters->items) {
    if (item->attribute.size() == 7 && strncasecmp(item->attribute.c_str(), "charset", 7) == 0)
      return item->value;
  }
  return std::nullopt;
}

void append_placeholder(std::string& text, const program_words& words, const CBody& body) {
  text += "\r\n>> ";
  text += word(words, type_word(body.type));
  text += word(words, " 双击此行来保存或显示 <<\r\n\r\n");
}

void append_body(std::string& text, const program_words& words, const CBody& body, long platform) {
  if (body.type == kMultipart) {
    text += word(words, "内容类型 : 多报文/") + body.subtype + "\r\n";
    if (const CPart* parts = body.part()) {
      for (const auto& item : parts->items) {
        text += word(words, "---------------- 多报文分界 -----------------\r\n");
        append_body(text, words, item->body, platform);
      }
    }
    return;
  }
  if (body.type == kMessage) {
    text += word(words, "内容类型 : 消息/") + body.subtype + "\r\n";
    text += word(words, "----------- 以下为消息内容 -------------\r\n");
    if (const CMessage* message = body.message()) append_body(text, words, message->body, platform);
    return;
  }
  text += word(words, "内容类型 : ");
  text += word(words, type_word(body.type));
  text += "/" + body.subtype;
  if (body.parameters) {
    for (const auto& item : body.parameters->items)
      text += "; " + item->attribute + "=" + item->value;
  }
  text += "\r\n";
  const bool plain = body.subtype.size() == 5 && strncasecmp(body.subtype.c_str(), "plain", 5) == 0;
  if (body.type == kText && plain &&
      text_part_addition_rule(charset_of(body), platform, kListLabels) ==
          text_part_addition::text) {
    text += "\r\n" + body.text + "\r\n\r\n";
  } else {
    append_placeholder(text, words, body);
  }
}

}  // namespace

std::string letter_sender(const CAletter& letter, std::string_view someone) {
  const CAddress* from = letter.envelope.from.get();
  if (!from || from->items.empty()) return std::string(someone);
  const CAddritem& first = *from->items.front();
  if (!first.name.empty()) return first.name;
  if (!first.address.empty()) return first.address;
  return std::string(someone);
}

std::string letter_list_line(const CAletter& letter, std::size_t index, std::string_view someone) {
  const CFlags& flags = letter.flags;
  char mark = ' ';
  if (flags.mark(2) == 'D') {
    mark = 'D';
  } else if (flags.mark(1) == 'A') {
    mark = 'A';
  } else if (flags.mark(0) == 'N') {
    mark = 'N';
  }
  char number[32];
  std::snprintf(number, sizeof number, " %3zu ", index + 1);
  std::string line(1, mark);
  line += number;
  line += letter.envelope.date.substr(0, kDateWidth) + " ";
  line += letter_sender(letter, someone).substr(0, kSenderWidth) + " ";
  if (line.size() < kSenderColumns) line.resize(kSenderColumns, ' ');
  char size[32];
  std::snprintf(size, sizeof size, " (%5u) ", static_cast<unsigned>(flags.size));
  line += size;
  line += letter.envelope.subject.substr(0, kSubjectWidth);
  return line;
}

std::string letter_display_text(const CAletter& letter, long platform, const program_words& words) {
  const CEnvelope& envelope = letter.envelope;
  std::string text;
  append_addresses(text, words, "发信人   : ", envelope.from.get());
  text += word(words, "\r\n日期     : ") + envelope.date;
  append_addresses(text, words, "\r\n收信人   : ", envelope.to.get());
  append_addresses(text, words, "\r\nCc       : ", envelope.cc.get());
  append_addresses(text, words, "\r\nBcc      : ", envelope.bcc.get());
  text += word(words, "\r\n题目     : ") + envelope.subject;
  text += word(words, "\r\nMime-版本: 1.0\r\n");
  append_body(text, words, letter.body, platform);
  return text;
}

const CBody* letter_section(const CBody& top, std::string_view section) {
  const CBody* body = &top;
  while (true) {
    const std::size_t dot = section.find('.');
    const std::string_view digits = section.substr(0, dot);
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos) {
      return nullptr;
    }
    const std::size_t number = std::stoul(std::string(digits));
    if (number == 0) return nullptr;
    if (body->type == kMultipart) {
      const CPart* parts = body->part();
      if (!parts || number > parts->items.size()) return nullptr;
      body = &parts->items[number - 1]->body;
    } else if (number != 1) {
      return nullptr;
    }
    if (dot == std::string_view::npos) return body;
    section.remove_prefix(dot + 1);
    if (body->type == kMessage) {
      const CMessage* message = body->message();
      if (!message) return nullptr;
      body = &message->body;
    } else if (body->type != kMultipart) {
      return nullptr;
    }
  }
}
