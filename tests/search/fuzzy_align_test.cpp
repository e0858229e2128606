// Fuzzy alignment and rating: pieces of ASCII and Japanese windows, the
// anchor thresholds, the front shift and rate arithmetic.
#include "search/fuzzy_align.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/search_fixture.h"
#include "search/fuzzy_rate.h"
#include "search/search_test_util.h"
#include "support/stop_flag.h"

namespace {

using e2e::sj;
using searchtest::describe;

TEST(FuzzyRate, CountsRunsOfDifferencesByTheirLongestPiece) {
    struct Case {
        std::string pieces;
        int rate;
    } cases[] = {
        {"", 0},
        {"=abcd", 100},
        {"+abcd -efgh", 0},
        {"=ab +x -c =d", 75},     // a substitution counts once
        {"=ab +xyz -c =d", 50},   // the longer side of the run counts
        {"=ab +x =c +y =d", 66},  // two separate runs both count
        {"=abc -d", 75},          // a trailing difference counts too
        {sj("=あい -う"), 66},    // characters, not bytes
    };
    for (const Case& c : cases) EXPECT_EQ(rateOf(searchtest::pieces(c.pieces)), c.rate) << c.pieces;
}

TEST(FuzzyAlign, PiecesOfWindowsAgainstTheKey) {
    const std::string key = sj("全文検索の速度を測る");
    struct Case {
        std::string window, key, expected;
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
        {key, key, "=" + key},
        {sj("全文検索の精度を測る"), key, sj("=全文検索の +精 -速 =度を測る")},
        {sj("全文検索速度を測る"), key, sj("=全文検索 -の =速度を測る")},
        {sj("速度を測る全文検索の"), key, sj("-全文検索の =速度を測る +全文検索の")},
        // A trail byte equal to an ASCII letter is no letter: ア is 83 41.
        {"\x83\x41\x42\x43\x44", "ABCD", "+\x83\x41 -A =BCD"},
        // The front shift moves a repeated start into the difference.
        {"aabcdef", "abcdef", "+a =a =bcdef"},
        {"abcdef", "aabcdef", "-a =a =bcdef"},
        {"abxabcdef", "abcdef", "+abx =ab =cdef"},
        {"abxyzcdef", "abcdef", "=ab +xyz =cdef"},
    };
    for (const Case& c : cases) {
        std::vector<FuzzyPiece> out;
        ASSERT_TRUE(alignTexts(c.window, c.key, out)) << c.window;
        EXPECT_EQ(describe(out), c.expected) << "window " << c.window << ", key " << c.key;
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

}  // namespace
