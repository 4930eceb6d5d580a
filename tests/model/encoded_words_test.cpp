#include "model/encoded_words.h"

#include <gtest/gtest.h>

#include "tests/support/table.h"

namespace {

struct header_row {
  std::string name;
  std::string text;
  std::string shown;
};

class HeaderText : public testing::TestWithParam<header_row> {};

TEST_P(HeaderText, IsDecodedForTheScreen) {
  EXPECT_EQ(header_text_utf8(GetParam().text, "GB18030"), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HeaderText,
    testing::Values(header_row{"BEncodedGb", "=?GB2312?B?1tDOxA==?=", "中文"},
                    header_row{"QEncodedWithUnderscores", "=?utf-8?q?a_b=E4=B8=AD?=", "a b中"},
                    header_row{"BlanksBetweenWordsGoTextAroundStays",
                               "Re: =?UTF-8?B?5Lit?= \t =?UTF-8?B?5paH?= end", "Re: 中文 end"},
                    header_row{"ACharacterSplitOverTwoWords",
                               "=?UTF-8?B?5Lg=?= =?UTF-8?Q?=AD?=", "中"},
                    header_row{"WordsOfTwoCharsets", "=?BIG5?B?pKQ=?= =?GB2312?B?zsQ=?=", "中文"},
                    header_row{"ALanguageAfterTheCharset", "=?UTF-8*zh?Q?=E4=B8=AD?=", "中"},
                    header_row{"AnUnknownCharsetStays", "=?x-none?Q?a?=", "=?x-none?Q?a?="},
                    header_row{"AMalformedWordStays",
                               "=?UTF-8?Q?=ZZ?= =?UTF-8?X?a?=", "=?UTF-8?Q?=ZZ?= =?UTF-8?X?a?="},
                    header_row{"RawBytesAreReadInTheCodePage", "\xD6\xD0 =?UTF-8?Q?x?=", "中 x"}),
    row_name());

struct encode_row {
  std::string name;
  std::string typed;
  std::string label;
  std::string sent;  // "" when it is to be checked by decoding alone
  std::u32string refused;
};

class HeaderEncoding : public testing::TestWithParam<encode_row> {};

TEST_P(HeaderEncoding, TravelsAsEncodedWordsThatReadBackAsTyped) {
  const encode_row& row = GetParam();
  std::u32string refused;
  std::string sent = header_text_encode(row.typed, row.label, "\r\n ", refused);
  if (!row.sent.empty()) {
    EXPECT_EQ(sent, row.sent);
  }
  EXPECT_EQ(refused, row.refused);
  if (!refused.empty()) return;
  std::string unfolded = sent;
  for (std::size_t at; (at = unfolded.find("\r\n")) != std::string::npos;)
    unfolded.erase(at, 2);
  EXPECT_EQ(header_text_utf8(unfolded, "GB18030"), row.typed);
  for (std::size_t start = 0, end; start < sent.size(); start = end + 3) {
    end = std::min(sent.find("\r\n ", start), sent.size());
    EXPECT_LE(end - start, 75u) << "a word of at most 75 characters";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HeaderEncoding,
    testing::Values(encode_row{"AsciiAsItIs", "Re: hello", "CN-GB", "Re: hello", U""},
                    encode_row{"AsciiThatLooksEncoded", "=?UTF-8?Q?a?=", "CN-GB", "", U""},
                    encode_row{"GbWord", "中文", "CN-GB", "=?CN-GB?B?1tDOxA==?=", U""},
                    encode_row{"Big5Word", "繁體", "CN-BIG5", "=?CN-BIG5?B?wWPF6Q==?=", U""},
                    encode_row{
                        "LongTextFoldedIntoWords",
                        "回复: 这是一个很长的中文题目，它要分成好几个编码词才能放得下 and more",
                        "CN-GB", "", U""},
                    encode_row{"IsoWordsEachComplete", "中文繁體中文繁體中文繁體中文繁體中文繁體",
                               "ISO-2022-CN", "", U""},
                    encode_row{"WhatTheCharsetLacks", "a é", "US-ASCII", "", U"é"}),
    row_name());

struct parameters_row {
  std::string name;
  std::vector<std::pair<std::string, std::string>> stored;
  std::vector<shown_parameter> shown;
};

class Parameters : public testing::TestWithParam<parameters_row> {};

TEST_P(Parameters, AreJoinedAndDecodedForTheScreen) {
  CParameter parameters;
  for (const auto& [attribute, value] : GetParam().stored)
    parameters.items.push_back(std::make_unique<CParaitem>(attribute, value));
  EXPECT_EQ(parameters_shown(parameters, "GB18030"), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Parameters,
    testing::Values(
        parameters_row{"PlainValuesStay", {{"CHARSET", "CN-GB"}}, {{"CHARSET", "CN-GB"}}},
        parameters_row{
            "AnExtendedValue", {{"NAME*", "UTF-8'zh'%E4%B8%AD%20a.txt"}}, {{"NAME", "中 a.txt"}}},
        parameters_row{
            "ContinuationsJoinInNumberOrder",
            {{"CHARSET", "x"}, {"name*1", "b.txt"}, {"name*0*", "GB2312''%D6%D0"}, {"TYPE", "y"}},
            {{"CHARSET", "x"}, {"name", "中b.txt"}, {"TYPE", "y"}}},
        parameters_row{"EncodedWordsInAPlainValue",
                       {{"NAME", "=?GB2312?B?1tDOxA==?=.doc"}},
                       {{"NAME", "中文.doc"}}},
        parameters_row{"AnExtendedValueWithoutCharsetUsesTheCodePage",
                       {{"NAME*", "%D6%D0"}},
                       {{"NAME", "中"}}}),
    row_name());

TEST(ParameterShown, FindsANameWhateverItsCase) {
  CParameter parameters;
  parameters.items.push_back(std::make_unique<CParaitem>("FileName*", "UTF-8''%E4%B8%AD"));
  EXPECT_EQ(parameter_shown(parameters, "filename", "GB18030"), "中");
  EXPECT_EQ(parameter_shown(parameters, "name", "GB18030"), std::nullopt);
}

}  // namespace
