// Replacement-pair lists of the display settings.
#include "search/replacement_pairs.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"

namespace {

TEST(ReplacementLine, FirstSingleEqualsSignSeparates) {
    struct Case {
        const char* line;
        bool ok;
        const char* pattern;
        const char* replacement;
    } cases[] = {
        {"a=b", true, "a", "b"}, {"a==b=c", true, "a=b", "c"}, {"a===b", true, "a=", "b"},
        {"=x", true, "", "x"},   {"a=", true, "a", ""},        {"a=b=c", true, "a", "b=c"},
        {"ab", false, "", ""},   {"a==b", false, "", ""},
    };
    for (const Case& c : cases) {
        LStr pattern, replacement;
        bool ok = splitReplacementLine(c.line, pattern, replacement);
        EXPECT_EQ(ok, c.ok) << c.line;
        if (!ok || !c.ok) continue;
        EXPECT_EQ(std::string(pattern.view()), c.pattern) << c.line;
        EXPECT_EQ(std::string(replacement.view()), c.replacement) << c.line;
    }
}

TEST(ReplacementLine, EqualsByteInsideADoubleByteCharacterIsNoSeparator) {
    // No trail byte is "=", but a lead byte followed by one must still be
    // read as one character: 0x81 0x3D is not valid, yet the scan steps over
    // the pair and finds the separator after it.
    LStr pattern, replacement;
    ASSERT_TRUE(splitReplacementLine("\x81=x=y", pattern, replacement));
    EXPECT_EQ(std::string(pattern.view()), "\x81=x");
    EXPECT_EQ(std::string(replacement.view()), "y");
}

TEST(ListLines, SplitsAtLineEndsAndSkipsEmptyLines) {
    std::vector<std::string_view> lines = listLines("a\r\n\r\nb\nc\r\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[1], "b");
    EXPECT_EQ(lines[2], "c");
}

TEST(ReplacementList, AppliesPairsInOrderWithTemplates) {
    ReplacementList list;
    ASSERT_TRUE(list.parse("([0-9]+)=<\\1>\r\n<=[\r\nx=\r\n"));
    EXPECT_EQ(list.count(), 3);
    LStr text("x12 and 3x");
    list.apply(text);
    EXPECT_EQ(std::string(text.view()), "[12> and [3>");
}

}  // namespace
