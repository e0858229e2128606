// The fuzzy matcher plugged into the record tester: strings too short or
// without valid characters fall back to a normal search; whole fields are
// matched field by field and need no minimum length.
#include "search/fuzzy_record_matcher.h"

#include <gtest/gtest.h>

#include "common/capture_sink.h"
#include "search/search_test_util.h"

using searchtest::Found;

TEST(FuzzyRecordMatcher, TestsAndCollectsRecordsOrEachFieldWhole) {
    CaptureSink quiet;
    struct Case {
        const char* search;
        bool field;
        const char* record;
        bool fuzzy;
        std::vector<Found> expected;
    } cases[] = {
        {"matching", false, "a MATCHNG record\n", true, {{2, 7, 87, "=MATCH -i =NG"}}},
        {"matching", false, "nothing alike\n", true, {}},
        {"abc", true, "abd\tabc\n", true, {{4, 3, 100, "=abc"}}},
        {"abc", true, "xyz\tabcx\n", true, {{4, 4, 75, "=abc +x"}}},
        {"abc", true, "abc\tabc\n", true, {{0, 3, 100, "=abc"}, {4, 3, 100, "=abc"}}},
        // Three characters are too few outside fields: a normal search.
        {"abc", false, "xxABCxx", false, {{2, 3, 100, ""}}},
        {"abc", false, "xxABDxx", false, {}},
        {"a", true, "x\ta\ty", false, {{2, 1, 100, ""}}},  // one character has no gram
        {"a", true, "x\tab\ty", false, {}},
        {"!?#&", false, "x!?#&y", false, {{1, 4, 100, ""}}},  // nothing to regularise
        {"!?#&", false, "x!?#y", false, {}},
    };
    for (const Case& c : cases) {
        searchtest::Tester t(c.search, {.type = SearchType::Fuzzy, .fieldMatch = c.field});
        EXPECT_EQ(t.fuzzy(), c.fuzzy) << c.search;
        EXPECT_EQ(t.matches(c.record), !c.expected.empty()) << c.search << " in " << c.record;
        EXPECT_EQ(t.hits(c.record), c.expected) << c.search << " in " << c.record;
    }
}
