// Walking Shift-JIS text: lead and trail positions, taking characters, ASCII
// case changes and comparisons that leave double-byte characters alone.
#include "text/sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// 漢 is 0x8A 0xBF, 機 0x8B 0x40, 歩 0x95 0xE0 (a trail byte in the lead class),
// ア 0x83 0x41 and ヂ 0x83 0x61 (trail bytes "A" and "a"), 表 0x95 0x5C.
const std::string kLeadRun = "a\x95\xE0\x95\xE0\x8A\xBF";  // a歩歩漢

int sign(int v) {
    return (v > 0) - (v < 0);
}

}  // namespace

TEST(Sjis, LeadAndTrailPositions) {
    struct Case {
        std::string text;
        std::vector<char> kinds;  // per byte: 'L' lead, 'T' trail, '.' single
    } cases[] = {
        {kLeadRun, {'.', 'L', 'T', 'L', 'T', 'L', 'T'}},
        {"\x82\xA0\x8A\xBF", {'L', 'T', 'L', 'T'}},
        {"\x83\x41"
         "A",
         {'L', 'T', '.'}},
        {"\xB1\x95\x5C\\", {'.', 'L', 'T', '.'}},
        {"\x95\xE0\x95", {'L', 'T', 'L'}},  // a lead at the very end is still a lead
    };
    for (const auto& c : cases) {
        for (size_t i = 0; i < c.kinds.size(); ++i) {
            EXPECT_EQ(isLeadAt(c.text, i), c.kinds[i] == 'L') << "byte " << i;
            EXPECT_EQ(isTrailAt(c.text, i), c.kinds[i] == 'T') << "byte " << i;
        }
        EXPECT_FALSE(isLeadAt(c.text, c.text.size()));
    }
}

TEST(Sjis, NextCharWalksWholeCharacters) {
    std::string_view text = "a\x82\xA0\xB1\x95\xE0\x95";  // a, あ, ｱ, 歩, stray lead
    std::vector<int> codes;
    size_t pos = 0;
    for (int code; (code = nextChar(text, pos)) != 0;) codes.push_back(code);
    EXPECT_EQ(codes, (std::vector<int>{'a', 0x82A0, 0xB1, 0x95E0, 0x95}));
    EXPECT_EQ(pos, text.size());
    EXPECT_EQ(nextChar(text, pos), 0);
    EXPECT_EQ(pos, text.size());
    EXPECT_EQ(charAt(text, 1), 0x82A0);
    EXPECT_EQ(charAt("", 0), 0);
}

TEST(Sjis, TakeFirstAndLastChar) {
    LStr s(kLeadRun);
    EXPECT_EQ(takeLastChar(s, false), 0x8ABF);
    EXPECT_EQ(s.view(), kLeadRun);
    EXPECT_EQ(takeLastChar(s, true), 0x8ABF);
    EXPECT_EQ(takeLastChar(s, true), 0x95E0);
    EXPECT_EQ(takeFirstChar(s, true), 'a');
    EXPECT_EQ(takeFirstChar(s, false), 0x95E0);
    EXPECT_EQ(takeFirstChar(s, true), 0x95E0);
    EXPECT_EQ(takeFirstChar(s, true), -1);
    EXPECT_EQ(takeLastChar(s, true), -1);
    // The last byte 0x41 is the trail of ア, not the letter A.
    LStr kana("x\x83\x41");
    EXPECT_EQ(takeLastChar(kana, true), 0x8341);
    EXPECT_EQ(kana.view(), "x");
}

TEST(Sjis, AsciiCaseSkipsDoubleByteCharacters) {
    LStr s("Ab\x83\x41\x83\x61z");  // Ab ア ヂ z
    asciiToLower(s);
    EXPECT_EQ(s.view(), "ab\x83\x41\x83\x61z");
    asciiToUpper(s);
    EXPECT_EQ(s.view(), "AB\x83\x41\x83\x61Z");
    EXPECT_EQ(asciiLowered("Q\x83\x41").view(), "q\x83\x41");
    EXPECT_EQ(asciiUppered("q\x83\x61").view(), "Q\x83\x61");
}

TEST(Sjis, CompareIgnoringCaseRespectsTrailBytes) {
    struct Case {
        std::string_view a, b;
        int ignoreCase;  // sign of the result
        int exact;
    } cases[] = {
        {"abc", "ABC", 0, 1},
        {"abc", "abd", -1, -1},
        {"ab", "abc", -1, -1},
        {"abc", "ab", 1, 1},
        {"", "", 0, 0},
        {"a\x83\x41", "A\x83\x61", -1, 1},  // ア and ヂ differ only in a trail byte
        {"\x83\x41", "\x83\x41", 0, 0},
        {"Z", "a", 1, -1},   // folded: z after a
        {"[", "a", -1, -1},  // a letter and a non-letter are not folded
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sign(compareIgnoreCase(c.a, c.b)), c.ignoreCase) << c.a << " / " << c.b;
        EXPECT_EQ(sign(compare(c.a, c.b, true)), c.ignoreCase) << c.a << " / " << c.b;
        EXPECT_EQ(sign(compare(c.a, c.b, false)), c.exact) << c.a << " / " << c.b;
    }
    EXPECT_EQ(compareIgnoreCase("a\x83\x41", "a\x83\x61"), 0x41 - 0x61);
    EXPECT_EQ(compareIgnoreCaseN("abcX", "ABCy", 3), 0);
    EXPECT_LT(compareIgnoreCaseN("abcX", "ABCy", 4), 0);
    EXPECT_EQ(compareIgnoreCaseN("ab", "ab", 10), 0);
}
