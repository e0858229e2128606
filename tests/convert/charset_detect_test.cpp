#include "convert/charset_detect.h"

#include <gtest/gtest.h>

#include "common/system_charset.h"

namespace {

std::string euc(std::string_view utf8) {
    return systemConverted(utf8, Charset::kUtf8, Charset::kEucJp);
}

TEST(CharsetDetect, ClassifiesWholeTexts) {
    const char* prose = "これは日本語の文章です。\n今日は良い天気ですね。\n";
    const auto none = DetectedCharset::kNone, utf8 = DetectedCharset::kUtf8,
               eucJp = DetectedCharset::kEucJp;
    struct {
        std::string text;
        DetectedCharset expected;
    } cases[] = {
        {prose, utf8},
        {"caf\xc3\xa9", utf8},  // valid EUC-JP too: UTF-8 comes first
        {systemSjis(prose), none},
        // These EUC-JP bytes also pair up as Shift-JIS; hiragana decide.
        {euc(prose), eucJp},
        {euc("東京都新宿区\n"), eucJp},  // no hiragana, but not Shift-JIS
        {euc("①②③ ㈱ Ⅳ ～\n"), eucJp},
        {"\x8f\xb0\xa1\xfd\xfe", eucJp},  // a three-byte character
        // Half-width katakana in Shift-JIS pair up as EUC-JP kanji.
        {systemSjis("ｶﾌﾞｼｷｶﾞｲｼｬ ｱｲ\n"), none},
        {euc("は"), none},  // one hiragana is too little to overrule Shift-JIS
        {"", none},
        {"plain ascii\r\n", none},
        {"abc\xe6\x97", none},   // cut at the end
        {"\xed\xa0\x80", none},  // a surrogate, and A0 is no EUC-JP byte
        {"\xa4\xb3"
         "a\xa4",
         none},                      // an EUC-JP lead before ASCII
        {"\x8e\xe0\xa1\xa1", none},  // half-width kana end at DF
    };
    for (const auto& c : cases)
        EXPECT_EQ(detectCharset(c.text), c.expected) << testing::PrintToString(c.text);
}

TEST(CharsetDetect, HeadsMayEndInsideACharacter) {
    EXPECT_TRUE(mayBeDetected("abc\xe6\x97"));
    EXPECT_TRUE(mayBeDetected("abc\x8f\xb0"));
    EXPECT_FALSE(mayBeDetected(systemSjis("日本語のテキスト")));
}

}  // namespace
