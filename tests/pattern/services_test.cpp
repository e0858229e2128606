// Services on top of the matcher: the literal requirements the index tests
// and replacement templates.
#include <gtest/gtest.h>

#include "../common/capture_sink.h"
#include "pattern/replace.h"
#include "pattern/requirements.h"
#include "rex_test_util.h"

namespace {

TEST(Requirements, Normalised) {
    const struct {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"ab(c|d)", "O(1:abc,1:abd)"},
        {"ab(c|d)e", "O(1:abce,1:abde)"},
        {"a.b", "S(1:a,X,1:b)"},
        {"a?b", "S(X,1:b)"},
        {"[xy]z[a-c]", "O(S(1:xz,X),S(1:yz,X))"},
        {"(ab)+\\d", "S(1:ab,X,1:ab,X)"},
        {"(a|b)(c|d)", "O(1:ac,1:ad,1:bc,1:bd)"},
        {"x|(y|z)", "O(1:x,1:y,1:z)"},
        {"\x82\xA0[\x82\xA2\x82\xA4]", "O(1:\x82\xA0\x82\xA2,1:\x82\xA0\x82\xA4)"},
        {"[^a]", "X"},
    };
    for (const auto& tc : cases) {
        LRexPtr root = compileRex(tc.pattern);
        EXPECT_EQ(patternRequirements(root.get())->toString(), tc.expected) << tc.pattern;
    }
    // Distribution stays bounded for many alternatives in a row.
    std::string many;
    for (int i = 0; i < 12; ++i) many += "(a|b)";
    LRexPtr root = compileRex(many);
    EXPECT_LE(patternRequirements(root.get())->toString().length(), 100000);
}

TEST(Replace, Templates) {
    const struct {
        const char* text;
        const char* pattern;
        const char* templ;
        const char* expected;
        int32_t count;
    } cases[] = {
        {"xaby", "(a)(b)", "\\2\\1", "xbay", 1},
        {"ab", "x*", "-", "-a-b", 2},  // no empty match after the last character
        {"\x82\xA0", "x*", "-", "-\x82\xA0", 1},
        {"abab", "b", "[\\0]", "a[b]a[b]", 2},
        {"k=v", "(\\w)=(\\w){=val}", "\\{val}:\\1", "v:k", 1},
        {"a b", " ", "\\t\\n", "a\t\r\nb", 1},
        {"abc", "q", "z", "abc", 0},
        {"ab", "$", "!", "ab!", 1},
        {"a", "a", "\x83\x5Cn", "\x83\x5Cn", 1},  // ソ's trail byte is no escape
    };
    CaptureSink sink;
    for (const auto& tc : cases) {
        LStr s(tc.text);
        EXPECT_EQ(replaceAll(s, tc.pattern, tc.templ), tc.count) << tc.pattern;
        EXPECT_EQ(s, tc.expected) << tc.pattern;
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST(Replace, MissingCaptureIsReportedOncePerCall) {
    CaptureSink sink;
    LStr s("aaa");
    replaceAll(s, "a", "<\\3>");
    EXPECT_EQ(s, "<><><>");
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].number, 35000);
    EXPECT_EQ(sink.messages()[0].text, "Regular Expression: missing reference target for '3'");
}

TEST(Replace, OnlyReplacements) {
    LRexSearcher s("\\d+|x*", "<\\0>");
    s.setOutput(ReplaceOutput::OnlyReplacements);
    LStr out;
    EXPECT_EQ(s.replace("a1b22c", out), 5);
    EXPECT_EQ(out, "<><1><><22><>");
}

}  // namespace
