// Fuzzy alignment and rating: the pieces of ASCII and Japanese windows, the
// anchor thresholds, the front shift, rate arithmetic, and bounded work on
// degenerate texts.
#include "search/fuzzy_align.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "search/fuzzy_rate.h"
#include "search/fuzzy_test_util.h"
#include "support/stop_flag.h"

namespace {

using fuzzytest::describe;
using fuzzytest::pieces;

}  // namespace

TEST(FuzzyRate, CountsRunsOfDifferencesByTheirLongestPiece) {
    struct Case {
        const char* pieces;
        int rate;
    } cases[] = {
        {"", 0},
        {"=abcd", 100},
        {"+abcd -efgh", 0},
        {"=ab +x -c =d", 75},                 // a substitution counts once
        {"=ab +xyz -c =d", 50},               // the longer side of the run counts
        {"=ab +x =c +y =d", 66},              // two separate runs both count
        {"=abc -d", 75},                      // a trailing difference counts too
        {"=\x82\xA0\x82\xA2 -\x82\xA4", 66},  // あい against う: characters, not bytes
    };
    for (const Case& c : cases) EXPECT_EQ(rateOf(pieces(c.pieces)), c.rate) << c.pieces;
}

TEST(FuzzyAlign, PiecesOfAsciiAndJapaneseWindows) {
    struct Case {
        const char* window;
        const char* key;
        const char* expected;
    } cases[] = {
        {"matXhing", "matching", "=mat +X -c =hing"},
        {"matchng", "matching", "=match -i =ng"},
        {"chingmat", "matching", "-mat =ching +mat"},
        {"", "abc", "-abc"},
        {"abc", "", "+abc"},
        // A lone agreeing character after a skip is too light to anchor.
        {"abxd", "abcd", "=ab +xd -cd"},
        // Symbols are light: skipping one needs only a short agreeing run.
        {"ab-cd", "abcd", "=ab +- =cd"},
        // 全文検索の速度を測る as the key.
        {"\x91\x53\x95\xB6\x8C\x9F\x8D\xF5\x82\xCC\x91\xAC\x93\x78\x82\xF0\x91\xAA\x82\xE9",
         "\x91\x53\x95\xB6\x8C\x9F\x8D\xF5\x82\xCC\x91\xAC\x93\x78\x82\xF0\x91\xAA\x82\xE9",
         "=\x91\x53\x95\xB6\x8C\x9F\x8D\xF5\x82\xCC\x91\xAC\x93\x78\x82\xF0\x91\xAA\x82\xE9"},
        // 精 for 速
        {"\x91\x53\x95\xB6\x8C\x9F\x8D\xF5\x82\xCC\x90\xB8\x93\x78\x82\xF0\x91\xAA\x82\xE9",
         "\x91\x53\x95\xB6\x8C\x9F\x8D\xF5\x82\xCC\x91\xAC\x93\x78\x82\xF0\x91\xAA\x82\xE9",
         "=\x91\x53\x95\xB6\x8C\x9F\x8D\xF5\x82\xCC +\x90\xB8 -\x91\xAC "
         "=\x93\x78\x82\xF0\x91\xAA\x82\xE9"},
        // の deleted
        {"\x91\x53\x95\xB6\x8C\x9F\x8D\xF5\x91\xAC\x93\x78\x82\xF0\x91\xAA\x82\xE9",
         "\x91\x53\x95\xB6\x8C\x9F\x8D\xF5\x82\xCC\x91\xAC\x93\x78\x82\xF0\x91\xAA\x82\xE9",
         "=\x91\x53\x95\xB6\x8C\x9F\x8D\xF5 -\x82\xCC =\x91\xAC\x93\x78\x82\xF0\x91\xAA\x82\xE9"},
        // The halves swapped: 速度を測る全文検索の
        {"\x91\xAC\x93\x78\x82\xF0\x91\xAA\x82\xE9\x91\x53\x95\xB6\x8C\x9F\x8D\xF5\x82\xCC",
         "\x91\x53\x95\xB6\x8C\x9F\x8D\xF5\x82\xCC\x91\xAC\x93\x78\x82\xF0\x91\xAA\x82\xE9",
         "-\x91\x53\x95\xB6\x8C\x9F\x8D\xF5\x82\xCC =\x91\xAC\x93\x78\x82\xF0\x91\xAA\x82\xE9 "
         "+\x91\x53\x95\xB6\x8C\x9F\x8D\xF5\x82\xCC"},
        // A trail byte equal to an ASCII letter is no letter: ア is 0x83 0x41.
        {"\x83\x41\x42\x43\x44", "ABCD", "+\x83\x41 -A =BCD"},
    };
    for (const Case& c : cases) {
        std::vector<FuzzyPiece> out;
        ASSERT_TRUE(alignTexts(c.window, c.key, out)) << c.window;
        EXPECT_EQ(describe(out), c.expected) << "window " << c.window << ", key " << c.key;
    }
}

TEST(FuzzyAlign, FrontShiftMovesARepeatedStartIntoTheDifference) {
    struct Case {
        const char* window;
        const char* key;
        const char* expected;
    } cases[] = {
        {"aabcdef", "abcdef", "+a =a =bcdef"},
        {"abcdef", "aabcdef", "-a =a =bcdef"},
        {"abxabcdef", "abcdef", "+abx =ab =cdef"},
        {"abxyzcdef", "abcdef", "=ab +xyz =cdef"},  // no repeat: nothing moves
    };
    for (const Case& c : cases) {
        std::vector<FuzzyPiece> out;
        ASSERT_TRUE(alignTexts(c.window, c.key, out));
        EXPECT_EQ(describe(out), c.expected) << c.window;
        std::string record;
        for (const FuzzyPiece& p : out)
            if (p.kind != FuzzyPiece::kStringOnly) record += p.text.view();
        EXPECT_EQ(record, c.window) << "the record side must still read as the window";
    }
}

TEST(FuzzyAlign, StopFlagEndsALongAlignment) {
    std::string key;
    for (int i = 0; i < 100; ++i) key += "ab";
    fuzzytest::StopGuard stop;
    std::vector<FuzzyPiece> out;
    EXPECT_FALSE(alignTexts(std::string(10000, 'a'), key, out));
}
