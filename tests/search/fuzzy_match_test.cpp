// Fuzzy matching over texts: hits with their spans, rates and pieces, the
// trimmed window end, the acceptance boundary, whole-field windows, case
// folding, short and long strings, and bounded work on degenerate records.
#include "search/fuzzy_match.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "search/fuzzy_test_util.h"
#include "text/sjis.h"

namespace {

using fuzzytest::Found;

// The tolerance a compiled search string carries for a regularised length.
int32_t tolerance(int32_t minRate, int32_t characters) {
    return minRate < 100 ? (100 - minRate) * characters / 100 + 2 : 0;
}

FuzzyOptions options(std::string_view key, int32_t minRate, bool field = false) {
    int32_t characters = 0;
    for (size_t pos = 0; pos < key.size(); pos += charLength(key, pos)) ++characters;
    return FuzzyOptions{minRate, true, field, tolerance(minRate, characters)};
}

std::vector<Found> collect(FuzzyMatcher& matcher, std::string_view text) {
    HitList hits;
    matcher.collect(text, hits);
    return fuzzytest::found(hits);
}

std::vector<Found> collect(std::string_view key, const FuzzyOptions& o, std::string_view text) {
    FuzzyMatcher matcher(key, o);
    return collect(matcher, text);
}

}  // namespace

TEST(FuzzyMatch, HitsWithTheirSpansRatesAndPieces) {
    struct Case {
        const char* key;
        int minRate;
        const char* text;
        std::vector<Found> expected;
    } cases[] = {
        // Extra characters at the end of the best window are trimmed away.
        {"matching", 75, "matchingzz", {{0, 8, 100, "=matching"}}},
        // Inside the window they are shown as inserted or missing.
        {"matching", 75, "so matcXhing", {{3, 9, 88, "=matc +X =hing"}}},
        {"matching", 75, "so matchng.", {{3, 7, 87, "=match -i =ng"}}},
        // One of four replaced: 3 same, 1 different. A later start with the
        // same rate replaces the earlier window.
        {"abcd", 75, "xbcd", {{1, 3, 75, "-a =bcd"}}},
        {"matching", 75, "nothing alike here", {}},
        // Each hit ends where the next search starts.
        {"matching",
         75,
         "matching; matching",
         {{0, 8, 100, "=matching"}, {10, 8, 100, "=matching"}}},
        // Longer than the text: the window ends at the text's end.
        {"abcdefgh", 75, "abcdefg", {{0, 7, 87, "=abcdefg -h"}}},
        // よみがなをふる with が replaced by か.
        {"\x82\xE6\x82\xDD\x82\xAA\x82\xC8\x82\xF0\x82\xD3\x82\xE9",
         75,
         "\x82\xE6\x82\xDD\x82\xA9\x82\xC8\x82\xF0\x82\xD3\x82\xE9",
         {{0, 14, 85, "=\x82\xE6\x82\xDD +\x82\xA9 -\x82\xAA =\x82\xC8\x82\xF0\x82\xD3\x82\xE9"}}},
        // Hits close to the end of the text are found whatever precedes them.
        {"matching", 75, "matching matching", {{0, 8, 100, "=matching"}, {9, 8, 100, "=matching"}}},
        {"matching", 75, "xxmatchng", {{2, 7, 87, "=match -i =ng"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(collect(c.key, options(c.key, c.minRate), c.text), c.expected)
            << "key " << c.key << ", text " << c.text;
}

TEST(FuzzyMatch, WholeFieldIsOneUntrimmedWindow) {
    struct Case {
        const char* key;
        const char* field;
        std::vector<Found> expected;
    } cases[] = {
        {"abcdefghij", "abcdefgXYZ", {{0, 10, 70, "=abcdefg +XYZ -hij"}}},
        {"abcd", "abcdx", {{0, 5, 80, "=abcd +x"}}},
        {"abcd", "abcd abcd", {}},  // the whole field must resemble the string
        {"abc", "abc", {{0, 3, 100, "=abc"}}},
        {"a", "a", {{0, 1, 100, "=a"}}},
        {"a", "b", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(collect(c.key, options(c.key, 70, true), c.field), c.expected)
            << "key " << c.key << ", field " << c.field;
}

TEST(FuzzyMatch, IgnoringCaseKeepsTheRecordBytesInThePieces) {
    FuzzyOptions o = options("matching", 75);
    EXPECT_EQ(collect("matching", o, "MATCHING"), (std::vector<Found>{{0, 8, 100, "=MATCHING"}}));
    // Full-width capitals fold on both sides: ＡＢＣＤ against ａｂｃｄ.
    const char* upper = "\x82\x60\x82\x61\x82\x62\x82\x63";
    const char* lower = "\x82\x81\x82\x82\x82\x83\x82\x84";
    EXPECT_EQ(collect(upper, options(upper, 75), lower),
              (std::vector<Found>{{0, 8, 100, std::string("=") + lower}}));
    o.ignoreCase = false;
    EXPECT_TRUE(collect("matching", o, "MATCHING").empty());
}

TEST(FuzzyMatch, WindowsLackingGramsAreSkippedWithoutAlignment) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "zyxwvutsrq ";
    text += "matching";
    FuzzyMatcher matcher("matching", options("matching", 75));
    EXPECT_EQ(collect(matcher, text).size(), 1u);
    EXPECT_GT(matcher.stats().windows, 0);
    EXPECT_LT(matcher.stats().passed * 20, matcher.stats().windows);
}

TEST(FuzzyMatch, StopFlagEndsTheSearch) {
    FuzzyMatcher matcher("aaaa", options("aaaa", 75));
    const std::string record(10000, 'a');
    {
        fuzzytest::StopGuard stop;
        EXPECT_FALSE(matcher.matches(record));
        HitList hits;
        matcher.collect(record, hits);
        EXPECT_TRUE(hits.empty());
    }
    EXPECT_TRUE(matcher.matches(record));
}
