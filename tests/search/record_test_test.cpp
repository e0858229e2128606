// Record tests, whole-field matching, hit collection and the search area.
#include "search/record_test.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "common/system_charset.h"
#include "search/search_test_util.h"
#include "support/stop_flag.h"

using searchtest::Tester;
using Spans = std::vector<std::pair<int, int>>;
constexpr SearchType kRegex = SearchType::Regex;

TEST(RecordTest, MatchesByTypeAndOptions) {
    CaptureSink quiet;  // the empty stem form reports itself
    struct Case {
        const char* search;
        SearchKeys keys;
        const char* text;
        bool expected;
    } cases[] = {
        {"abc", {}, "xxABCxx", true},
        {"abc", {.ignoreCase = false}, "xxABCxx", false},
        {"abc", {.ignoreWidth = true}, "x\x82\x81\x82\x82\x82\x83x", true},  // ａｂｃ
        {"\x82\x81", {.ignoreWidth = true}, "xAx", true},  // ａ folds to A with ignore case
        {"cat", {.words = true}, "cats", false},
        {"cat", {.words = true}, "a cat.", true},
        {"a", {}, "\x82\x61", false},  // "a" only as a trail byte
        // Stemming: words compare by their stems, and only as whole words.
        {"run", {.stem = true}, "he runs fast", true},
        {"running", {.stem = true}, "Running!", true},
        {"run", {.stem = true}, "rerun it", false},
        {"run", {.stem = true}, "running", false},
        {"processing", {.stem = true}, "processes", true},
        {"!?", {.stem = true}, "!?", false},  // empty stem form never matches
        {"^abc", {.type = kRegex}, "xabc", false},
        {"\\W+", {.type = kRegex}, "ab", false},
        // First bytes that are only second bytes in the text: 塔 (93 83) across
        // ン (83 93) and ア (83 41); "S" inside サ (83 53).
        {"\x93\x83", {.ignoreCase = false}, "\x83\x93\x83\x41", false},
        {"\x93\x83", {.ignoreCase = false}, "\x83\x93\x83\x41\x93\x83", true},
        {"Sun", {.ignoreCase = false}, "\x83\x53un", false},
        {"Sun", {.ignoreCase = false}, "\x83\x53un Sun", true},
        {"sun", {.ignoreWidth = true}, "\x83\x53un \x82\x72\x82\x95\x82\x8e", true},  // Ｓｕｎ
        {"sun", {.ignoreWidth = true}, "\x83\x53\x82\x95\x82\x8e", false},
        // Whole fields; the last one ends at the record separator.
        {"abc", {.fieldMatch = true}, "x\tabc\ty\r\n", true},
        {"abc", {.fieldMatch = true}, "x\tabcd\ty\r\n", false},
        {"abc", {.fieldMatch = true}, "x\txabc\ty\r\n", false},
        {"abc", {.fieldMatch = true}, "abc\tx\r\n", true},
        {"abc", {.fieldMatch = true}, "x\ty\tabc\r\n", true},
        {"abc", {.fieldMatch = true}, "x\ty\tabc", true},
        {"a.c", {.type = kRegex, .fieldMatch = true}, "x\tabc\ty", true},
        {"runs", {.stem = true, .fieldMatch = true}, "x\trunning\tRun\r\n", true},
        {"runs", {.stem = true, .fieldMatch = true}, "x\trun now\r\n", false},
        // The text after the record's separator is no empty field.
        {"a*", {.type = kRegex, .fieldMatch = true}, "b\r\n", false},
        {"a*", {.type = kRegex, .fieldMatch = true}, "b\t\r\n", true},
    };
    // Also behind words long enough for the searcher's start tables.
    std::string padding;
    for (int i = 0; i < 75; ++i) padding += "x ";
    for (const Case& c : cases) {
        Tester t(c.search, c.keys);
        EXPECT_EQ(t.matches(c.text), c.expected) << c.search << " in " << c.text;
        if (c.keys.fieldMatch || c.keys.regex()) continue;
        EXPECT_EQ(t.matches(padding + c.text), c.expected) << c.search << " after x";
    }
}

