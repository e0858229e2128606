// Helpers of the search tests: a compiled string with its record tester,
// and hits with fuzzy pieces written as "=common +inRecord -inString".
#pragma once
#include <algorithm>
#include <memory>

#include "pattern/parser.h"
#include "search/fuzzy_record_matcher.h"
#include "search/search_string.h"

namespace searchtest {

inline std::string describe(const std::vector<FuzzyPiece>& pieces) {
    std::string out;
    for (const FuzzyPiece& p : pieces) {
        if (!out.empty()) out += ' ';
        out += p.kind == FuzzyPiece::kCommon ? '=' : p.kind == FuzzyPiece::kRecordOnly ? '+' : '-';
        out += p.text.view();
    }
    return out;
}

// A hit as the tests compare it: span, rate and described pieces.
struct Found {
    int offset, length, rate;
    std::string pieces;
    friend bool operator==(const Found&, const Found&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Found& f) {
        return os << "{" << f.offset << "," << f.length << "," << f.rate << ",\"" << f.pieces
                  << "\"}";
    }
};

inline std::vector<Found> found(const HitList& hits) {
    std::vector<Found> out;
    for (const Hit& h : hits) out.push_back({h.offset, h.length, h.rate, describe(h.pieces)});
    return out;
}

// A compiled string with its tester (fuzzy matcher plugged in) over tab
// fields and line records.
class Tester {
public:
    Tester(std::string_view text, const SearchKeys& keys) : keys_(keys) {
        str_ = compileSearchString(text, keys_, nullptr, 0).str;
        tester_ = std::make_unique<RecordTester>(keys_, *str_, fieldSep_.get(), recordSep_.get());
        tester_->setFuzzyMatcher(makeFuzzyRecordMatcher(keys_, *str_));
    }
    bool fuzzy() const { return str_->fuzzyInForce(keys_); }
    bool matches(std::string_view text) { return tester_->matches(text); }
    const CandidateScan* lineScan() const { return tester_->lineScan(); }
    std::vector<Found> hits(std::string_view text) {
        HitList hits;
        tester_->collect(text, hits);
        return found(hits);
    }

private:
    SearchKeys keys_;
    LRexPtr fieldSep_ = compileRex("\t");
    LRexPtr recordSep_ = compileRex("[\x0A\x0D]+");
    std::unique_ptr<TSchStr> str_;
    std::unique_ptr<RecordTester> tester_;
};

}  // namespace searchtest
