// Match semantics of every node type through the first match of a search;
// what the differential test covers is mostly left to it.
#include <gtest/gtest.h>

#include "../common/capture_sink.h"
#include "rex_test_util.h"

namespace {

struct MatchCase {
    const char* pattern;
    const char* text;
    const char* expected;  // "offset:matched text" or "none"
    uint32_t flags = 0;
};

TEST(Matching, FirstMatchOfEveryNodeType) {
    const std::vector<MatchCase> cases = {
        // Literals and classes.
        {"a.c", "a\nc", "0:a\nc"},
        {"[]", "abc", "none"},
        {"[^]", "abc", "0:a"},
        {"\\n", "a\r\nb", "1:\r\n"},
        {"[\\n]", "a\nb", "1:\n"},
        {"C++", "CC+", "0:CC+"},
        {"a}b-c]", "a}b-c]", "0:a}b-c]"},
        // Repetition: greedy, lazy, bounded, and backtracking into each.
        {"x{-1}", "xxx", "0:"},
        {"(?:a?){2}b", "b", "0:b"},
        // Groups and references.
        {"a()b", "ab", "0:ab"},
        {"(a){=x}{:x}", "aa", "0:aa"},
        {"(a)b{:1}", "aba", "0:aba"},
        {"(\\w+) \\1", "hello hello", "0:hello hello"},
        {"\\0a", "a", "none"},
        // Anchors and assertions.
        {"^x", "ax\nx", "none"},
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
        // Look-around and atomic groups.
        {"(?=x)y", "xy", "none"},
        {"(?=xy)x", "axy", "1:x"},
        {"a(?!b)", "abac", "2:a"},
        {"(?<=ab)c", "abc", "2:c"},
        {"(?<!b)c", "abcac", "4:c"},
        {"(?<=a+)c", "aac", "2:c"},
        {"(*!b)c", "bcac", "3:c"},
        {"(?>a*)a", "aaa", "none"},
        {"(?>a+)b", "aab", "0:aab"},
        {"(?cx:a)+", "aabca", "2:bc"},
        // An assertion inside a look-behind looks its own way from where it
        // stands in the body.
        {"(?<=abcd(?<=(aaaabcd)))", "xxaaaabcdxx", "9:"},
        {"(?=foo)(?<=c|a[a-d](?<!b))", "abfoo", "none"},
        {"(?<=a(?=c))", "abac", "3:"},
        // Directives and flags.
        {"({@ic}a)b", "Ab", "0:Ab"},
        {"({@ic}a)b", "AB", "none"},
        {"{@ic}a{@c}b", "AB Ab", "3:Ab"},
        {"a{@ign(-)}bc", "ab-c", "0:ab-c"},
        {"{@ign(-)}abc", "a-b--c", "0:a-b--c"},
        {"{@ign( )}ab", "x  a b", "3:a b"},
        {"abc", "xAbC", "1:AbC", RexIgnoreCase},
        {"[a-c]+", "ABC", "0:ABC", RexIgnoreCase},
        {"\\W", "a-", "1:-", RexIgnoreCase},
    };
    CaptureSink sink;
    for (const auto& tc : cases) {
        EXPECT_EQ(firstMatch(tc.pattern, tc.text, tc.flags), tc.expected)
            << "pattern '" << tc.pattern << "' on '" << tc.text << "'";
    }
}

TEST(Matching, CapturesOfTheFirstMatch) {
    EXPECT_EQ(captureOf("(a+)(b+)", "xaabbb", 0), "aa");
    EXPECT_EQ(captureOf("(a+)(b+)", "xaabbb", 1), "bbb");
    EXPECT_EQ(captureOf("(?:(a)|b)c", "bc", 0), "unset");
    EXPECT_EQ(captureOf("((a)b)(?:c)(d)", "abcd", 2), "d");  // numbered by "(", not "(?:"
    // A negative look-ahead whose body matched leaves no capture behind.
    EXPECT_EQ(captureOf("(?:(?!(a))x|a)", "a", 0), "unset");
}

TEST(Matching, EmptyPatternsNeverMatch) {
    CaptureSink sink;
    for (const char* pattern : {"", "(?#note)"}) EXPECT_EQ(firstMatch(pattern, "abc"), "none");
    EXPECT_EQ(compileRex(std::string_view("\0a", 2)), nullptr);  // a NUL ends the pattern
}

TEST(Matching, CustomReferenceWithoutAHookFails) {
    CaptureSink sink;
    EXPECT_EQ(firstMatch("a{@r:name}", "ab"), "none");
    ASSERT_FALSE(sink.messages().empty());
    EXPECT_NE(sink.messages()[0].text.find("{@r:name}"), std::string::npos);
}

TEST(Matching, MissingReferenceTargetIsReportedOncePerNode) {
    CaptureSink sink;
    LRexSearcher s("a\\3");
    EXPECT_EQ(s.search("aaaa"), -1);
    EXPECT_EQ(s.search("aaaa"), -1);
    EXPECT_EQ(sink.allText(), "missing reference target for '3'\n");
}

}  // namespace
