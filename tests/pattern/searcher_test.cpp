// The searcher: modes, offsets, the operations built on search, the
// start-byte prefilter (which must never change a result), and stopping a
// pathological search from another thread.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "../common/capture_sink.h"
#include "pattern/first_bytes.h"
#include "rex_test_util.h"
#include "base/ctype_table.h"

namespace {

TEST(Searcher, Modes) {
    LRexSearcher a("a");
    EXPECT_EQ(a.search("banana", -1, -1, 1), 1);
    EXPECT_EQ(a.search("banana", -1, -1, 2), 3);
    EXPECT_EQ(a.search("banana", -1, -1, 4), -1);
    ASSERT_NE(a.matchTop(), nullptr);  // the last one found stays recorded
    EXPECT_EQ(*a.matchTop(), 'a');
    EXPECT_EQ(a.search("banana", -1, -1, LRexSearcher::kModeLast), 5);
    EXPECT_EQ(a.search("banana", -1, -1, -1), 5);

    LRexSearcher alt("na|a");
    std::string_view text = "banana";
    EXPECT_EQ(alt.search(text, -1, -1, LRexSearcher::kModeFurthest), 4);
    EXPECT_EQ(alt.matchLen(), 2);
    EXPECT_EQ(alt.search(text, -1, -1, LRexSearcher::kModeLast), 5);
    EXPECT_EQ(alt.search("xyz", -1, -1, LRexSearcher::kModeLast), -1);
}

TEST(Searcher, Offsets) {
    LRexSearcher a("a");
    EXPECT_EQ(a.search("aaaa", 2, -1, 1, 1), 1);
    EXPECT_EQ(a.search("xxaa", 1, -1, 1, 0), -1);  // no start after lastStart
    LRexSearcher c("c");
    EXPECT_EQ(c.search("abc", -1, 2), -1);  // the text ends at endOffset
    LRexSearcher end("$");
    EXPECT_EQ(end.search("abc", -1, 2), 2);
    LRexSearcher caret("^b");
    EXPECT_EQ(caret.search("ab", -1, -1, 1, 1), -1);  // "^" is the text start, not firstStart
}

TEST(Searcher, CapturesOfTheRecordedMatch) {
    LRexSearcher s("(a)(b)?");
    ASSERT_EQ(s.search("xaab", -1, -1, LRexSearcher::kModeLast), 2);
    ASSERT_EQ(s.hits().size(), 2u);
    EXPECT_EQ(std::string(s.hits()[0].text, s.hits()[0].len), "a");
    EXPECT_EQ(std::string(s.hits()[1].text, s.hits()[1].len), "b");
    LRexSearcher named("(\\d+){=num}");
    ASSERT_EQ(named.search("ab 42"), 3);
    const LRexHit* h = findHit(named.hits(), "num");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(std::string(h->text, h->len), "42");
    EXPECT_EQ(findHit(named.hits(), "1"), h);
    EXPECT_EQ(findHit(named.hits(), "2"), nullptr);
}

TEST(Searcher, HelperOperations) {
    CaptureSink sink;
    LRexPtr aa = compileRex("aa");
    EXPECT_EQ(countMatches("aaaa", aa.get()), 2);
    EXPECT_EQ(countMatches("aaaa", aa.get(), true), 3);
    LRexPtr caret = compileRex("^a");
    EXPECT_EQ(countMatches("aaa", caret.get()), 3);  // each rest is a whole text
    LRexPtr star = compileRex("x*");
    EXPECT_EQ(countMatches("ab", star.get()), 2);
    EXPECT_EQ(countMatches("", star.get()), 0);

    LRexPtr ab = compileRex("ab");
    EXPECT_EQ(anchoredMatch("xab", ab.get(), 1), 2);
    EXPECT_EQ(anchoredMatch("xab", ab.get(), 0), -1);
    LRexHitList hits;
    LRexPtr grp = compileRex("(a)b");
    EXPECT_EQ(anchoredMatch("xab", grp.get(), 1, &hits), 2);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].len, 1);

    EXPECT_EQ(matchLength("a+", "baa"), 2);
    EXPECT_EQ(matchLength("a+", ""), 0);
    int32_t len = 0;
    const char* text = "xxabc";
    EXPECT_EQ(findRex(text, "b.", &len), text + 3);
    EXPECT_EQ(len, 2);
    EXPECT_EQ(findRex(text, "q", &len), nullptr);
}

TEST(Searcher, SplitByRex) {
    const char* sep = "[ \t]*;[ \t]*";
    auto join = [](const std::vector<LStr>& v) {
        std::string s;
        for (const auto& p : v) s += "<" + std::string(p.view()) + ">";
        return s;
    };
    EXPECT_EQ(join(splitByRex("a ; b;c", sep)), "<a><b><c>");
    EXPECT_EQ(join(splitByRex(";a", sep)), "<a>");
    EXPECT_EQ(join(splitByRex("a;", sep)), "<a><>");
    EXPECT_EQ(join(splitByRex("a;;b", sep)), "<a><><b>");
    EXPECT_EQ(join(splitByRex("", sep)), "");
}

TEST(Searcher, LiteralsListAndNodeSearchers) {
    LRexSearcher s;
    EXPECT_EQ(s.search("abc"), -1);  // no pattern
    s.setLiterals({LStr("b.c"), LStr("zz")});
    EXPECT_EQ(s.search("abcb.c"), 3);
    LRexPtr node = compileRex("c+");
    LRexSearcher borrowed(node.get());
    EXPECT_EQ(borrowed.search("abccc"), 2);
    EXPECT_EQ(borrowed.matchLen(), 3);
}

