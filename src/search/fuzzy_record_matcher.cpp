// Adapts FuzzyMatcher to the record tester: one matcher per search string,
// reused for every record and field of the run.
#include "search/fuzzy_record_matcher.h"

#include "search/fuzzy_match.h"
#include "search/search_string.h"

namespace {

class RunFuzzyMatcher final : public FuzzyRecordMatcher {
public:
    RunFuzzyMatcher(const SearchKeys& keys, const TSchStr& str)
        : matcher_(str.schStr.view(), fuzzyOptionsOf(keys, str)) {}

    bool matches(std::string_view text) override { return matcher_.matches(text); }
    void collect(std::string_view text, HitList& hits) override { matcher_.collect(text, hits); }
    std::vector<LStr> requiredBytes() const override { return matcher_.requiredBytes(); }

private:
    FuzzyMatcher matcher_;
};

}  // namespace

std::unique_ptr<FuzzyRecordMatcher> makeFuzzyRecordMatcher(const SearchKeys& keys,
                                                           const TSchStr& str) {
    return std::make_unique<RunFuzzyMatcher>(keys, str);
}
