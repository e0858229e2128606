// The searcher: ranges and modes, counting, the start-byte prefilter (which
// must never change a result) and the stop flag.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "../common/capture_sink.h"
#include "../common/time_factor.h"
#include "base/ctype_table.h"
#include "rex_test_util.h"

namespace {

TEST(Searcher, RangesAndModes) {
    // Long enough for the start-byte tables; the leading literal is found by
    // a scan that must still honour the range.
    const std::string longText = "xxabc" + std::string(200, 'y') + "abc";
    const std::tuple<const char*, std::string, SearchRange, const char*> cases[] = {
        {"a", "banana", {}, "1:a"},
        {"a", "banana", {.nth = 2}, "3:a"},
        {"a", "banana", {.nth = 4}, "none"},
        {"na|a", "banana", {.mode = SearchMode::Furthest}, "4:na"},
        {"na|a", "banana", {.mode = SearchMode::Last}, "5:a"},
        {"na|a", "xyz", {.mode = SearchMode::Last}, "none"},
        {"a", "aaaa", {.from = 1, .lastStart = 2}, "1:a"},
        {"a", "xxaa", {.lastStart = 1}, "none"},
        {"c", "abc", {.end = 2}, "none"},
        {"$", "abc", {.end = 2}, "2:"},
        {"^b", "ab", {.from = 1}, "none"},  // "^" is the text start, not the first start
        {"abc", longText, SearchRange::at(0), "none"},
        {"abc", longText, SearchRange::at(2), "2:abc"},
        {"abc", longText, SearchRange::at(205), "205:abc"},
        {"abc", longText, {.lastStart = 204}, "2:abc"},
        {"abc", longText, {.from = 3}, "205:abc"},
        {"abc", longText, {.from = 205, .lastStart = 205, .end = 207}, "none"},
    };
    for (const auto& [pattern, text, range, expected] : cases) {
        LRexSearcher s(pattern);
        EXPECT_EQ(describeMatch(s, text, s.search(text, range)), expected)
            << pattern << " on " << text.substr(0, 20) << " from " << range.from << " last "
            << range.lastStart << " end " << range.end;
    }
}

TEST(Searcher, CapturesBelongToTheRecordedMatch) {
    LRexSearcher s("(a)(b)?");
    ASSERT_EQ(s.search("xaab", {.mode = SearchMode::Last}), 2);
    ASSERT_EQ(s.hits().size(), 2u);
    EXPECT_EQ(std::string(s.hits()[0].text, s.hits()[0].len), "a");
    EXPECT_EQ(std::string(s.hits()[1].text, s.hits()[1].len), "b");
}

TEST(Searcher, CountMatches) {
    const std::tuple<const char*, const char*, bool, int32_t> cases[] = {
        // pattern, text, overlapping, count
        {"aa", "aaaa", false, 2},
        {"aa", "aaaa", true, 3},
        {"^a", "aaa", false, 3},  // each rest is a whole text
        {"x*", "ab", false, 2},
        {"x*", "", false, 0},
        {"x*", "\x82\xA0\x82\xA0", false, 2},  // empty matches step whole characters
        {"\x82\xA0", "\x82\xA0\x82\xA0\x82\xA0", true, 3},
    };
    for (const auto& [pattern, text, overlapping, count] : cases)
        EXPECT_EQ(countMatches(text, compileRex(pattern).get(), overlapping), count) << pattern;
}

// Words of text between blanks.
std::vector<std::string> splitWords(std::string_view text) {
    std::vector<std::string> words;
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = std::min(text.find(' ', at), text.size());
        words.emplace_back(text.substr(at, end - at));
    }
    return words;
}

// The first match found by trying the root at every character start, with
// none of the searcher's skipping.
std::string scanWithoutPrefilter(const std::string& pattern, const std::string& text) {
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

// The prefilter must never change a result: on a text long enough for the
// start-byte tables, every pattern finds what a plain scan finds.
TEST(StartBytes, PrefilterNeverChangesAResult) {
    CaptureSink sink;
    // Trail bytes of the filler equal "a"; of the tail "\x83\x5C", a backslash.
    const std::vector<std::string> patterns = splitWords(
        "abc [\\n] \\n a*b x{0}|q (?=x)y [a-c]x ab|cd a(?:{@ign(-)}bc) {@ign(-)}abc \x82\xA0 "
        "(?<=a)b b\\b {@ic}abc {@ic}a \\\\ [\x82\x9F-\x82\xF1]x [a-z]q \\dx {@iz}abc "
        "\x82\xA0|\x83\x41");
    std::string filler;
    for (int i = 0; i < 30; ++i) filler += "zz\x82\x61 ";
    const std::vector<std::string> tails = splitWords(
        "xa-bc q\r\nr ABC zzy ab-bcd \x82\xA0x ab cx \x82\x81\x82\x82\x82\x83 7x \x83\x41 "
        "\x83\x5C\x83\x5C\\");
    for (const std::string& p : patterns) {
        for (const std::string& tail : tails) {
            std::string text = filler + tail + filler;
            LRexSearcher fresh(p);
            std::string got = describeMatch(fresh, text, fresh.search(text));
            EXPECT_TRUE(fresh.tablesBuilt());
            EXPECT_EQ(got, scanWithoutPrefilter(p, text)) << "pattern " << p << " tail " << tail;
        }
    }
}

// The one bounded-time check: a stop request from another thread ends a
// pathological search.
TEST(Searcher, StopFlagEndsAPathologicalSearch) {
    CaptureSink sink;
    std::string text(5000, 'a');
    LRexSearcher s("(a|aa)*\\1b");  // a back reference leaves the matcher no memo
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
    EXPECT_LT(elapsed, std::chrono::seconds(2 * kTimeFactor));
}

}  // namespace
