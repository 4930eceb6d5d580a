#include "model/letter_format.h"

#include <strings.h>

#include "chinese/charset_labels.h"
#include "chinese/converters.h"
#include "model/encoded_words.h"
#include "model/message.h"
#include "model/part.h"
#include "platform/charset_reader.h"
#include "platform/display_codec.h"

namespace {

constexpr std::uint16_t kText = 0;
constexpr std::uint16_t kMultipart = 1;
constexpr std::uint16_t kMessage = 2;

constexpr unsigned kTopLabels =
    LABEL_US_ASCII | LABEL_CN_GB | LABEL_GB2312 | LABEL_CN_BIG5 | LABEL_BIG5;
constexpr unsigned kEnglishNestedLabels =
    LABEL_US_ASCII | LABEL_CN_GB | LABEL_CN_BIG5 | LABEL_ISO_2022_CN;
constexpr unsigned kChineseNestedLabels = kTopLabels | LABEL_ISO_2022_CN;

constexpr const char* kGbCharset = "GB18030";
constexpr const char* kBig5Charset = "BIG5-HKSCS";

// The texts of the two label sets.
struct label_set {
  const char* from;
  const char* date;
  const char* to;
  const char* cc;
  const char* bcc;
  const char* subject;
  const char* mime_version;
  const char* content_type;
  const char* multipart;
  const char* message;
  const char* boundary;
  const char* following;
  const char* placeholder_end;
  const char* type_names[9];         // on the content-type line; the last for any other
  const char* placeholder_names[9];  // in the placeholder line
};

constexpr label_set kEnglish{
    "From        : ",
    "\r\nDate        : ",
    "\r\nTo          : ",
    "\r\nCc          : ",
    "\r\nBcc         : ",
    "\r\nSubject     : ",
    "\r\nMime-Version: 1.0\r\n",
    "Content-Type: ",
    "Content-Type: multipart/",
    "Content-Type: message/",
    "--------- MULTIPART BOUNDARY ----------\r\n",
    "----------- MESSAGE FOLLOWING -------------\r\n",
    ":DOUBLE-CLICK-HERE-TO-DISPLAY-OR-SAVE <<\r\n\r\n",
    {"text", "multipart", "message", "application", "audio", "image", "video", "user-define",
     "unknown"},
    {"TEXT", "MULTIPART", "MESSAGE", "APPLICATION", "AUDIO", "IMAGE", "VIDEO", "USER-DEFINED",
     "UNKNOWN"},
};

constexpr label_set kChinese{
    "发信人   : ",
    "\r\n日期     : ",
    "\r\n收信人   : ",
    "\r\nCc       : ",
    "\r\nBcc      : ",
    "\r\n题目     : ",
    "\r\nMime-版本: 1.0\r\n",
    "内容类型 : ",
    "内容类型 : 多报文/",
    "内容类型 : 消息/",
    "---------------- 多报文分界 -----------------\r\n",
    "----------- 以下为消息内容 -------------\r\n",
    " 双击此行来保存或显示 <<\r\n\r\n",
    {"文本", "多报文", "消息", "应用程序", "声音", "图象", "视频信号", "用户定义", "类型不明"},
    {"文本", "多报文", "消息", "应用程序", "声音", "图象", "视频信号", "用户定义", "类型不明"},
};

const label_set& labels_of(letter_labels labels) {
  return labels == letter_labels::english ? kEnglish : kChinese;
}

std::size_t type_index(std::uint16_t type) {
  return type < 8 ? type : 8;
}

bool same_label(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// A label the display rules have their own rule for.
bool rule_label(std::string_view label) {
  return label_bit(label) != 0 || same_label(label, "ISO-2022-CN-ext");
}

}  // namespace

bool plain_text(const CBody& body) {
  return body.type == kText && same_label(body.subtype, "plain");
}

std::optional<std::string_view> body_charset(const CBody& body) {
  if (!body.parameters) return std::nullopt;
  for (const auto& item : body.parameters->items)
    if (same_label(item->attribute, "charset")) return item->value;
  return std::nullopt;
}

std::string text_part_charset(const CBody& body, long platform) {
  std::optional<std::string_view> label = body_charset(body);
  unsigned bit = label_bit(label);
  if (bit & (LABEL_CN_GB | LABEL_GB2312)) return kGbCharset;
  if (bit & (LABEL_CN_BIG5 | LABEL_BIG5)) return kBig5Charset;
  if (label && !rule_label(*label) && charset_known(*label)) return std::string(*label);
  return display_charset(platform);
}

letter_formatter::letter_formatter(letter_labels labels, long platform)
    : labels_(labels), platform_(platform), display_charset_(display_charset(platform)) {
  if (labels == letter_labels::chinese) words_ = std::make_unique<display_codec>(platform);
}

letter_formatter::~letter_formatter() = default;

void letter_formatter::append(std::string_view bytes, const std::string& charset,
                              std::optional<std::string> shown) {
  if (bytes.empty()) return;
  std::vector<text_run>& runs = text_.runs;
  bool joins = !shown && !runs.empty() && !runs.back().shown && runs.back().charset == charset;
  if (!joins) runs.push_back({text_.bytes.size(), charset, std::move(shown)});
  text_.bytes += bytes;
}

void letter_formatter::word(std::string_view utf8) {
  append(words_ ? words_->from_utf8(utf8) : std::string(utf8), display_charset_);
}

void letter_formatter::data(std::string_view bytes) {
  append(bytes, display_charset_);
}

void letter_formatter::addresses(std::string_view label, const CAddress* list) {
  if (!list) return;
  word(label);
  std::string joined;
  for (std::size_t i = 0; i < list->items.size(); ++i) {
    if (i) joined += ';';
    joined += list->items[i]->address;
  }
  data(joined);
}

void letter_formatter::FormatHeader(const CAletter& letter) {
  text_ = letter_text{};
  const label_set& set = labels_of(labels_);
  const CEnvelope& envelope = letter.envelope;
  addresses(set.from, envelope.from.get());
  word(set.date);
  data(envelope.date);
  addresses(set.to, envelope.to.get());
  addresses(set.cc, envelope.cc.get());
  addresses(set.bcc, envelope.bcc.get());
  word(set.subject);
  append(envelope.subject, display_charset_, header_text_utf8(envelope.subject, display_charset_));
  word(set.mime_version);
}

void letter_formatter::FormatBody(const CBody& body, bool register_regions) {
  format(body, false, register_regions);
}

void letter_formatter::FormatPart(const CBody& body, bool register_regions) {
  format(body, true, register_regions);
}

void letter_formatter::AppendPlaceholder(const CBody& body, bool register_regions) {
  const label_set& set = labels_of(labels_);
  std::size_t start = text_.bytes.size();
  word("\r\n>> ");
  word(set.placeholder_names[type_index(body.type)]);
  word(set.placeholder_end);
  if (register_regions) text_.regions.push_back({start, text_.bytes.size(), &body});
}

void letter_formatter::format(const CBody& body, bool nested, bool register_regions) {
  const label_set& set = labels_of(labels_);
  // The English top-level rules hand the parts of a multipart body to the
  // nested ones; the Chinese renderers keep to their own rules throughout.
  bool members_nested = labels_ == letter_labels::english || nested;
  if (body.type == kMultipart) {
    word(set.multipart);
    data(body.subtype);
    word("\r\n");
    if (const CPart* parts = body.part()) {
      for (const auto& item : parts->items) {
        word(set.boundary);
        format(item->body, members_nested, register_regions);
      }
    }
    return;
  }
  if (body.type == kMessage) {
    word(set.message);
    data(body.subtype);
    word("\r\n");
    word(set.following);
    if (const CMessage* message = body.message()) format(message->body, nested, register_regions);
    return;
  }
  word(set.content_type);
  word(set.type_names[type_index(body.type)]);
  data("/" + body.subtype);
  if (body.parameters && !body.parameters->items.empty()) {
    std::string listed;
    for (const auto& item : body.parameters->items)
      listed += "; " + item->attribute + "=" + item->value;
    std::string shown;
    for (const shown_parameter& each : parameters_shown(*body.parameters, display_charset_))
      shown += "; " + each.attribute + "=" + each.value;
    append(listed, display_charset_, shown);
  }
  word("\r\n");
  if (!plain_text(body) || !append_text(body, nested)) AppendPlaceholder(body, register_regions);
}

bool letter_formatter::append_text(const CBody& body, bool nested) {
  std::optional<std::string_view> label = body_charset(body);
  unsigned accepted = !nested                             ? kTopLabels
                      : labels_ == letter_labels::english ? kEnglishNestedLabels
                                                          : kChineseNestedLabels;
  std::string text;
  std::string charset;
  switch (text_part_addition_rule(label, platform_, accepted)) {
    case text_part_addition::text:
      text = body.text;
      charset = text_part_charset(body, platform_);
      break;
    case text_part_addition::decoded_text:
      // Only the part itself: earlier parts and the header keep their bytes.
      iso2022cn_to_gb(body.text, text);
      charset = kGbCharset;
      break;
    case text_part_addition::placeholder:
      // Beyond the labels the rules know, a charset iconv reads is shown as
      // text: most letters today are UTF-8.
      if (!label || rule_label(*label) || !charset_known(*label)) return false;
      text = body.text;
      charset = std::string(*label);
      break;
  }
  word("\r\n");
  append(text, charset);
  word("\r\n\r\n");
  return true;
}

letter_text format_letter(const CAletter& letter, const letter_format& format) {
  letter_formatter formatter(format.labels, format.platform);
  formatter.FormatHeader(letter);
  if (format.nested) {
    formatter.FormatPart(letter.body, format.regions);
  } else {
    formatter.FormatBody(letter.body, format.regions);
  }
  return formatter.take();
}
