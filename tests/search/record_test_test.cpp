// Record tests, whole-field matching, hit collection and the search area.
#include "search/record_test.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/capture_sink.h"
#include "pattern/parser.h"
#include "search/search_string.h"
#include "support/stop_flag.h"

namespace {

constexpr SearchType kNormal = SearchType::Normal;
constexpr SearchType kRegex = SearchType::Regex;
constexpr SearchType kFuzzy = SearchType::Fuzzy;

struct Options {
    SearchType type = kNormal;
    bool icase = true;
    bool width = false;
    bool stem = false;
    bool words = false;
    bool field = false;
};

// One compiled string with its tester, over tab fields and line records.
class Fixture {
public:
    Fixture(std::string_view text, const Options& o) {
        settings_.type = o.type;
        settings_.ignoreCase = o.icase;
        settings_.ignoreWidth = o.width;
        settings_.stem = o.stem;
        settings_.words = o.words;
        settings_.fieldMatch = o.field;
        str_ = compileSearchString(text, settings_, nullptr, 0).str;
        tester_ =
            std::make_unique<RecordTester>(settings_, *str_, fieldSep_.get(), recordSep_.get());
    }
    RecordTester& tester() { return *tester_; }
    std::vector<std::pair<int, int>> spans(std::string_view text) {
        HitList hits;
        tester_->collect(text, hits);
        std::vector<std::pair<int, int>> out;
        for (const Hit& h : hits) {
            EXPECT_EQ(h.rate, 100);
            out.emplace_back(h.offset, h.length);
        }
        return out;
    }

private:
    SearchKeys settings_;
    LRexPtr fieldSep_ = compileRex("\t");
    LRexPtr recordSep_ = compileRex("[\x0A\x0D]+");
    std::unique_ptr<TSchStr> str_;
    std::unique_ptr<RecordTester> tester_;
};

using Spans = std::vector<std::pair<int, int>>;

}  // namespace

// Record tests by type and options, in whole records and whole fields.
TEST(RecordTest, MatchesByTypeAndOptions) {
    CaptureSink quiet;  // the empty stem form reports itself
    struct Case {
        const char* search;
        Options options;
        const char* text;
        bool expected;
    } cases[] = {
        {"abc", {}, "xxABCxx", true},
        {"abc", {.icase = false}, "xxABCxx", false},
        {"abc", {.width = true}, "x\x82\x81\x82\x82\x82\x83x", true},  // ａｂｃ
        {"abc", {}, "x\x82\x81\x82\x82\x82\x83x", false},
        {"\x82\x81", {.width = true}, "xAx", true},  // ａ folds to A with ignore case
        {"cat", {.words = true}, "cats", false},
        {"cat", {.words = true}, "a cat.", true},
        // "a" is the trail byte of 0x82 0x61 only: no match inside a character.
        {"a", {}, "\x82\x61", false},
        // Stemming: words compare by their stems, and only as whole words.
        {"run", {.stem = true}, "he runs fast", true},
        {"running", {.stem = true}, "Running!", true},
        {"running", {.icase = false, .stem = true}, "Running!", false},
        {"run", {.stem = true}, "rerun it", false},
        {"run", {.stem = true}, "running", false},
        {"big data", {.stem = true}, "big-data", true},
        {"processing", {.stem = true}, "processes", true},
        {"!?", {.stem = true}, "!?", false},  // empty stem form never matches
        // Regular expressions match anywhere.
        {"^abc", {.type = kRegex}, "xabc", false},
        {"\\W+", {.type = kRegex}, "ab", false},
        // A fuzzy string too short for fuzzy matching is searched as a normal one.
        {"abc", {.type = kFuzzy}, "xxabcxx", true},
        {"abc", {.type = kFuzzy}, "xxabxx", false},
        // A first byte that is only a second byte in the text: 塔 (0x93 0x83)
        // across ン (0x83 0x93) and ア (0x83 0x41); "S" inside サ (0x83 0x53).
        {"\x93\x83", {.icase = false}, "\x83\x93\x83\x41", false},
        {"\x93\x83", {.icase = false}, "\x83\x93\x83\x41\x93\x83", true},
        {"Sun", {.icase = false}, "\x83\x53un", false},
        {"Sun", {.icase = false}, "\x83\x53un Sun", true},
        {"sun", {}, "\x83\x53un SUN", true},
        {"sun", {.width = true}, "\x83\x53un \x82\x72\x82\x95\x82\x8e", true},  // Ｓｕｎ
        {"sun", {.width = true}, "\x83\x53\x82\x95\x82\x8e", false},
        // Whole fields.
        {"abc", {.field = true}, "x\tabc\ty\r\n", true},
        {"abc", {.field = true}, "x\tabcd\ty\r\n", false},
        {"abc", {.field = true}, "x\txabc\ty\r\n", false},
        {"abc", {.field = true}, "abc\tx\r\n", true},
        {"abc", {.field = true}, "x\ty\tabc\r\n", true},  // ends at the record separator
        {"abc", {.field = true}, "x\ty\tabc", true},
        {"a.c", {.type = kRegex, .field = true}, "x\tabc\ty", true},
        {"runs", {.stem = true, .field = true}, "x\trunning\tRun\r\n", true},
        {"runs", {.stem = true, .field = true}, "x\trun now\r\n", false},
        {"abcd", {.type = kFuzzy, .field = true}, "x\tabcd\ty", true},  // fuzzy not yet plugged in
        // The text after the record's separator is no empty field.
        {"a*", {.type = kRegex, .field = true}, "b\r\n", false},
        {"a*", {.type = kRegex, .field = true}, "b\t\r\n", true},
    };
    // Also behind words long enough for the searcher's start tables.
    std::string padding;
    for (int i = 0; i < 75; ++i) padding += "x ";
    for (const Case& c : cases) {
        Fixture f(c.search, c.options);
        EXPECT_EQ(f.tester().matches(c.text), c.expected) << c.search << " in " << c.text;
        if (c.options.field || c.options.type == kRegex) continue;
        EXPECT_EQ(f.tester().matches(padding + c.text), c.expected) << c.search << " after x";
    }
}