// Start-byte tables of a few patterns at offset 0, as sorted byte strings.
std::string tableBytes(const char* pattern, uint32_t flags = 0, int k = 0) {
    LRexPtr root = compileRex(pattern, flags);
    LRexStartTable t = buildStartByteTable(*root, k);
    if (allowsAllBytes(t)) return "*";
    std::string s;
    for (int b = 0; b < 256; ++b)
        if (t[b]) s += char(b);
    return s;
}

TEST(StartBytes, Tables) {
    CaptureSink sink;
    EXPECT_EQ(tableBytes("abc"), "a");
    EXPECT_EQ(tableBytes("abc", RexIgnoreCase), "Aa");
    EXPECT_EQ(tableBytes("abc", 0, 1), "b");
    EXPECT_EQ(tableBytes("ab", 0, 2), "*");
    EXPECT_EQ(tableBytes("[a-c]x"), "abc");
    EXPECT_EQ(tableBytes("a*b"), "ab");
    EXPECT_EQ(tableBytes("(?=x)y"), "y");
    EXPECT_EQ(tableBytes("\\d"), "*");
    EXPECT_EQ(tableBytes("abc|de"), "ad");
    EXPECT_EQ(tableBytes("\\n"), "\r");
    EXPECT_EQ(tableBytes("[\\n]"), "\n\r");  // a class reads CR LF as LF
    EXPECT_EQ(tableBytes("\x82\xA0|\x83\x41"), "\x82\x83");
    EXPECT_EQ(tableBytes("\x82\xA0", 0, 1), "\xA0");
    EXPECT_EQ(tableBytes("\x82\xA0", RexIgnoreCase), "*");
    EXPECT_EQ(tableBytes("abc", RexIgnoreWidth), "*");
    EXPECT_EQ(tableBytes("[a-z]"), "abcdefghijklmnopqrstuvwxyz");  // 36 bytes would be too many
    EXPECT_EQ(tableBytes("[a-z0-9]"), "*");
    EXPECT_EQ(tableBytes("x{0}|y"), "*");  // may match empty
    EXPECT_EQ(tableBytes("{@ign(-)}ab"), "-a");
}

// The first match found by trying the root at every character start, with
// none of the searcher's skipping.
std::string scanWithoutPrefilter(const char* pattern, const std::string& text) {
    LRexPtr root = compileRex(pattern);
    LRexHitList hits;
    LRexCursor c;
    c.start = text.data();
    c.end = text.data() + text.size();
    c.hits = &hits;
    for (size_t pos = 0; pos <= text.size(); ++pos) {
        root->reset();
        c.cur = text.data() + pos;
        if (root->ignore()) root->skipIgnorable(c, false);
        const char* top = c.cur;
        if (root->next(c, false))
            return std::to_string(top - text.data()) + ":" + std::string(top, c.cur - top);
        if (pos + 1 < text.size() && isLeadByte(text[pos])) ++pos;
    }
    return "none";
}

// The prefilter must never change a result: every pattern gives the same
// match on a long text through a searcher that built its tables and
// through one that never did.
TEST(StartBytes, PrefilterNeverChangesAResult) {
    CaptureSink sink;
    const char* patterns[] = {
        "abc",          "[\\n]",    "\\n",
        "a*b",          "x{0}|q",   "(?=x)y",
        "[a-c]x",       "ab|cd",    "a(?:{@ign(-)}bc)",
        "{@ign(-)}abc", "\x82\xA0", "(?<=a)b",
        "b\\b",         "{@ic}abc", "[\x82\x9F-\x82\xF1]x",
    };
    std::string filler;
    for (int i = 0; i < 30; ++i) filler += "zz\x82\x61 ";
    const char* tails[] = {"xa-bc", "q\r\nr", "ABC", "zzy", "ab-bcd", "\x82\xA0x", "ab", "cx"};
    for (const char* p : patterns) {
        for (const char* tail : tails) {
            std::string text = filler + tail + filler;
            ASSERT_GE(text.size(), 101u);
            LRexSearcher fresh(p);
            int32_t a = fresh.search(text);
            std::string ra = describeMatch(fresh, text, a);
            EXPECT_TRUE(fresh.tablesBuilt());
            EXPECT_EQ(ra, scanWithoutPrefilter(p, text)) << "pattern " << p << " tail " << tail;
        }
    }
}

TEST(Searcher, StopFlagEndsAPathologicalSearch) {
    CaptureSink sink;
    std::string text(5000, 'a');
    LRexSearcher s("(a*)*b");
    std::atomic<int> stop{0};
    s.setStopFlag(&stop);
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop = 1;
    });
    auto t0 = std::chrono::steady_clock::now();
    int32_t at = s.search(text);
    auto elapsed = std::chrono::steady_clock::now() - t0;
    stopper.join();
    EXPECT_EQ(at, -1);
    EXPECT_EQ(s.matchTop(), nullptr);
    EXPECT_TRUE(s.stopped());
    EXPECT_LT(elapsed, std::chrono::seconds(2));

    volatile int plain = 1;  // a plain int flag works too, and a set flag stops at once
    LRexSearcher t("(a*)*b");
    t.setStopFlag(&plain);
    EXPECT_EQ(t.search(text), -1);
    EXPECT_TRUE(t.stopped());
}

}  // namespace
