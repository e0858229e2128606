// Regularisation, stemming and the stem comparison.
#include "text/regularize.h"

#include <gtest/gtest.h>

#include <vector>

#include "text/sjis.h"

namespace {

std::string regular(std::string_view text, FoldFlags fold = kIndexFolding) {
    LStr out;
    regularize(text, fold, out);
    return std::string(out.view());
}

std::string stem(std::string_view word) {
    LStr w(word);
    stemWord(w);
    return std::string(w.view());
}

}  // namespace

TEST(StemWord, EndingsTable) {
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"matching", "match"}, {"studies", "studi"}, {"happy", "happi"}, {"quickly", "quick"},
        {"relations", "rel"}, {"running", "runn"}, {"carried", "carri"}, {"boxes", "box"},
        {"is", "is"}, {"", ""}, {"make", "mak"}, {"processing", "process"}};
    // clang-format on
    for (const auto& [word, stemmed] : cases) EXPECT_EQ(stem(word), stemmed) << word;
}

TEST(Regularize, FoldsStemsAndDropsSymbols) {
    // Full-width Latin folds to ASCII, Greek capitals to lower case in index
    // mode; full-width symbols (lead 0x81) and a truncated lead byte vanish;
    // hiragana, kanji and half-width katakana stay.
    // clang-format off
    const std::tuple<std::string_view, FoldFlags, std::string_view> cases[] = {
        {"Running, quickly!", kIndexFolding, "runnquick"}, {"a_b c-d", kIndexFolding, "abcd"},
        {"\x82\x60\x82\x61\x81\x40\x81\x45", kIndexFolding, "ab"},
        {"\x82\xa0 \x93\xfa \xb1", kIndexFolding, "\x82\xa0\x93\xfa\xb1"},
        {"\x83\x9f", kIndexFolding, "\x83\xbf"}, {"ab\x82", kIndexFolding, "ab"},
        {"Running", {false, false}, "Runn"}, {"\x82\x60", {false, false}, "\x82\x60"},
        {"\x82\x60", {false, true}, "A"}, {"\x82\x60", {true, false}, "\x82\x81"}};
    // clang-format on
    for (const auto& [text, fold, expected] : cases) EXPECT_EQ(regular(text, fold), expected);
}

TEST(StemCompare, MatchesRegularisedForms) {
    // A word that stems past the stem string does not match, nor does a
    // whole-text compare that leaves text unconsumed.
    // clang-format off
    const std::tuple<const char*, size_t, const char*, bool, int> cases[] = {
        // text, position, stem, whole, consumed (-1: no match)
        {"the Running dog", 4, "runn", false, 7}, {"run-fast!", 0, "runfast", false, 8},
        {"running", 0, "run", false, -1}, {"runs", 0, "run", false, 4}, {"runs", 0, "run", true, 4},
        {"runs x", 0, "run", true, -1}, {"\x82\x60\x82\x61", 0, "ab", false, 4},
        {"\x81\x40\x82\xa0", 0, "\x82\xa0", false, 4}, {"\xb1\xb2", 0, "\xb1\xb2", false, 2}};
    // clang-format on
    for (const auto& [text, pos, stem, whole, consumed] : cases) {
        StemMatch m = stemCompare(text, pos, stem, kIndexFolding, whole);
        EXPECT_EQ(m.matched ? m.consumed : -1, consumed) << text << " / " << stem;
    }
    std::atomic<int> stop{1};
    EXPECT_FALSE(stemCompare("abc", 0, "abc", kIndexFolding, false, &stop).matched);
}

// The equivalents come from a table made once; they must be what a walk
// over every code finds.
TEST(FoldEquivalents, AreEveryCodeThatFoldsAlike) {
    // A, a, Ａ, ａ, ア (full), ｱ, あ, ガ, ｶ, 亜, α, Α, 1, １, 、, a lone lead, a low trail.
    const int codes[] = {'A',    'a',    0x8260, 0x8281, 0x8341, 0xB1,   0x82A0, 0x834B, 0xB6,
                         0x889F, 0x83BF, 0x839F, '1',    0x8250, 0x8141, 0x82,   0x8220};
    for (bool ignoreCase : {false, true}) {
        for (bool ignoreWidth : {false, true}) {
            const FoldFlags fold{ignoreCase, ignoreWidth};
            for (int code : codes) {
                std::vector<int> walked;
                const int folded = foldChar(code, fold);
                auto visit = [&](int c) {
                    if (foldChar(c, fold) == folded) walked.push_back(c);
                };
                for (int b = 0; b < 256; ++b) visit(b);
                for (int lead = 0; lead < 256; ++lead)
                    if (isLeadByte(uint8_t(lead)))
                        for (int trail = 0; trail < 256; ++trail) visit(lead << 8 | trail);
                EXPECT_EQ(foldEquivalents(code, fold), walked)
                    << std::hex << code << " case " << ignoreCase << " width " << ignoreWidth;
            }
        }
    }
}
