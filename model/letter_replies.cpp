#include "model/letter_replies.h"

#include "model/encoded_words.h"
#include "model/letter_display.h"
#include "model/letter_text.h"
#include "platform/display_codec.h"

namespace {

constexpr reply_words kEnglish{"Select a letter first.",
                               "Compose New Letter",
                               "Re:",
                               "Re:your mail",
                               "Reply to all CC recepients?",
                               "Reply to all BCC recepients?",
                               "Include original text in Reply?",
                               "    On ",
                               " wrote:\r\n\r\n>",
                               "someone",
                               "your mail",
                               "(fwd)",
                               "--- FORWARD MESSAGE BEGIN ---\r\n",
                               "\r\n --- FORWARD MESSAGE END ---",
                               "",
                               ""};
constexpr reply_words kChinese{"先选择信件.",
                               "信件编辑",
                               "回复:",
                               "回复:你的邮件",
                               "回复所有的 CC 吗?",
                               "回复所有的 BCC 吗?",
                               "引用原文内容吗?",
                               "    在 ",
                               "写:\r\n\r\n>",
                               "某人",
                               "你的邮件",
                               "(转发)",
                               "--- 转发信息开始 ---\r\n",
                               "\r\n --- 转发信息结束 ---",
                               "邮件转发：",
                               "转寄："};
constexpr const char* kReplyCaption = "回复: ";

// Header bytes of a letter on the screen.
std::string shown(const std::string& bytes, long platform) {
  return header_text_utf8(bytes, display_charset(platform));
}

// The body by the nested rules (or the top-level ones), in UTF-8.
std::string body_text(const CAletter& letter, letter_labels labels, long platform, bool header,
                      bool nested) {
  letter_formatter formatter(labels, platform);
  if (header) formatter.FormatHeader(letter);
  if (nested) {
    formatter.FormatPart(letter.body, false);
  } else {
    formatter.FormatBody(letter.body, false);
  }
  return letter_text_utf8(formatter.text(), true);
}

}  // namespace

const reply_words& reply_words_of(letter_labels labels) {
  return labels == letter_labels::english ? kEnglish : kChinese;
}

std::string letter_subject_utf8(const CAletter& letter, long platform) {
  return shown(letter.envelope.subject, platform);
}

std::string address_texts_utf8(const CAddress* list, long platform) {
  std::string joined;
  if (!list) return joined;
  for (std::size_t i = 0; i < list->items.size(); ++i) {
    if (i) joined += ';';
    joined += list->items[i]->address;
  }
  return shown(joined, platform);
}

bool has_addresses(const CAddress* list) {
  return list && !list->items.empty();
}

std::string reply_subject(const CAletter& letter, letter_labels labels, long platform) {
  const reply_words& words = reply_words_of(labels);
  std::string subject = words.reply_prefix + letter_subject_utf8(letter, platform);
  return subject == words.reply_prefix ? std::string(words.reply_empty) : subject;
}

std::string reply_caption(const std::string& to, const std::string& subject) {
  return kReplyCaption + to + " ," + subject;
}

std::string reply_body(const CAletter& letter, letter_labels labels, long platform) {
  const reply_words& words = reply_words_of(labels);
  std::string author = shown(letter_sender(letter, ""), platform);
  if (author.empty()) author = words.someone;
  std::string body = words.attribution_start + shown(letter.envelope.date, platform) + ", " +
                     author + words.attribution_end;
  const std::string work = body_text(letter, labels, platform, false, true);
  std::string_view rest = work;
  // The first line is the content-type line; every line after it is quoted.
  // Texts from Unix senders end their lines with a bare line feed: those are
  // lines too.
  const std::size_t first = rest.find('\n');
  rest.remove_prefix(first == std::string_view::npos ? rest.size() : first + 1);
  for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos;) {
    body += rest.substr(0, end + 1);
    body += '>';
    rest.remove_prefix(end + 1);
  }
  body += rest;
  return body;
}

std::string forward_subject(const CAletter& letter, letter_labels labels, long platform) {
  const reply_words& words = reply_words_of(labels);
  std::string subject = letter_subject_utf8(letter, platform);
  return (subject.empty() ? std::string(words.forward_empty) : subject) + words.forward_suffix;
}

std::string forward_body(const CAletter& letter, letter_labels labels, long platform) {
  const reply_words& words = reply_words_of(labels);
  return words.forward_start + body_text(letter, labels, platform, true, true) + words.forward_end;
}

std::string redirect_body(const CAletter& letter, letter_labels labels, long platform) {
  return body_text(letter, labels, platform, false, labels == letter_labels::chinese);
}

void mark_answered(CAletter& letter) {
  CFlags& flags = letter.flags;
  flags.status = std::string{flags.mark(0), 'A', flags.mark(2)};
}
