// Fuzzy alignment and rating: pieces of ASCII and Japanese windows, the
// anchor thresholds, the front shift, and the rate of the pieces.
#include "search/fuzzy_align.h"

#include <gtest/gtest.h>

#include "common/system_charset.h"
#include "search/fuzzy_rate.h"
#include "search/search_test_util.h"
#include "support/stop_flag.h"

// A rate counts common characters against runs of differences, each run by
// its longer side, trailing ones too.
TEST(FuzzyAlign, PiecesOfWindowsAgainstTheKeyAndTheirRate) {
    const std::string key = sj("全文検索の速度を測る");
    struct Case {
        std::string window, key, expected;
        int rate;
    } cases[] = {
        {"matXhing", "matching", "=mat +X -c =hing", 87},
        {"matchng", "matching", "=match -i =ng", 87},
        {"chingmat", "matching", "-mat =ching +mat", 45},
        {"", "abc", "-abc", 0},
        {"abc", "", "+abc", 0},
        {"abcd", "efgh", "+abcd -efgh", 0},
        {"abc", "abcd", "=abc -d", 75},
        {"abxyzdefgh", "abcdefgh", "=ab +xyz -c =defgh", 70},
        // A lone agreeing character after a skip is too light to anchor.
        {"abxd", "abcd", "=ab +xd -cd", 50},
        // Symbols are light: skipping one needs only a short agreeing run.
        {"ab-cd", "abcd", "=ab +- =cd", 80},
        {key, key, "=" + key, 100},
        {sj("全文検索の精度を測る"), key, sj("=全文検索の +精 -速 =度を測る"), 90},
        {sj("全文検索速度を測る"), key, sj("=全文検索 -の =速度を測る"), 90},
        {sj("速度を測る全文検索の"), key, sj("-全文検索の =速度を測る +全文検索の"), 33},
        // A trail byte equal to an ASCII letter is no letter: ア is 83 41.
        {"\x83\x41\x42\x43\x44", "ABCD", "+\x83\x41 -A =BCD", 75},
        // The front shift moves a repeated start into the difference.
        {"aabcdef", "abcdef", "+a =a =bcdef", 85},
        {"abcdef", "aabcdef", "-a =a =bcdef", 85},
        {"abxabcdef", "abcdef", "+abx =ab =cdef", 66},
        {"abxyzcdef", "abcdef", "=ab +xyz =cdef", 66},
    };
    for (const Case& c : cases) {
        std::vector<FuzzyPiece> out;
        ASSERT_TRUE(alignTexts(c.window, c.key, out)) << c.window;
        EXPECT_EQ(searchtest::describe(out), c.expected)
            << "window " << c.window << ", key " << c.key;
        EXPECT_EQ(rateOf(out), c.rate) << c.expected;
        std::string record;
        for (const FuzzyPiece& p : out)
            if (p.kind != FuzzyPiece::kStringOnly) record += p.text.view();
        EXPECT_EQ(record, c.window) << "the record side must read as the window";
    }
}

TEST(FuzzyAlign, StopFlagEndsALongAlignment) {
    std::string key;
    for (int i = 0; i < 100; ++i) key += "ab";
    std::vector<FuzzyPiece> out;
    stopFlag() = 1;
    EXPECT_FALSE(alignTexts(std::string(10000, 'a'), key, out));
    stopFlag() = 0;
}
