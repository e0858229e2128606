// Differential test against std::regex on random patterns and subjects, in
// the forms both define alike: ASCII atoms, groups, alternation, repetition
// of atoms that cannot match empty, and back references to groups that
// always take part. Both must report the same leftmost match.
#include <gtest/gtest.h>

#include <random>
#include <regex>

#include "../common/capture_sink.h"
#include "rex_test_util.h"

namespace {

class PatternGen {
public:
    explicit PatternGen(uint32_t seed) : rng_(seed) {}

    std::string pattern() {
        groups_ = 0;
        std::string p;
        for (int i = pick(1, 4); i > 0; --i) {
            int kind = pick(0, 5);
            if (kind == 0) {
                p += "(" + alternation(2) + ")";
                ++groups_;
            } else if (kind == 1 && groups_ > 0) {
                p += "\\" + std::to_string(pick(1, groups_));
            } else {
                p += piece(2);
            }
        }
        return p;
    }

    std::string subject() {
        std::string s;
        for (int i = pick(0, 8); i > 0; --i) s += char('a' + pick(0, 2));
        return s;
    }

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string atom(int depth) {
        static const char* kAtoms[] = {"a", "b", "c", "[ab]", "[^a]", "[b-c]", "."};
        if (depth > 0 && pick(0, 3) == 0) return "(?:" + alternation(depth - 1) + ")";
        return kAtoms[pick(0, 6)];
    }
    std::string piece(int depth) {
        static const char* kQuant[] = {"",      "",     "*",  "+",  "?",  "{1,2}",
                                       "{0,2}", "{2,}", "*?", "+?", "??", "{1,3}?"};
        return atom(depth) + kQuant[pick(0, 11)];
    }
    // A sequence that cannot match the empty string: it starts with an atom.
    std::string sequence(int depth) {
        std::string s = atom(depth);
        for (int i = pick(0, 2); i > 0; --i) s += piece(depth);
        return s;
    }
    std::string alternation(int depth) {
        std::string s = sequence(depth);
        for (int i = pick(0, 2); i > 0; --i) s += "|" + sequence(depth);
        return s;
    }

    std::mt19937 rng_;
    int groups_ = 0;
};

std::string viaStdRegex(const std::string& pattern, const std::string& subject) {
    std::regex re(pattern, std::regex::ECMAScript);
    std::smatch m;
    if (!std::regex_search(subject, m, re)) return "none";
    return std::to_string(m.position(0)) + ":" + m.str(0);
}

TEST(Differential, AgreesWithStdRegexOnTheCommonSubset) {
    CaptureSink sink;
    PatternGen gen(20240611);
    int failures = 0;
    for (int i = 0; i < 2000 && failures < 10; ++i) {  // patterns, 6 subjects each
        const std::string pattern = gen.pattern();
        LRexSearcher ours(pattern);
        for (int j = 0; j < 6; ++j) {
            const std::string subject = gen.subject();
            const std::string expected = viaStdRegex(pattern, subject);
            const std::string got = describeMatch(ours, subject, ours.search(subject));
            failures += got != expected;
            EXPECT_EQ(got, expected) << "pattern " << pattern << " subject '" << subject << "'";
        }
    }
    EXPECT_TRUE(sink.messages().empty()) << sink.allText();
}

}  // namespace
