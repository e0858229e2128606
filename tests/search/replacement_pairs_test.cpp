// Replacement-pair lists of the display settings.
#include "search/replacement_pairs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/message_service.h"

TEST(ReplacementLine, FirstSingleEqualsSignSeparates) {
    struct Case {
        const char* line;
        bool ok;
        const char* pattern;
        const char* replacement;
    } cases[] = {
        {"a=b", true, "a", "b"},
        {"a==b=c", true, "a=b", "c"},
        {"a===b", true, "a=", "b"},
        {"=x", true, "", "x"},
        {"a=", true, "a", ""},
        {"a=b=c", true, "a", "b=c"},
        {"ab", false, "", ""},
        {"a==b", false, "", ""},
        // A lead byte takes the byte after it, even an "=", as its pair.
        {"\x81=x=y", true, "\x81=x", "y"},
    };
    for (const Case& c : cases) {
        LStr pattern, replacement;
        EXPECT_EQ(splitReplacementLine(c.line, pattern, replacement), c.ok) << c.line;
        if (!c.ok) continue;
        EXPECT_EQ(std::string(pattern.view()), c.pattern) << c.line;
        EXPECT_EQ(std::string(replacement.view()), c.replacement) << c.line;
    }
}

TEST(ReplacementList, AppliesPairsInOrderWithTemplates) {
    ReplacementList list;
    ASSERT_TRUE(list.parse("([0-9]+)=<\\1>\r\n\r\n<=[\nx=\r\n"));  // empty lines are skipped
    EXPECT_EQ(list.count(), 3);
    LStr text("x12 and 3x");
    list.apply(text);
    EXPECT_EQ(std::string(text.view()), "[12> and [3>");
}

TEST(ReplacementList, WarningsOfOtherThreadsDoNotFailAParse) {
    // Every search thread parses the lists for itself while others may warn.
    struct Silent : LMsg {
        void output(int, const char*, const char*, std::string_view) override {}
    };
    auto previous = installMessageSink(std::make_unique<Silent>());
    std::atomic<bool> done = false;
    std::atomic<int> warned = 0;
    std::thread warner([&] {
        for (; !done; ++warned) report(kMsgWarning, "elsewhere");
    });
    int failed = 0;
    while (warned < 100) std::this_thread::yield();
    for (int i = 0; i < 300; ++i) failed += !ReplacementList().parse("x=X\ny=Y\n");
    done = true;
    warner.join();
    installMessageSink(std::move(previous));
    EXPECT_EQ(failed, 0);
}
