// Services on top of the matcher: the literal requirements the index tests
// and replacement templates.
#include <gtest/gtest.h>

#include "../common/capture_sink.h"
#include "pattern/replace.h"
#include "pattern/requirements.h"
#include "rex_test_util.h"

namespace {

TEST(Requirements, Normalised) {
    const std::pair<const char*, const char*> cases[] = {
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
    for (const auto& [pattern, expected] : cases)
        EXPECT_EQ(patternRequirements(compileRex(pattern).get())->toString(), expected) << pattern;
    // Distribution stays bounded for many alternatives in a row.
    std::string many;
    for (int i = 0; i < 12; ++i) many += "(a|b)";
    LRexPtr root = compileRex(many);
    EXPECT_LE(patternRequirements(root.get())->toString().length(), 100000);
}

TEST(Replace, Templates) {
    const std::tuple<const char*, const char*, const char*, const char*, int32_t> cases[] = {
        // text, pattern, template, result, replacements
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
    for (const auto& [text, pattern, templ, expected, count] : cases) {
        LStr s(text);
        EXPECT_EQ(replaceAll(s, pattern, templ), count) << pattern;
        EXPECT_EQ(s, expected) << pattern;
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
}

}  // namespace