TEST(RecordTest, CollectsHitSpans) {
    struct Case {
        const char* search;
        Options options;
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
        {"abc", {.field = true}, "x\tabc\tabcd\tabc\r\n", {{2, 3}, {11, 3}}},
        {"a*", {.type = kRegex, .field = true}, "aa\t\tb\r\n", {{0, 2}, {3, 0}}},
    };
    for (const Case& c : cases) {
        Fixture f(c.search, c.options);
        EXPECT_EQ(f.spans(c.text), c.expected) << c.search << " in " << c.text;
    }
}

TEST(RecordTest, EmptySeparatorMatchesDoNotHang) {
    SearchKeys settings;
    settings.fieldMatch = true;
    auto str = compileSearchString("b", settings, nullptr, 0).str;
    LRexPtr emptyOrComma = compileRex(",?");
    RecordTester tester(settings, *str, emptyOrComma.get(), nullptr);
    EXPECT_TRUE(tester.matches("a,b"));
    EXPECT_FALSE(tester.matches("ab"));
}

TEST(RecordTest, StopFlagEndsTheTest) {
    Fixture literal("abc", {});
    Fixture stem("abc", {.stem = true});
    stopFlag().store(1);
    EXPECT_FALSE(literal.tester().matches("xabc"));
    EXPECT_FALSE(stem.tester().matches("abc"));
    stopFlag().store(0);
    EXPECT_TRUE(literal.tester().matches("xabc"));
}

TEST(SplitArea, CutsTheGroup) {
    struct Case {
        const char* pattern;
        const char* record;
        const char* prefix;
        const char* area;
        const char* suffix;
    } cases[] = {
        {"^[^\t]*\t([^\t\r\n]*)", "a\tbb\tc\r\n", "a\t", "bb", "\tc\r\n"},
        {"^[^\t]*\t([^\t\r\n]*)", "no tab\r\n", "", "", ""},  // no match: empty area
        {"(x)?y", "zy", "", "", ""},                          // group took no part
        {"\x81\x79(.*)\x81\x7A", "\x93\xFA\x81\x79\x96\x7B\x81\x7A!", "\x93\xFA\x81\x79",
         "\x96\x7B", "\x81\x7A!"},
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

TEST(SplitArea, TwoGroupsAreAnError) {
    CaptureSink sink;
    LRexPtr area = compileRex("(a)(b)");
    LStr record("xab"), prefix, suffix;
    EXPECT_EQ(splitArea(*area, "(a)(b)", record, prefix, suffix), 1);
    ASSERT_EQ(sink.messages().size(), 1u);
    // The message names the pattern and its group count.
    EXPECT_NE(sink.messages()[0].text.find("(a)(b)\x81\x76\x82\xC9\x82\xCD 2 "), std::string::npos);
}
