// Case folding, width folding and character types of Shift-JIS characters.
#include "text/char_fold.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/system_charset.h"
#include "text/sjis.h"

namespace {

// The paired lists as a reader sees them; their Shift-JIS bytes come from the
// system's CP932 converter, independent of the tables under test.
const char* const kHalfUtf8 =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
    "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝｧｨｩｪｫｬｭｮｯ"
    " #$%&|^~+-*/=;:\\@_`'\"()[]{}<>｢｣!?,.､｡･ｰﾞﾟ";
const char* const kFullUtf8 =
    "０１２３４５６７８９ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ"
    "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ"
    "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン"
    "ァィゥェォャュョッ"
    "　＃＄％＆｜＾～＋－＊／＝；：￥＠＿‘’”（）［］｛｝＜＞「」！？，．、。・ー゛゜";

std::vector<int> codes(std::string_view text) {
    std::vector<int> all;
    for (size_t pos = 0; pos < text.size();) all.push_back(nextChar(text, pos));
    return all;
}

}  // namespace

TEST(WidthFolding, EveryListPairMapsBothWays) {
    std::vector<int> half = codes(systemSjis(kHalfUtf8)), full = codes(systemSjis(kFullUtf8));
    ASSERT_EQ(half.size(), 158u);
    ASSERT_EQ(full.size(), 158u);
    for (size_t i = 0; i < half.size(); ++i) {
        EXPECT_EQ(halfToFull(half[i]), full[i]) << "pair " << i;
        EXPECT_EQ(fullToHalf(full[i]), half[i]) << "pair " << i;
    }
    // Codes without an entry map to themselves.
    for (int code : {0x0A, 0xA0, 0x834B /* ガ */, 0x889F, -1}) {
        EXPECT_EQ(fullToHalf(code), code) << std::hex << code;
        EXPECT_EQ(halfToFull(code), code) << std::hex << code;
    }
}

TEST(CaseFolding, RangesAndTheirBoundaries) {
    const std::pair<int, int> pairs[] = {
        {'A', 'a'},       {'Z', 'z'},       {0x8260, 0x8281}, {0x8279, 0x829A}, {0x839F, 0x83BF},
        {0x83B6, 0x83D6}, {0x8440, 0x8470}, {0x844E, 0x847E}, {0x844F, 0x8480}, {0x8460, 0x8491},
    };
    for (const auto& [upper, lower] : pairs) {
        EXPECT_EQ(toLowerFull(upper), lower) << std::hex << upper;
        EXPECT_EQ(toUpperFull(lower), upper) << std::hex << lower;
        EXPECT_EQ(toLowerFull(lower), lower) << std::hex << lower;
        EXPECT_EQ(toUpperFull(upper), upper) << std::hex << upper;
    }
    // Just outside each range nothing changes.
    for (int code : {0x40, 0x5B, 0x825F, 0x827A, 0x839E, 0x83B7, 0x843F, 0x8461, 0xC1, 0x889F})
        EXPECT_EQ(toLowerFull(code), code) << std::hex << code;
    for (int code : {0x60, 0x7B, 0x8280, 0x829B, 0x83BE, 0x83D7, 0x846F, 0x847F, 0x8492, 0xE1})
        EXPECT_EQ(toUpperFull(code), code) << std::hex << code;
}

TEST(CaseFolding, LowerStringFoldsEveryCharacter) {
    LStr text(systemSjis("ABCｱＡＺΑΩАЯ漢字x") + "\x83\x41Q");  // ア's trail byte is no capital A
    lowerString(text);
    EXPECT_EQ(std::string(text.view()), systemSjis("abcｱａｚαωая漢字x") + "\x83\x41q");
}

TEST(CharType, TypesAndBoundaries) {
    const std::pair<int, char> cases[] = {
        {0x889E, 'J'}, {0x889D, 0},   {0x8340, 'T'}, {0x815B, 'T'}, {0x8397, 0},   {0x829F, 'H'},
        {0x82F2, 0},   {0x824F, 'A'}, {0x8151, 'A'}, {0x839E, 'G'}, {0x843F, 'R'}, {0x8492, 0},
        {'Z', 'a'},    {'_', 'a'},    {'-', 0},      {0xDF, 'k'},   {0xA0, 0},
    };
    for (const auto& [code, type] : cases) EXPECT_EQ(charType(code), type) << std::hex << code;
}
