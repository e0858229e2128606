// The fuzzy matcher plugged into the record tester: compiled strings that
// stay fuzzy, strings too short or without valid characters that fall back
// to a normal search, whole-field matching field by field, and a run whose
// result line shows the pieces and the rate.
#include "search/fuzzy_record_matcher.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "common/capture_sink.h"
#include "common/temp_dir.h"
#include "config/app_settings.h"
#include "e2e/search_fixture.h"
#include "pattern/parser.h"
#include "search/fuzzy_test_util.h"
#include "search/search_request.h"
#include "search/search_string.h"
#include "search/worker.h"
#include "support/message_service.h"
#include "support/stop_flag.h"

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

TEST(FuzzyRecordMatcher, TestsAndCollectsThroughTheRecordTester) {
    FuzzyTester t("matching", false);
    ASSERT_TRUE(t.fuzzy());
    EXPECT_TRUE(t.matches("a MATCHNG record\n"));
    EXPECT_FALSE(t.matches("nothing alike\n"));
    EXPECT_EQ(t.hits("a MATCHNG record\n"), (std::vector<Found>{{2, 7, 87, "=MATCH -i =NG"}}));
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
        FuzzyTester t(c.search, c.field);
        EXPECT_FALSE(t.fuzzy()) << c.search;
        EXPECT_EQ(t.matches(c.record), c.matches) << c.search << " in " << c.record;
    }
}

TEST(FuzzyRecordMatcher, WholeFieldMatchingRatesEachFieldWhole) {
    FuzzyTester t("abc", true);  // stays fuzzy: whole fields need no minimum length
    ASSERT_TRUE(t.fuzzy());
    struct Case {
        const char* record;
        std::vector<Found> expected;
    } cases[] = {
        {"abd\tabc\n", {{4, 3, 100, "=abc"}}},
        {"xyz\tabcx\n", {{4, 4, 75, "=abc +x"}}},
        {"abc\tabc\n", {{0, 3, 100, "=abc"}, {4, 3, 100, "=abc"}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(t.matches(c.record), !c.expected.empty()) << c.record;
        EXPECT_EQ(t.hits(c.record), c.expected) << c.record;
    }
}

namespace {

class TextSink : public LMsg {
public:
    void output(int number, const char*, const char*, std::string_view text) override {
        std::lock_guard lock(lock_);
        if (number == 0) text_.append(text);
    }
    std::string text() {
        std::lock_guard lock(lock_);
        return text_;
    }

private:
    std::mutex lock_;
    std::string text_;
};

}  // namespace

TEST(FuzzyRun, ResultLineShowsPiecesAndRate) {
    TempDir dir;
    dir.write("f.txt", "so matchng.\nunrelated\n");
    AppSettings settings;
    settings.schType = AppSettings::kFuzzySearch;
    settings.schStr = "matching";
    settings.schDir = LStr(dir.path());
    settings.schFile = "*.txt";
    TempDir indexFolder;  // a fuzzy search always builds the index
    settings.ixfDir = LStr(indexFolder.path());
    stopFlag() = 0;
    auto sink = std::make_unique<TextSink>();
    TextSink& out = *sink;
    auto previous = installMessageSink(std::move(sink));
    {
        const SearchRequest request = makeSearchRequest(settings);
        TWorker worker(request);
        SearchStringResult compiled =
            compileSearchString(request.searchString.view(), request.keys, nullptr, 0);
        worker.addSearchString(std::move(compiled.str), compiled.fuzzyFallback);
        worker.run();
    }
    auto ours = installMessageSink(std::move(previous));  // keeps out alive
    using e2e::marker;
    const std::string body =
        "so " + marker(3) + "match" + marker(5) + "i" + marker(0) + "ng" + marker(0) + ".\n";
    const std::string line = e2e::resultLine("f.txt(1)", body, ": 87%: ");
    EXPECT_NE(out.text().find(line), std::string::npos)
        << "fuzzy result line missing; each search string's RecordTester needs "
           "setFuzzyMatcher(makeFuzzyRecordMatcher(settings, str)). Output:\n"
        << out.text();
}