// A line scan may stand in for the record test only where no match can
// take a line end.
TEST(RecordTest, LineScanOnlyForMatchesWithinALine) {
    const std::pair<const char*, bool> cases[] = {
        {"[0-9]{4}-[0-9]{2}", true}, {"(a|b)+c", true},       {"a[^b]", false}, {"a.", false},
        {"a[\\x0D]", false},         {"(a|[\\x0A])b", false},
    };
    for (const auto& [pattern, scanned] : cases) {
        Tester tester(pattern, {.type = kRegex});
        EXPECT_EQ(tester.lineScan() != nullptr, scanned) << pattern;
    }
}

TEST(RecordTest, CollectsHitSpans) {
    struct Case {
        const char* search;
        SearchKeys keys;
        const char* text;
        Spans expected;
    } cases[] = {
        {"aa", {}, "aaaaa", {{0, 2}, {2, 2}}},
        {"\x93\xFA", {}, "\x93\xFA\x93\xFA", {{0, 2}, {2, 2}}},
        {"a+", {.type = kRegex}, "aab a", {{0, 2}, {4, 1}}},
        // Empty matches still move the collection on, one character at a time.
        {"x*", {.type = kRegex}, "a\x93\xFA", {{0, 0}, {1, 0}, {3, 0}}},
        {"a*", {.type = kRegex}, "aab", {{0, 2}, {2, 0}, {3, 0}}},
        {"run", {.stem = true}, "run, runs; Running rerun", {{0, 3}, {5, 4}}},
        {"big data", {.stem = true}, "big data and big-data", {{0, 8}, {13, 8}}},
        // Whole fields: hits are offsets in the whole text.
        {"abc", {.fieldMatch = true}, "x\tabc\tabcd\tabc\r\n", {{2, 3}, {11, 3}}},
        {"a*", {.type = kRegex, .fieldMatch = true}, "aa\t\tb\r\n", {{0, 2}, {3, 0}}},
    };
    for (const Case& c : cases) {
        Spans spans;
        for (const auto& h : Tester(c.search, c.keys).hits(c.text)) {
            EXPECT_EQ(h.rate, 100);
            spans.emplace_back(h.offset, h.length);
        }
        EXPECT_EQ(spans, c.expected) << c.search << " in " << c.text;
    }
}

TEST(RecordTest, EmptySeparatorMatchesDoNotHang) {
    SearchKeys keys{.fieldMatch = true};
    auto str = compileSearchString("b", keys, nullptr, 0).str;
    LRexPtr emptyOrComma = compileRex(",?");
    RecordTester tester(keys, *str, emptyOrComma.get(), nullptr);
    EXPECT_TRUE(tester.matches("a,b"));
    EXPECT_FALSE(tester.matches("ab"));
}

TEST(RecordTest, StopFlagEndsTheTest) {
    Tester literal("abc", {}), stem("abc", {.stem = true});
    stopFlag().store(1);
    EXPECT_FALSE(literal.matches("xabc"));
    EXPECT_FALSE(stem.matches("abc"));
    stopFlag().store(0);
    EXPECT_TRUE(literal.matches("xabc"));
}

TEST(SplitArea, CutsTheGroup) {
    struct Case {
        std::string pattern, record, prefix, area, suffix;
    } cases[] = {
        {"^[^\t]*\t([^\t\r\n]*)", "a\tbb\tc\r\n", "a\t", "bb", "\tc\r\n"},
        {"^[^\t]*\t([^\t\r\n]*)", "no tab\r\n", "", "", ""},  // no match: empty area
        {"(x)?y", "zy", "", "", ""},                          // group took no part
        {sj("【(.*)】"), sj("日【本】!"), sj("日【"), sj("本"), sj("】!")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        LRexPtr area = compileRex(c.pattern);
        LStr record(c.record), prefix, suffix;
        EXPECT_EQ(splitArea(*area, c.pattern, record, prefix, suffix), 0);
        EXPECT_EQ(prefix.view(), c.prefix);
        EXPECT_EQ(record.view(), c.area);
        EXPECT_EQ(suffix.view(), c.suffix);
    }
}
