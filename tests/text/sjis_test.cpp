// Walking Shift-JIS text: byte classes at the range edges, lead and trail
// positions, taking characters, and ASCII case changes and comparisons that
// leave double-byte characters alone.
#include "text/sjis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// 漢 is 0x8A 0xBF, 歩 0x95 0xE0 (a trail byte in the lead class), ア 0x83 0x41
// and ヂ 0x83 0x61 (trail bytes "A" and "a"), 表 0x95 0x5C.
const std::string kLeadRun = "a\x95\xE0\x95\xE0\x8A\xBF";  // a歩歩漢

}  // namespace

TEST(Sjis, ByteClassesAtTheRangeEdges) {
    const std::tuple<unsigned char, bool, bool> cases[] = {
        // byte, lead, kana
        {0x7F, false, false}, {0x80, false, false}, {0x81, true, false},  {0x9F, true, false},
        {0xA0, false, false}, {0xA1, false, true},  {0xDF, false, true},  {0xE0, true, false},
        {0xFC, true, false},  {0xFD, false, false}, {0xFF, false, false},
    };
    for (const auto& [byte, lead, kana] : cases) {
        const std::string text = std::string(1, char(byte)) + "A";
        EXPECT_EQ(isLeadByte(byte), lead) << std::hex << int(byte);
        EXPECT_EQ(isHalfKana(byte), kana) << std::hex << int(byte);
        EXPECT_EQ(charLength(text, 0), lead ? 2 : 1) << std::hex << int(byte);
        EXPECT_EQ(isTrailAt(text, 1), lead) << std::hex << int(byte);
    }
}

TEST(Sjis, LeadAndTrailPositions) {
    // Per byte: 'L' lead, 'T' trail, '.' single; a lead at the very end is still a lead.
    const std::pair<std::string, std::string> cases[] = {
        {kLeadRun, ".LTLTLT"},
        {"\x83\x41\x41", "LT."},
        {"\xB1\x95\x5C\\", ".LT."},
        {"\x95\xE0\x95", "LTL"},
    };
    for (const auto& [text, kinds] : cases) {
        for (size_t i = 0; i < kinds.size(); ++i) {
            EXPECT_EQ(isLeadAt(text, i), kinds[i] == 'L') << kinds << " byte " << i;
            EXPECT_EQ(isTrailAt(text, i), kinds[i] == 'T') << kinds << " byte " << i;
        }
        EXPECT_FALSE(isLeadAt(text, text.size()));
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
    LStr afterLeadClassTrail("\x95\xE0\x41");  // 歩A: 0xE0 ends 歩, so A stands alone
    EXPECT_EQ(takeLastChar(afterLeadClassTrail, true), 'A');
}

TEST(Sjis, AsciiCaseSkipsDoubleByteCharacters) {
    LStr s("Ab\x83\x41\x83\x61z");  // Ab ア ヂ z
    asciiToLower(s);
    EXPECT_EQ(s.view(), "ab\x83\x41\x83\x61z");
}

TEST(Sjis, CompareIgnoringCaseRespectsTrailBytes) {
    // ア and ヂ differ only in a trail byte. After 歩 the trail 0xE0 is in the
    // lead class, but A after it starts a character of its own and folds.
    // A letter and a non-letter are not folded.
    const std::tuple<std::string_view, std::string_view, int, int> cases[] = {
        {"abc", "ABC", 0, 1},
        {"ab", "abc", -1, -1},
        {"a\x83\x41", "A\x83\x61", -1, 1},
        {"Z", "a", 1, -1},
        {"\x95\xE0\x41", "\x95\xE0\x61", 0, -1},
        {"[", "a", -1, -1},
    };
    for (const auto& [a, b, ignoreCase, exact] : cases) {
        EXPECT_EQ(std::clamp(compareIgnoreCase(a, b), -1, 1), ignoreCase) << a << " / " << b;
        EXPECT_EQ(std::clamp(compare(a, b, false), -1, 1), exact) << a << " / " << b;
    }
}
