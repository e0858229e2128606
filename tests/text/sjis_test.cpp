// Walking Shift-JIS text: byte classes at the range edges, lead and trail
// positions, taking characters, and ASCII case changes and comparisons that
// leave double-byte characters alone.
#include "text/sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// 漢 is 0x8A 0xBF, 歩 0x95 0xE0 (a trail byte in the lead class), ア 0x83 0x41
// and ヂ 0x83 0x61 (trail bytes "A" and "a"), 表 0x95 0x5C.
const std::string kLeadRun = "a\x95\xE0\x95\xE0\x8A\xBF";  // a歩歩漢

int sign(int v) {
    return (v > 0) - (v < 0);
}

}  // namespace

TEST(Sjis, ByteClassesAtTheRangeEdges) {
    struct Case {
        unsigned char byte;
        bool lead;
        bool kana;
    } cases[] = {
        {0x7F, false, false}, {0x80, false, false}, {0x81, true, false},  {0x9F, true, false},
        {0xA0, false, false}, {0xA1, false, true},  {0xDF, false, true},  {0xE0, true, false},
        {0xFC, true, false},  {0xFD, false, false}, {0xFF, false, false},
    };
    for (const auto& c : cases) {
        const std::string text = std::string(1, char(c.byte)) + "A";
        EXPECT_EQ(isLeadByte(c.byte), c.lead) << std::hex << int(c.byte);
        EXPECT_EQ(isHalfKana(c.byte), c.kana) << std::hex << int(c.byte);
        EXPECT_EQ(charLength(text, 0), c.lead ? 2 : 1) << std::hex << int(c.byte);
        EXPECT_EQ(isTrailAt(text, 1), c.lead) << std::hex << int(c.byte);
    }
}

TEST(Sjis, LeadAndTrailPositions) {
    struct Case {
        std::string text;
        std::string kinds;  // per byte: 'L' lead, 'T' trail, '.' single
    } cases[] = {
        {kLeadRun, ".LTLTLT"},
        {"\x83\x41"
         "A",
         "LT."},
        {"\xB1\x95\x5C\\", ".LT."},
        {"\x95\xE0\x95", "LTL"},  // a lead at the very end is still a lead
    };
    for (const auto& c : cases) {
        for (size_t i = 0; i < c.kinds.size(); ++i) {
            EXPECT_EQ(isLeadAt(c.text, i), c.kinds[i] == 'L') << c.kinds << " byte " << i;
            EXPECT_EQ(isTrailAt(c.text, i), c.kinds[i] == 'T') << c.kinds << " byte " << i;
        }
        EXPECT_FALSE(isLeadAt(c.text, c.text.size()));
    }
}

TEST(Sjis, WalkingAndTakingWholeCharacters) {
    std::string_view text = "a\x82\xA0\xB1\x95\xE0\x95";  // a, あ, ｱ, 歩, stray lead
    std::vector<int> codes;
    size_t pos = 0;
    for (int code; (code = nextChar(text, pos)) != 0;) codes.push_back(code);
    EXPECT_EQ(codes, (std::vector<int>{'a', 0x82A0, 0xB1, 0x95E0, 0x95}));
    EXPECT_EQ(pos, text.size());

    LStr s(kLeadRun);
    EXPECT_EQ(takeLastChar(s, false), 0x8ABF);
    EXPECT_EQ(s.view(), kLeadRun);
    EXPECT_EQ(takeLastChar(s, true), 0x8ABF);
    EXPECT_EQ(takeLastChar(s, true), 0x95E0);  // its trail byte is in the lead class
    EXPECT_EQ(takeFirstChar(s, true), 'a');
    EXPECT_EQ(takeFirstChar(s, true), 0x95E0);
    EXPECT_EQ(takeFirstChar(s, true), -1);
    EXPECT_EQ(takeLastChar(s, true), -1);
    LStr kana("x\x83\x41");  // the last byte is the trail of ア, not the letter A
    EXPECT_EQ(takeLastChar(kana, true), 0x8341);
    EXPECT_EQ(kana.view(), "x");
    LStr afterLeadClassTrail(
        "\x95\xE0"
        "A");  // 歩A: 0xE0 ends 歩, so A stands alone
    EXPECT_EQ(takeLastChar(afterLeadClassTrail, true), 'A');
}

TEST(Sjis, AsciiCaseSkipsDoubleByteCharacters) {
    LStr s("Ab\x83\x41\x83\x61z");  // Ab ア ヂ z
    asciiToLower(s);
    EXPECT_EQ(s.view(), "ab\x83\x41\x83\x61z");
    asciiToUpper(s);
    EXPECT_EQ(s.view(), "AB\x83\x41\x83\x61Z");
}

TEST(Sjis, CompareIgnoringCaseRespectsTrailBytes) {
    struct Case {
        std::string_view a, b;
        int ignoreCase;  // sign of the result
        int exact;
    } cases[] = {
        {"abc", "ABC", 0, 1},
        {"ab", "abc", -1, -1},
        {"a\x83\x41", "A\x83\x61", -1, 1},  // ア and ヂ differ only in a trail byte
        // 歩 then ア: the trail 0xE0 is in the lead class, but A after it
        // starts a character of its own and folds.
        {"\x95\xE0"
         "A",
         "\x95\xE0"
         "a",
         0, -1},
        {"Z", "a", 1, -1},   // folded: z after a
        {"[", "a", -1, -1},  // a letter and a non-letter are not folded
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sign(compareIgnoreCase(c.a, c.b)), c.ignoreCase) << c.a << " / " << c.b;
        EXPECT_EQ(sign(compare(c.a, c.b, false)), c.exact) << c.a << " / " << c.b;
    }
    EXPECT_EQ(compareIgnoreCaseN("abcX", "ABCy", 3), 0);
    EXPECT_LT(compareIgnoreCaseN("abcX", "ABCy", 4), 0);
}
