// The failure memo of repetitions: patterns that backtrack exponentially
// without it finish on long lines with the right result, and on random
// patterns of every construct the memo never changes a match or a capture.
#include <gtest/gtest.h>

#include <random>

#include "../common/capture_sink.h"
#include "rex_test_util.h"

namespace {

// Without the memo each of these runs for ages; the test's time limit is
// what catches a memo that stopped working.
TEST(FailureMemo, ExponentialPatternsOnLongLines) {
    const std::string as(3000, 'a');
    std::string ab;
    for (int i = 0; i < 1500; ++i) ab += "ab";
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"(a|aa)*c", as, "none"},
        {"(a|aa)*c", as + "c", "0:"},  // the whole line; checked by length below
        {"(a*)*b", as, "none"},
        {"(a|aa)*?c", as, "none"},
        {"(x+x+)+y", std::string(3000, 'x'), "none"},
        {"(?:a|ab|b)*c", as + "b", "none"},
        {"^(a+)+$d", as, "none"},
        {"(?=(a|aa)*c)a", as, "none"},
        {"(?<=c(a|aa)*)b", as + "b", "none"},
        // Deep iterations that need their child's second answer.
        {"(?:a|ab)*c", ab + "c", "0:"},
        {"(a|ab)*?c", ab + "c", "0:"},
    };
    for (const auto& [pattern, text, expected] : cases) {
        LRexSearcher s(pattern);
        const int32_t at = s.search(text);
        std::string got = describeMatch(s, text, at);
        if (at == 0 && s.matchLen() == int32_t(text.size())) got = "0:";
        EXPECT_EQ(got, expected) << pattern;
    }
}

TEST(FailureMemo, CapturesAfterARejectedSplit) {
    // The last iteration's capture is that of the match, not of a split the
    // memo cut short.
    EXPECT_EQ(captureOf("(a|aa)*c", std::string(40, 'a') + "c", 0), "a");
    EXPECT_EQ(captureOf("((?:ab|a)+)bc", "abababc", 0), "ababa");
}

// Random patterns over "ab" with groups, alternation, greedy, lazy and
// bounded repetition, look-around, atomic groups and anchors.
std::string randomPattern(std::mt19937& rng, int depth) {
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    static const char* kAtoms[] = {"a", "b", "[ab]", ".", "ab", "^", "$", "\\b"};
    static const char* kQuant[] = {"", "", "*", "+", "?", "*?", "+?", "{1,2}", "{2,}"};
    static const char* kOpen[] = {"(", "(?:", "(?=", "(?!", "(?<=", "(?<!", "(?>"};
    std::string p;
    for (int i = pick(3) + 1; i > 0; --i) {
        if (depth > 0 && pick(3) == 0) {
            p += kOpen[pick(7)] + randomPattern(rng, depth - 1);
            if (pick(2)) p += "|" + randomPattern(rng, depth - 1);
            p += ")";
        } else {
            p += kAtoms[pick(8)];
        }
        p += kQuant[pick(9)];
    }
    return p;
}

std::string outcome(LRexSearcher& s, const std::string& text) {
    std::string r = describeMatch(s, text, s.search(text));
    for (const LRexHit& h : s.hits()) r += h.text ? "|" + std::string(h.text, h.len) : "|-";
    return r;
}

TEST(FailureMemo, NeverChangesAMatchOrACapture) {
    CaptureSink sink;
    std::mt19937 rng(20261207);
    for (int i = 0; i < 3000; ++i) {
        const std::string pattern = randomPattern(rng, 3);
        LRexSearcher with(pattern), without(pattern);
        without.setFailureMemo(false);
        for (int j = 0; j < 4; ++j) {
            std::string text;
            for (int n = int(rng() % 12); n > 0; --n) text += "ab "[rng() % 3];
            ASSERT_EQ(outcome(with, text), outcome(without, text))
                << "pattern " << pattern << " text '" << text << "'";
        }
    }
}

}  // namespace
