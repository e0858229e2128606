// The fuzzy matcher plugged into the record tester: compiled strings that
// stay fuzzy, strings too short or without valid characters that fall back
// to a normal search, and whole-field matching field by field.
#include "search/fuzzy_record_matcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/capture_sink.h"
#include "pattern/parser.h"
#include "search/fuzzy_test_util.h"
#include "search/search_string.h"

namespace {

using fuzzytest::Found;

// A compiled fuzzy string with its tester over tab fields and line records.
class FuzzyTester {
public:
    FuzzyTester(std::string_view text, bool field, int minRate = 75) {
        settings_.type = SearchType::Fuzzy;
        settings_.fieldMatch = field;
        settings_.minRate = minRate;
        str_ = compileSearchString(text, settings_, nullptr, 0).str;
        tester_ =
            std::make_unique<RecordTester>(settings_, *str_, fieldSep_.get(), recordSep_.get());
        tester_->setFuzzyMatcher(makeFuzzyRecordMatcher(settings_, *str_));
    }
    bool fuzzy() const { return str_->fuzzyInForce(settings_); }
    bool matches(std::string_view record) { return tester_->matches(record); }
    std::vector<Found> hits(std::string_view record) {
        HitList hits;
        tester_->collect(record, hits);
        return fuzzytest::found(hits);
    }

private:
    SearchKeys settings_;
    LRexPtr fieldSep_ = compileRex("\t");
    LRexPtr recordSep_ = compileRex("[\x0A\x0D]+");
    std::unique_ptr<TSchStr> str_;
    std::unique_ptr<RecordTester> tester_;
};

}  // namespace

TEST(FuzzyRecordMatcher, ShortOrSymbolOnlyStringsAreSearchedAsNormalOnes) {
    struct Case {
        const char* search;
        bool field;
        const char* record;
        bool matches;
    } cases[] = {
        {"abc", false, "xxABCxx", true},  // three characters: a normal search
        {"abc", false, "xxABDxx", false},
        {"a", true, "x\ta\ty", true},  // one character has no gram at all
        {"a", true, "x\tab\ty", false},
        {"!?#&", false, "x!?#&y", true},  // only symbols: nothing to regularise
        {"!?#&", false, "x!?#y", false},
    };
    for (const Case& c : cases) {
        CaptureSink quiet;
        FuzzyTester t(c.search, c.field);
        EXPECT_FALSE(t.fuzzy()) << c.search;
        EXPECT_EQ(t.matches(c.record), c.matches) << c.search << " in " << c.record;
    }
}

// Whole fields need no minimum length: "abc" stays fuzzy there.
TEST(FuzzyRecordMatcher, TestsAndCollectsRecordsOrEachFieldWhole) {
    struct Case {
        const char* search;
        bool field;
        const char* record;
        std::vector<Found> expected;
    } cases[] = {
        {"matching", false, "a MATCHNG record\n", {{2, 7, 87, "=MATCH -i =NG"}}},
        {"matching", false, "nothing alike\n", {}},
        {"abc", true, "abd\tabc\n", {{4, 3, 100, "=abc"}}},
        {"abc", true, "xyz\tabcx\n", {{4, 4, 75, "=abc +x"}}},
        {"abc", true, "abc\tabc\n", {{0, 3, 100, "=abc"}, {4, 3, 100, "=abc"}}},
    };
    for (const Case& c : cases) {
        FuzzyTester t(c.search, c.field);
        ASSERT_TRUE(t.fuzzy()) << c.search;
        EXPECT_EQ(t.matches(c.record), !c.expected.empty()) << c.record;
        EXPECT_EQ(t.hits(c.record), c.expected) << c.record;
    }
}
