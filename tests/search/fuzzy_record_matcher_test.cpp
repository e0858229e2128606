// The fuzzy matcher plugged into the record tester: strings too short or
// without valid characters fall back to a normal search; whole fields are
// matched field by field and need no minimum length.
#include "search/fuzzy_record_matcher.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "search/search_test_util.h"

namespace {

using searchtest::Found;
using searchtest::Tester;

SearchKeys fuzzyKeys(bool field) {
    return {.type = SearchType::Fuzzy, .fieldMatch = field};
}

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
        Tester t(c.search, fuzzyKeys(c.field));
        EXPECT_FALSE(t.fuzzy()) << c.search;
        EXPECT_EQ(t.matches(c.record), c.matches) << c.search << " in " << c.record;
    }
}

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
        Tester t(c.search, fuzzyKeys(c.field));
        ASSERT_TRUE(t.fuzzy()) << c.search;
        EXPECT_EQ(t.matches(c.record), !c.expected.empty()) << c.record;
        EXPECT_EQ(t.hits(c.record), c.expected) << c.record;
    }
}

}  // namespace
