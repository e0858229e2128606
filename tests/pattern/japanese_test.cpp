// Shift-JIS subjects: matches start and end only at character boundaries,
// trail bytes that look like syntax stay part of their character, and case,
// width and character-type rules apply to double-byte characters.
#include <gtest/gtest.h>

#include "../common/capture_sink.h"
#include "rex_test_util.h"

namespace {

// Characters used below (Shift-JIS bytes).
#define HIRA_A "\x82\xA0"     // あ
#define KATA_A "\x83\x41"     // ア
#define HALF_A "\xB1"         // ｱ
#define KANJI "\x8A\xBF"      // 漢
#define SO "\x83\x5C"         // ソ (trail byte is the backslash)
#define CHOON "\x81\x5B"      // ー (trail byte is "[")
#define FULL_B "\x82\x61"     // Ｂ (trail byte is "a")
#define FULL_A_UP "\x82\x60"  // Ａ
#define FULL_A_LO "\x82\x81"  // ａ
#define FULL_1 "\x82\x50"     // １

TEST(Japanese, WholeCharactersCaseAndWidth) {
    CaptureSink sink;
    const std::tuple<const char*, const char*, uint32_t, const char*> cases[] = {
        {"a", FULL_B, 0, "none"},  // trail byte "a" is no start
        {"a", FULL_B "a", 0, "2:a"},
        {"\\\\", SO, 0, "none"},  // trail 0x5C is no backslash
        {"\\[", CHOON, 0, "none"},
        {SO "(a)", SO "a", 0, "0:" SO "a"},  // 0x5C in the pattern is no escape
        {CHOON "+", CHOON CHOON "x", 0, "0:" CHOON CHOON},
        {"..", "a" HIRA_A "b", 0, "0:a" HIRA_A},
        {"\\x82", HIRA_A, 0, "none"},  // would end inside a character
        {"\\w", HIRA_A, 0, "none"},
        {"\\W", HIRA_A "a", 0, "none"},  // class letters take single bytes only
        {"[\x82\x9F-\x82\xF1]+", KANJI HIRA_A HIRA_A, 0, "2:" HIRA_A HIRA_A},
        {"(?<=a)b", FULL_B "b", 0, "none"},  // the character before b is Ｂ
        {"(?<=" FULL_B ")b", "a" FULL_B "b", 0, "3:b"},
        {"(?<=" HIRA_A "+)x", HIRA_A HIRA_A "x", 0, "4:x"},
        {"b\\b", FULL_B "b ", 0, "2:b"},  // Ｂ's trail byte is no word byte
        {"\\d", FULL_1, 0, "none"},
        {"[\x82\x4F-\x82\x58]", "a" FULL_1, 0, "1:" FULL_1},
        // Case and width folding of double-byte characters.
        {"abc", FULL_A_LO "\x82\x82\x82\x83", RexIgnoreWidth, "0:" FULL_A_LO "\x82\x82\x82\x83"},
        {FULL_A_UP "B", "xAB", RexIgnoreWidth, "1:AB"},
        {"[a-c]", "\x82\x82", RexIgnoreWidth, "0:\x82\x82"},
        {"[\x82\x81-\x82\x83]", "b", RexIgnoreWidth, "0:b"},
        {FULL_A_LO, FULL_A_UP, RexIgnoreCase, "0:" FULL_A_UP},
        {"a", FULL_A_UP, RexIgnoreCase | RexIgnoreWidth, "0:" FULL_A_UP},
        {"a", FULL_A_UP, RexIgnoreCase, "none"},
        {HALF_A, KATA_A, RexIgnoreWidth, "0:" KATA_A},
        {"{@iz}a{@z}b", FULL_A_LO "b" FULL_A_LO "\x82\x82", 0, "0:" FULL_A_LO "b"},
        {"(?<=" FULL_A_LO ")x", "ax", RexIgnoreWidth, "1:x"},
        {"(?<=A)x", FULL_A_LO "x", RexIgnoreWidth | RexIgnoreCase, "2:x"},
    };
    for (const auto& [pattern, text, flags, expected] : cases)
        EXPECT_EQ(firstMatch(pattern, text, flags), expected) << "pattern " << pattern;
}

TEST(Japanese, TypeBoundariesAndWordsOnly) {
    CaptureSink sink;
    LRexPtr c = compileRex("\\c");
    LRexPtr upperC = compileRex("\\C");
    EXPECT_EQ(countMatches(HIRA_A KANJI, c.get()), 2);  // before あ and before 漢
    EXPECT_EQ(countMatches(HIRA_A HIRA_A, upperC.get()), 1);
    EXPECT_EQ(countMatches("  ", c.get()), 2);  // two spaces: both type 0
    EXPECT_EQ(firstMatch(KANJI, HIRA_A KANJI HIRA_A, RexWords), "2:" KANJI);
    EXPECT_EQ(firstMatch(KANJI, KANJI KANJI, RexWords), "none");
}

}  // namespace
