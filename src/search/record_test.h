// Testing records against one compiled search string and collecting its hit
// spans, by the effective search type: a literal (with or without the stem
// comparison), a regular expression, or fuzzy matching where it is in force.
// With whole-field matching the text is tested field by field. The search
// area of a record is cut out beforehand by splitArea.
#pragma once
#include <memory>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "pattern/char_sequence_filter.h"
#include "pattern/nodes/sp_rex.h"
#include "pattern/position_filter.h"
#include "pattern/searcher.h"
#include "search/first_char_scan.h"
#include "search/hit.h"
#include "search/search_keys.h"
#include "text/regularize.h"

struct TSchStr;

// The fuzzy record test and hit collection plug in here. Without one, a
// fuzzy search string is tested as a normal one.
class FuzzyRecordMatcher {
public:
    virtual ~FuzzyRecordMatcher() = default;
    virtual bool matches(std::string_view text) = 0;
    virtual void collect(std::string_view text, HitList& hits) = 0;
    // Byte strings of which every matching record holds one, or none.
    virtual std::vector<LStr> requiredBytes() const = 0;
};

// Tests and collects hits of one search string in record texts. Holds
// searchers over the string's pattern and the separators, so one tester
// serves one thread.
class RecordTester {
public:
    // The separators may be null (an empty pattern never matches).
    RecordTester(const SearchKeys& keys, const TSchStr& str, const LRex* fieldSeparator,
                 const LRex* recordSeparator);
    RecordTester(const RecordTester&) = delete;
    RecordTester& operator=(const RecordTester&) = delete;

    // Whether the string occurs in the text (in one of its fields with
    // whole-field matching). Stops at the first success.
    bool matches(std::string_view text);
    // Appends every hit span of the string in the text.
    void collect(std::string_view text, HitList& hits);

    // Byte strings of which every matching record holds one, or none when
    // there are none to tell (stem matching has none).
    const std::vector<LStr>& requiredBytes() const;
    // A scan that finds every line holding a match, exactly, when the
    // pattern is a row of characters none of which is a line end; else null.
    const CandidateScan* lineScan() const;
    // The caller runs lineScan over every line before the line is tested, so
    // the record test need not run it again.
    void leaveFilterToLineScan() { filterLines_ = false; }

    void setFuzzyMatcher(std::unique_ptr<FuzzyRecordMatcher> matcher) {
        fuzzy_ = std::move(matcher);
        fuzzyNeedles_ = fuzzy_ ? fuzzy_->requiredBytes() : std::vector<LStr>{};
    }

private:
    enum class Method { kLiteral, kStem, kRegex, kFuzzy };
    Method method() const;

    bool recordMatches(std::string_view text);
    void collectHits(std::string_view text, HitList& hits);
    struct Field {
        int32_t start;
        int32_t end;
        int32_t next;  // where the next field starts
        bool last;
    };
    Field nextField(std::string_view text, int32_t start);
    bool fieldMatches(std::string_view text);
    void collectFieldHits(std::string_view text, HitList& hits);

    // Start positions of the literal and stem scans: the first position only
    // with whole-field matching, else every character start; -1 at the end.
    // With a needle, only positions whose bytes begin with it.
    int32_t nextCandidate(std::string_view text, int32_t from, std::string_view needle = {}) const;
    using CandidateTest = bool (RecordTester::*)(std::string_view, int32_t);
    bool anyCandidate(std::string_view text, CandidateTest test, std::string_view needle = {});
    bool literalMatchesAt(std::string_view text, int32_t pos);
    bool stemMatchesAt(std::string_view text, int32_t pos);
    bool boundaryAt(std::string_view text, int32_t pos);
    void collectPatternHits(std::string_view text, HitList& hits);
    void collectStemHits(std::string_view text, HitList& hits);
    // The next non-empty separator match at or after from: its start, and
    // its end in *end; -1 when there is none.
    int32_t findSeparator(LRexSearcher& searcher, std::string_view text, int32_t from,
                          int32_t* end);

    const SearchKeys keys_;
    const TSchStr& str_;
    bool fieldMatch_;
    FoldFlags fold_;
    std::string_view key_;                      // schStemStr with stemming, else schStr
    int firstChar_ = -1;                        // first character of key_, folded
    std::unique_ptr<FirstCharScan> firstScan_;  // characters that fold to firstChar_
    LRexSearcher searcher_;
    // Decides quickly that a record holds no match of a row-of-characters pattern.
    std::unique_ptr<CharSequenceFilter> sequenceFilter_;
    // The same for other patterns of single characters (alternatives, groups).
    std::unique_ptr<PositionFilter> positionFilter_;
    bool filterLines_ = true;  // whether record tests run the filters
    LRexSearcher fieldSearcher_;
    LRexSearcher recordSearcher_;
    LSpRex boundary_;  // "\p": not inside a word
    std::unique_ptr<FuzzyRecordMatcher> fuzzy_;
    std::vector<LStr> fuzzyNeedles_;  // for requiredBytes while fuzzy matching is in force
    std::vector<LStr> needles_;       // for requiredBytes
};

// Narrows a record to its search area: the text of the area pattern's one
// group. No match, or a match without the group, leaves an empty record
// (prefix and suffix untouched). Returns 1 when a match is found but the
// pattern has other than one group: the message line is out, and the caller
// ends its run.
int splitArea(const LRex& areaPattern, std::string_view areaPatternText, LStr& record, LStr& prefix,
              LStr& suffix);
