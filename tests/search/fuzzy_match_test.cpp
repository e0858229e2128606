// Fuzzy matching over texts: hits with their spans, rates and pieces, the
// trimmed window end, the acceptance boundary, whole-field windows, case
// folding and the stop flag.
#include "search/fuzzy_match.h"

#include <gtest/gtest.h>

#include <random>

#include "common/system_charset.h"
#include "search/search_test_util.h"
#include "support/stop_flag.h"

using searchtest::Found;
using Hits = std::vector<Found>;

// The options a compiled search string carries for key.
static FuzzyOptions options(std::string_view key, int32_t minRate, bool field = false) {
    const SearchKeys keys{.type = SearchType::Fuzzy, .fieldMatch = field, .minRate = minRate};
    return fuzzyOptionsOf(keys, *compileSearchString(key, keys, nullptr, 0).str);
}

static Hits collect(FuzzyMatcher& matcher, std::string_view text) {
    HitList hits;
    matcher.collect(text, hits);
    return searchtest::found(hits);
}

static Hits collect(std::string_view key, const FuzzyOptions& o, std::string_view text) {
    FuzzyMatcher matcher(key, o);
    return collect(matcher, text);
}

TEST(FuzzyMatch, HitsWithTheirSpansRatesAndPieces) {
    struct Case {
        std::string key;
        int minRate;
        std::string text;
        Hits expected;
        bool field = false;
        bool keepCase = false;
    } cases[] = {
        // Extra characters at the end of the best window are trimmed away.
        {"matching", 75, "matchingzz", {{0, 8, 100, "=matching"}}},
        // A later start with the same rate replaces the earlier window.
        {"abcd", 75, "xbcd", {{1, 3, 75, "-a =bcd"}}},
        // A rate one below the minimum is still a hit; two below is not.
        {"abcd", 76, "xbcd", {{1, 3, 75, "-a =bcd"}}},
        {"abcd", 77, "xbcd", {}},
        {"matching", 75, "nothing alike here", {}},
        // Each hit ends where the next search starts.
        {"match", 75, "match; match", {{0, 5, 100, "=match"}, {7, 5, 100, "=match"}}},
        // Longer than the text: the window ends at the text's end.
        {"abcdefgh", 75, "abcdefg", {{0, 7, 87, "=abcdefg -h"}}},
        {sj("よみがなをふ"), 75, sj("よみかなをふ"), {{0, 12, 83, sj("=よみ +か -が =なをふ")}}},
        // Hits close to the end of the text are found whatever precedes them.
        {"matching", 75, "matching matching", {{0, 8, 100, "=matching"}, {9, 8, 100, "=matching"}}},
        {"matching", 75, "xxmatchng", {{2, 7, 87, "=match -i =ng"}}},
        // A whole field is one untrimmed window that must resemble the string.
        {"abcdefghij", 70, "abcdefgXYZ", {{0, 10, 70, "=abcdefg +XYZ -hij"}}, true},
        {"abcd", 70, "abcdx", {{0, 5, 80, "=abcd +x"}}, true},
        {"abcd", 70, "abcd abcd", {}, true},
        {"a", 70, "a", {{0, 1, 100, "=a"}}, true},
        {"a", 70, "b", {}, true},
        // Ignoring case keeps the record's bytes in the pieces; full-width
        // capitals fold on both sides.
        {"matching", 75, "MATCHING", {{0, 8, 100, "=MATCHING"}}},
        {sj("ＡＢＣＤ"), 75, sj("ａｂｃｄ"), {{0, 8, 100, sj("=ａｂｃｄ")}}},
        {"matching", 75, "MATCHING", {}, false, true},
    };
    for (const Case& c : cases) {
        FuzzyOptions o = options(c.key, c.minRate, c.field);
        o.ignoreCase = !c.keepCase;
        EXPECT_EQ(collect(c.key, o, c.text), c.expected)
            << "key " << c.key << ", text " << c.text << ", " << c.minRate;
    }
}

TEST(FuzzyMatch, StopFlagEndsTheSearch) {
    FuzzyMatcher matcher("aaaa", options("aaaa", 75));
    const std::string record(10000, 'a');
    stopFlag() = 1;
    EXPECT_FALSE(matcher.matches(record));
    EXPECT_TRUE(collect(matcher, record).empty());
    stopFlag() = 0;
    EXPECT_TRUE(matcher.matches(record));
}

// Rejecting texts by the characters they share with the string changes no
// result: generated texts searched for a stretch of one of them with some
// characters replaced, dropped or added, with and without the rejection.
// A matching text holds one of the matcher's needles.
TEST(FuzzyMatch, RejectionByCharactersKeepsEveryResult) {
    const std::vector<std::string> alphabet = {"a",      "b",      "c",      "A",      "B",
                                               "-",      " ",      sj("ア"), sj("イ"), sj("検"),
                                               sj("ａ"), sj("Ａ"), sj("ｱ")};
    std::mt19937 rng(4711);
    const auto pick = [&](size_t n) { return size_t(rng() % n); };
    const auto generate = [&](std::vector<std::string>& chars) {
        chars.resize(3 + pick(30));
        for (std::string& c : chars) c = alphabet[pick(alphabet.size())];
    };
    int hits = 0;
    int needled = 0;  // matching texts checked for a needle
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> chars;
        generate(chars);
        std::string key;
        const size_t from = pick(chars.size());
        for (size_t k = from; k < std::min(chars.size(), from + 1 + pick(12)); ++k) {
            const size_t edit = pick(8);
            if (edit == 0) continue;
            key += edit == 1 ? alphabet[pick(alphabet.size())] : chars[k];
            if (edit == 2) key += alphabet[pick(alphabet.size())];
        }
        if (key.empty()) continue;
        for (int minRate : {60, 67, 75, 80, 100}) {
            FuzzyOptions o{minRate, round % 2 == 0, round % 7 == 0, int32_t(pick(6))};
            FuzzyMatcher filtered(key, o);
            o.rejectByCharacters = false;
            FuzzyMatcher plain(key, o);
            const std::vector<LStr> needles = filtered.requiredBytes();
            const auto holdsNeedle = [&](const std::string& text) {
                return std::any_of(needles.begin(), needles.end(), [&](const LStr& n) {
                    return text.find(n.view()) != std::string::npos;
                });
            };
            for (int t = 0; t < 8; ++t) {
                std::string text;
                for (const std::string& c : chars) text += c;
                const Hits expected = collect(plain, text);
                if (!needles.empty() && !expected.empty()) {
                    ASSERT_TRUE(holdsNeedle(text)) << key << " in " << text;
                    ++needled;
                }
                hits += int(expected.size());
                ASSERT_EQ(collect(filtered, text), expected) << key << " in " << text;
                ASSERT_EQ(filtered.matches(text), plain.matches(text)) << key << " in " << text;
                generate(chars);
            }
        }
    }
    EXPECT_GT(hits, 500);  // the texts do resemble their strings
    EXPECT_GT(needled, 20);
}
