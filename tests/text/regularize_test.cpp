// Regularisation, stemming and the stem comparison.
#include "text/regularize.h"

#include <gtest/gtest.h>

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
    struct {
        const char* word;
        const char* stemmed;
    } cases[] = {
        {"matching", "match"}, {"studies", "studi"},
        {"happy", "happi"},    {"quickly", "quick"},
        {"relations", "rel"},  {"running", "runn"},
        {"carried", "carri"},  {"boxes", "box"},
        {"is", "is"},          {"", ""},
        {"make", "mak"},       {"processing", "process"},
    };
    for (const auto& c : cases) EXPECT_EQ(stem(c.word), c.stemmed) << c.word;
}

TEST(Regularize, IndexModeFoldsStemsAndDropsSymbols) {
    EXPECT_EQ(regular("Running, quickly!"), "runnquick");
    EXPECT_EQ(regular("a_b c-d"), "abcd");
    // Full-width Latin folds to ASCII; full-width symbols (lead 0x81) vanish.
    EXPECT_EQ(regular("\x82\x60\x82\x61\x81\x40\x81\x45"), "ab");
    // Hiragana and kanji stay; half-width katakana bytes are kept.
    EXPECT_EQ(regular("\x82\xa0 \x93\xfa \xb1"), "\x82\xa0\x93\xfa\xb1");
    // Greek capital folds to lower case in index mode.
    EXPECT_EQ(regular("\x83\x9f"), "\x83\xbf");
}

TEST(Regularize, OptionsModeFoldsOnlyWhatIsAsked) {
    FoldFlags none{false, false};
    EXPECT_EQ(regular("Running", none), "Runn");
    EXPECT_EQ(regular("\x82\x60", none), "\x82\x60");
    EXPECT_EQ(regular("\x82\x60", FoldFlags{false, true}), "A");
    EXPECT_EQ(regular("\x82\x60", FoldFlags{true, false}), "\x82\x81");
}

TEST(Regularize, TruncatedLeadByteIsIgnored) {
    EXPECT_EQ(regular("ab\x82"), "ab");
}

TEST(StemCompare, MatchesRegularisedForms) {
    struct {
        const char* text;
        size_t pos;
        const char* stem;
        bool whole;
        bool matched;
        int consumed;
    } cases[] = {
        {"the Running dog", 4, "runn", false, true, 7},
        {"run-fast!", 0, "runfast", false, true, 8},
        {"running", 0, "run", false, false, 0},  // the word stems past the stem string
        {"runs", 0, "run", false, true, 4},
        {"runs x", 0, "run", true, false, 0},  // whole text not consumed
        {"runs", 0, "run", true, true, 4},
        {"\x82\x60\x82\x61", 0, "ab", false, true, 4},
        {"\x81\x40\x82\xa0", 0, "\x82\xa0", false, true, 4},
        {"\xb1\xb2", 0, "\xb1\xb2", false, true, 2},
    };
    for (const auto& c : cases) {
        StemMatch m = stemCompare(c.text, c.pos, c.stem, kIndexFolding, c.whole);
        EXPECT_EQ(m.matched, c.matched) << c.text << " / " << c.stem;
        if (c.matched) {
            EXPECT_EQ(m.consumed, c.consumed) << c.text;
        }
    }
}

TEST(StemCompare, StopFlagFails) {
    std::atomic<int> stop{1};
    EXPECT_FALSE(stemCompare("abc", 0, "abc", kIndexFolding, false, &stop).matched);
}
