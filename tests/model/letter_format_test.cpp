#include "model/letter_format.h"

#include <gtest/gtest.h>

#include "platform/display_codec.h"
#include "tests/support/letter_builder.h"
#include "tests/support/table.h"

namespace {

using letters::body;
using letters::bytes;
using letters::message;
using letters::multipart;
using letters::text;
using strings = std::vector<std::string>;

const std::string kText = "\r\n>> TEXT:DOUBLE-CLICK-HERE-TO-DISPLAY-OR-SAVE <<\r\n\r\n";
const std::string kBoundary = "--------- MULTIPART BOUNDARY ----------\r\n";
const std::string kMixed = "Content-Type: multipart/MIXED\r\n" + kBoundary;
const std::string kGb = "\xD6\xD0";                  // 中 in GB 2312
const std::string kBig5 = "\xA4\xA4";                // 中 in Big5
const std::string kIso = "\x1B$)A\x0E\x30\x21\x0F";  // 啊 in ISO-2022-CN
const std::string kHeaderEnd = "Mime-Version: 1.0\r\n";
const std::string kChineseHeaderEnd = "Mime-版本: 1.0\r\n";

std::string after_header(const std::string& text, const std::string& end) {
  std::size_t at = text.find(end);
  return at == std::string::npos ? "(no header) " + text : text.substr(at + end.size());
}

struct format_row {
  std::string name;
  CBody (*make)();
  long platform;
  std::string body;      // the text after the header block
  strings placeholders;  // the regions' texts, in order
  letter_format format = {};
};

class LetterText : public testing::TestWithParam<format_row> {};

TEST_P(LetterText, IsBuiltByTheRulesOfItsLabels) {
  const format_row& row = GetParam();
  auto letter = letters::letter(row.make());
  letter_format format = row.format;
  format.platform = row.platform;
  format.regions = true;
  letter_text made = format_letter(*letter, format);
  // The Chinese words come in the code page; the rows show them in UTF-8.
  bool english = format.labels == letter_labels::english;
  auto shown = [&](const std::string& bytes) {
    return english ? bytes : display_codec(row.platform).to_utf8(bytes);
  };
  EXPECT_EQ(after_header(shown(made.bytes), english ? kHeaderEnd : kChineseHeaderEnd), row.body);
  strings placeholders;
  for (const part_region& region : made.regions)
    placeholders.push_back(shown(made.bytes.substr(region.start, region.end - region.start)));
  EXPECT_EQ(placeholders, row.placeholders);
}

letter_format chinese(bool nested = false) {
  letter_format format;
  format.labels = letter_labels::chinese;
  format.nested = nested;
  return format;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LetterText,
    testing::Values(
        format_row{"AnUnspecifiedCharsetIsAPlaceholderEvenForAscii",
                   [] { return text("", "plain ascii"); },
                   1,
                   "Content-Type: text/PLAIN\r\n" + kText,
                   {kText}},
        format_row{"UsAsciiIsShown",
                   [] { return text("US-ASCII", "hi"); },
                   0,
                   "Content-Type: text/PLAIN; CHARSET=US-ASCII\r\n\r\nhi\r\n\r\n",
                   {}},
        format_row{"Gb2312AtTheTopOnAGbPlatform",
                   [] { return text("gb2312", kGb); },
                   1,
                   "Content-Type: text/PLAIN; CHARSET=gb2312\r\n\r\n" + kGb + "\r\n\r\n",
                   {}},
        format_row{"Gb2312InsideAMultipartIsAPlaceholder",
                   [] { return multipart(text("gb2312", kGb)); },
                   1,
                   kMixed + "Content-Type: text/PLAIN; CHARSET=gb2312\r\n" + kText,
                   {kText}},
        format_row{"CnGbOnABig5PlatformIsAPlaceholder",
                   [] { return text("CN-GB", kGb); },
                   2,
                   "Content-Type: text/PLAIN; CHARSET=CN-GB\r\n" + kText,
                   {kText}},
        format_row{"Big5OnABig5Platform",
                   [] { return text("big5", kBig5); },
                   2,
                   "Content-Type: text/PLAIN; CHARSET=big5\r\n\r\n" + kBig5 + "\r\n\r\n",
                   {}},
        format_row{"Iso2022CnAtTheTopIsAPlaceholder",
                   [] { return text("ISO-2022-CN", kIso); },
                   1,
                   "Content-Type: text/PLAIN; CHARSET=ISO-2022-CN\r\n" + kText,
                   {kText}},
        format_row{"Iso2022CnInsideIsConvertedAloneTheGbBeforeItKeptWhole",
                   [] { return multipart(text("CN-GB", kGb), text("ISO-2022-CN", kIso)); },
                   1,
                   kMixed + "Content-Type: text/PLAIN; CHARSET=CN-GB\r\n\r\n" + kGb + "\r\n\r\n" +
                       kBoundary + "Content-Type: text/PLAIN; CHARSET=ISO-2022-CN\r\n\r\n\xB0\xA1" +
                       "\r\n\r\n",
                   {}},
        format_row{"Iso2022CnInsideOnABig5PlatformIsAPlaceholder",
                   [] { return multipart(text("iso-2022-cn", kIso)); },
                   2,
                   kMixed + "Content-Type: text/PLAIN; CHARSET=iso-2022-cn\r\n" + kText,
                   {kText}},
        format_row{"AMessageShowsOnlyItsBodyByTheTopRules",
                   [] { return message(text("gb2312", kGb)); },
                   1,
                   "Content-Type: message/RFC822\r\n----------- MESSAGE FOLLOWING -------------\r\n"
                   "Content-Type: text/PLAIN; CHARSET=gb2312\r\n\r\n" +
                       kGb + "\r\n\r\n",
                   {}},
        format_row{"AMessageInsideAMultipartUsesTheNestedRules",
                   [] { return multipart(message(text("gb2312", kGb))); },
                   1,
                   kMixed +
                       "Content-Type: message/RFC822\r\n----------- MESSAGE FOLLOWING "
                       "-------------\r\nContent-Type: text/PLAIN; CHARSET=gb2312\r\n" +
                       kText,
                   {kText}},
        format_row{"ParametersAreListedInOrderUnquoted",
                   [] {
                     return bytes(3, "OCTET-STREAM", "x", {{"NAME", "a b.txt"}, {"TYPE", "x;y"}});
                   },
                   1,
                   "Content-Type: application/OCTET-STREAM; NAME=a b.txt; TYPE=x;y\r\n\r\n>> "
                   "APPLICATION:DOUBLE-CLICK-HERE-TO-DISPLAY-OR-SAVE <<\r\n\r\n",
                   {"\r\n>> APPLICATION:DOUBLE-CLICK-HERE-TO-DISPLAY-OR-SAVE <<\r\n\r\n"}},
        format_row{"UserDefinedAndUnknownTypes",
                   [] { return multipart(body(7, "A"), body(9, "B")); },
                   1,
                   kMixed +
                       "Content-Type: user-define/A\r\n\r\n>> USER-DEFINED:DOUBLE-CLICK-HERE-TO-"
                       "DISPLAY-OR-SAVE <<\r\n\r\n" +
                       kBoundary +
                       "Content-Type: unknown/B\r\n\r\n>> UNKNOWN:DOUBLE-CLICK-HERE-TO-DISPLAY-OR-"
                       "SAVE <<\r\n\r\n",
                   {"\r\n>> USER-DEFINED:DOUBLE-CLICK-HERE-TO-DISPLAY-OR-SAVE <<\r\n\r\n",
                    "\r\n>> UNKNOWN:DOUBLE-CLICK-HERE-TO-DISPLAY-OR-SAVE <<\r\n\r\n"}},
        format_row{"TextOfAnotherSubtypeIsAPlaceholder",
                   [] { return text("US-ASCII", "<b>", "HTML"); },
                   1,
                   "Content-Type: text/HTML; CHARSET=US-ASCII\r\n" + kText,
                   {kText}},
        format_row{"Utf8IsShownOnEveryPlatform",
                   [] { return text("UTF-8", "\xE4\xB8\xAD"); },
                   0,
                   "Content-Type: text/PLAIN; CHARSET=UTF-8\r\n\r\n\xE4\xB8\xAD\r\n\r\n",
                   {}},
        format_row{"ACharsetIconvDoesNotKnowIsAPlaceholder",
                   [] { return text("x-no-such-charset", "t"); },
                   1,
                   "Content-Type: text/PLAIN; CHARSET=x-no-such-charset\r\n" + kText,
                   {kText}},
        format_row{"Iso2022CnExtKeepsItsOwnRule",
                   [] { return multipart(text("ISO-2022-CN-EXT", kIso)); },
                   3,
                   kMixed + "Content-Type: text/PLAIN; CHARSET=ISO-2022-CN-EXT\r\n" + kText,
                   {kText}},
        format_row{"TheChineseTopRendererKeepsItsRulesInsideAMultipart",
                   [] { return multipart(text("gb2312", kGb), bytes(5, "GIF", "")); },
                   1,
                   "内容类型 : 多报文/MIXED\r\n---------------- 多报文分界 -----------------\r\n"
                   "内容类型 : 文本/PLAIN; CHARSET=gb2312\r\n\r\n"
                   "中\r\n\r\n---------------- 多报文分界 -----------------\r\n"
                   "内容类型 : 图象/GIF\r\n\r\n>> 图象 双击此行来保存或显示 <<\r\n\r\n",
                   {"\r\n>> 图象 双击此行来保存或显示 <<\r\n\r\n"},
                   chinese()},
        format_row{"TheChineseNestedRendererConvertsIso2022Cn",
                   [] { return message(text("iso-2022-cn", kIso)); },
                   3,
                   "内容类型 : 消息/RFC822\r\n----------- 以下为消息内容 -------------\r\n"
                   "内容类型 : 文本/PLAIN; CHARSET=iso-2022-cn\r\n\r\n啊\r\n\r\n",
                   {},
                   chinese(true)}),
    row_name());

struct header_row {
  std::string name;
  bool with_from;
  letter_labels labels;
  long platform;
  std::string header;
};

class HeaderBlock : public testing::TestWithParam<header_row> {};

TEST_P(HeaderBlock, ListsTheAddressesAndAlwaysTheDateAndSubject) {
  const header_row& row = GetParam();
  CAletter letter;
  letter.envelope.date = "d";
  letter.envelope.subject = "s";
  if (row.with_from) letter.envelope.from = letters::address("Li", "li@x");
  letter.envelope.to = letters::address("A", "a@x");
  letter.envelope.to->items.push_back(std::make_unique<CAddritem>("B", "b@y"));
  letter.envelope.bcc = std::make_unique<CAddress>();
  letter_formatter formatter(row.labels, row.platform);
  formatter.FormatHeader(letter);
  EXPECT_EQ(formatter.text().bytes, row.header);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HeaderBlock,
    testing::Values(header_row{"WithoutFromTheDateComesFirst", false, letter_labels::english, 1,
                               "\r\nDate        : d\r\nTo          : a@x;b@y\r\nBcc         : "
                               "\r\nSubject     : s\r\nMime-Version: 1.0\r\n"},
                    header_row{"TheChineseWordsInTheGbCodePage", true, letter_labels::chinese, 1,
                               "\xB7\xA2\xD0\xC5\xC8\xCB   : li@x\r\n\xC8\xD5\xC6\xDA     : d\r\n"
                               "\xCA\xD5\xD0\xC5\xC8\xCB   : a@x;b@y\r\nBcc      : \r\n"
                               "\xCC\xE2\xC4\xBF     : s\r\nMime-\xB0\xE6\xB1\xBE: 1.0\r\n"}),
    row_name());

// The charset of the run holding a byte.
std::string charset_at(const letter_text& text, std::size_t offset) {
  std::string charset;
  for (const text_run& run : text.runs)
    if (run.start <= offset) charset = run.charset;
  return charset;
}

TEST(LetterTextRuns, SayWhichCharsetEveryPartIsReadIn) {
  auto letter = letters::letter(multipart(text("CN-GB", "gb" + kGb), text("CN-BIG5", "b5" + kBig5),
                                          text("ISO-2022-CN", kIso), text("KOI8-R", "k\xC1")));
  letter_format format;
  format.platform = 3;
  format.nested = true;
  letter_text made = format_letter(*letter, format);
  EXPECT_EQ(made.runs.front().start, 0u);
  EXPECT_EQ(charset_at(made, made.bytes.find("gb" + kGb)), "GB18030");
  EXPECT_EQ(charset_at(made, made.bytes.find("b5" + kBig5)), "BIG5-HKSCS");
  EXPECT_EQ(charset_at(made, made.bytes.find("\xB0\xA1")), "GB18030");
  EXPECT_EQ(charset_at(made, made.bytes.find("k\xC1")), "KOI8-R");
  EXPECT_EQ(charset_at(made, made.bytes.find("Content-Type: text")), "GB18030");
}

TEST(LetterTextRuns, DecodedSubjectsAndParametersAreShownNotWritten) {
  auto letter = letters::letter(bytes(3, "PDF", "", {{"NAME*", "UTF-8''%E4%B8%AD.pdf"}}),
                                "=?UTF-8?B?5Lit5paH?=");
  letter_text made = format_letter(*letter, {});
  std::vector<std::string> shown;
  for (const text_run& run : made.runs)
    if (run.shown) shown.push_back(*run.shown);
  EXPECT_EQ(shown, (strings{"中文", "; NAME=中.pdf"}));
  EXPECT_NE(made.bytes.find("Subject     : =?UTF-8?B?5Lit5paH?=\r\n"), std::string::npos);
  EXPECT_NE(made.bytes.find("PDF; NAME*=UTF-8''%E4%B8%AD.pdf\r\n"), std::string::npos);
}

struct charset_row {
  std::string name;
  std::string label;
  long platform;
  std::string charset;
};

class TextPartCharset : public testing::TestWithParam<charset_row> {};

TEST_P(TextPartCharset, ReadsTheLabelOrTheCodePage) {
  EXPECT_EQ(text_part_charset(text(GetParam().label, ""), GetParam().platform), GetParam().charset);
}

INSTANTIATE_TEST_SUITE_P(Rows, TextPartCharset,
                         testing::Values(charset_row{"GbLabel", "gb2312", 2, "GB18030"},
                                         charset_row{"Big5Label", "CN-BIG5", 1, "BIG5-HKSCS"},
                                         charset_row{"NoLabelOnBig5", "", 2, "BIG5-HKSCS"},
                                         charset_row{"AsciiOnGb", "us-ascii", 1, "GB18030"},
                                         charset_row{"Utf8", "utf-8", 1, "utf-8"},
                                         charset_row{"Unknown", "x-none", 0, "GB18030"}),
                         row_name());

}  // namespace
