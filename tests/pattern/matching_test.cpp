// Match semantics of every node type, checked through the first match of a
// search: literals, classes, repetition (greedy, lazy, bounded), alternation,
// groups and references, anchors and assertions, look-around, atomic groups.
#include <gtest/gtest.h>

#include "../common/capture_sink.h"
#include "pattern/nodes/ref_rex.h"
#include "rex_test_util.h"

namespace {

struct MatchCase {
    const char* pattern;
    const char* text;
    const char* expected;  // "offset:matched text" or "none"
};

void runCases(const std::vector<MatchCase>& cases, uint32_t flags = 0) {
    CaptureSink sink;
    for (const auto& tc : cases) {
        EXPECT_EQ(firstMatch(tc.pattern, tc.text, flags), tc.expected)
            << "pattern '" << tc.pattern << "' on '" << tc.text << "'";
    }
}

TEST(Matching, LiteralsAndClasses) {
    runCases({
        {"abc", "xxabcx", "2:abc"},
        {"abc", "ab", "none"},
        {"a.c", "a\nc", "0:a\nc"},
        {"[a-c]+", "xxbcad", "2:bca"},
        {"[^a-c]+", "abxyc", "2:xy"},
        {"[]", "abc", "none"},
        {"[^]", "abc", "0:a"},
        {"[z-a]", "abcz", "none"},
        {"\\n", "a\r\nb", "1:\r\n"},
        {"[\\n]", "a\nb", "1:\n"},
        {"a\\.b", "axb a.b", "4:a.b"},
        {"C++", "CC+", "0:CC+"},
        {"x{,}", "x{,}", "0:x{,}"},
        {"a}b", "a}b", "0:a}b"},
        {"a-b]", "a-b]", "0:a-b]"},
    });
}

TEST(Matching, GreedyLazyAndBounded) {
    runCases({
        {"a*", "bbb", "0:"},
        {"a+", "baaa", "1:aaa"},
        {"a*?b", "aaab", "0:aaab"},
        {"a{2}", "aaaa", "0:aa"},
        {"a{2,3}", "aaaa", "0:aaa"},
        {"a{2,3}?", "aaaa", "0:aa"},
        {"x{-1}", "xxx", "0:"},
        {"x{-1,3}", "xxxx", "0:xxx"},
        {"x{2,1}", "xxx", "0:xx"},
        {"a.*b", "a1b2b3", "0:a1b2b"},
        {"a.*?b", "a1b2b3", "0:a1b"},
        {"(ab)*c", "ababc", "0:ababc"},
        {"(a|ab)(c|bcd)(d*)", "abcd", "0:abcd"},
        // Backtracking reaches every alternative of an iteration and of a branch.
        {"(a|ab){2}c", "abac", "0:abac"},
        {"(?:a+|b)a", "aa", "0:aa"},
        {"(a|ab)*?c", "abc", "0:abc"},
        {"(?:a?){2}b", "b", "0:b"},
    });
}

TEST(Matching, GroupsAndReferences) {
    runCases({
        {"a()b", "ab", "0:ab"},
        {"(a)(b)\\2", "abb", "0:abb"},
        {"(a)(b)\\2", "aba", "none"},
        {"(a){=x}{:x}", "aa", "0:aa"},
        {"(a)b{:1}", "aba", "0:aba"},
        {"(\\w+) \\1", "hello hello", "0:hello hello"},
        {"\\0a", "a", "none"},
    });
    EXPECT_EQ(captureOf("(a+)(b+)", "xaabbb", 0), "aa");
    EXPECT_EQ(captureOf("(a+)(b+)", "xaabbb", 1), "bbb");
    EXPECT_EQ(captureOf("(?:(a)|b)c", "bc", 0), "unset");
}

TEST(Matching, AnchorsAndAssertions) {
    runCases({
        {"^x", "ax\nx", "none"},
        {"^x", "xa", "0:x"},
        {"(?topl)x", "ax\nx", "3:x"},
        {"x$", "xa\nx", "3:x"},
        {"x(?endl)", "ax\nb", "1:x"},
        {"(?tops)a", "ba", "none"},
        {"a(?ends)", "aba", "2:a"},
        {"\\bfoo\\b", "afoo foo", "5:foo"},
        {"\\Boo", "foo", "1:oo"},
        {"\\d\\d", "a12", "1:12"},
        {"\\s+", "a \t\r\nb", "1: \t\r\n"},
        {"\\w+", "--a_1--", "2:a_1"},
        {"\\W+", "ab-+c", "2:-+"},
        {"\\pa", "ba a", "3:a"},
        {"a\\P", "a ab", "2:a"},
    });
}

TEST(Matching, LookAroundAndAtomic) {
    runCases({
        {"(?=x)y", "xy", "none"},
        {"(?=xy)x", "axy", "1:x"},
        {"a(?!b)", "abac", "2:a"},
        {"(?<=ab)c", "abc", "2:c"},
        {"(?<!b)c", "abc", "none"},
        {"(?<!b)c", "abcac", "4:c"},
        {"(?<=a+)c", "aac", "2:c"},
        {"(*!b)c", "bcac", "3:c"},
        {"(?>a*)a", "aaa", "none"},
        {"(?>a+)b", "aab", "0:aab"},
        {"(?cx:a)+", "aabca", "2:bc"},
    });
}

TEST(Matching, Directives) {
    runCases({
        {"{@ic}abc", "xABC", "1:ABC"},
        {"({@ic}a)b", "Ab", "0:Ab"},
        {"({@ic}a)b", "AB", "none"},
        {"{@ic}a{@c}b", "AB Ab", "3:Ab"},
        {"{@xyz}ab", "ab", "0:ab"},
        {"(?#note)abc", "abc", "0:abc"},
        {"a{@ign(-)}bc", "ab-c", "0:ab-c"},
        {"{@ign(-)}abc", "a-b--c", "0:a-b--c"},
        {"{@ign( )}ab", "x  a b", "3:a b"},
    });
}

TEST(Matching, IgnoreCaseFlag) {
    runCases({{"abc", "xAbC", "1:AbC"}, {"[a-c]+", "ABC", "0:ABC"}, {"\\W", "a-", "1:-"}},
             RexIgnoreCase);
}

TEST(Matching, EmptyPatternsNeverMatch) {
    CaptureSink sink;
    LRexSearcher none("");
    EXPECT_EQ(none.search("abc"), -1);
    LRexSearcher comment("(?#note)");
    EXPECT_EQ(comment.search("abc"), -1);
}

TEST(Matching, CustomReferencesNeedAHook) {
    CaptureSink sink;
    LRexSearcher s("a{@r:name}");
    EXPECT_EQ(s.search("ab"), -1);
    ASSERT_FALSE(sink.messages().empty());
    EXPECT_EQ(sink.messages()[0].text, "missing custom function for {@r:name}");
    EXPECT_EQ(sink.messages()[0].number, 35000);

    LRexCustomRefHook saved = customRefHook;
    customRefHook = [](const char* name, int32_t* len) -> const char* {
        *len = 2;
        return std::string_view(name) == "name" ? "bc" : nullptr;
    };
    EXPECT_EQ(s.search("xabc"), 1);
    EXPECT_EQ(s.matchLen(), 3);
    customRefHook = saved;
}

TEST(Matching, MissingReferenceTargetIsReportedOncePerNode) {
    CaptureSink sink;
    LRexSearcher s("a\\3");
    EXPECT_EQ(s.search("aaaa"), -1);
    EXPECT_EQ(s.search("aaaa"), -1);
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].text, "missing reference target for '3'");
}

}  // namespace
