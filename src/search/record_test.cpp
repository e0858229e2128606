// Record tests and hit collection for one search string, and the search
// area split. The literal and stem scans look only at positions whose first
// character, folded as the options say, equals the string's first character.
#include "search/record_test.h"

#include <algorithm>
#include <vector>

#include "pattern/next_match.h"
#include "pattern/nodes/brace_rex.h"
#include "search/literal_needles.h"
#include "search/search_output.h"
#include "search/search_string.h"
#include "support/stop_flag.h"
#include "text/char_fold.h"
#include "text/sjis.h"

namespace {

// 検索範囲限定の正規表現「%s」には %d 組の ( ) が含まれています。\r\n1 組の ( ) を含めてください。
constexpr char kAreaGroupCount[] =
    "\x8C\x9F\x8D\xF5\x94\xCD\x88\xCD\x8C\xC0\x92\xE8\x82\xCC\x90\xB3\x8B\x4B\x95\x5C\x8C\xBB"
    "\x81\x75%s\x81\x76\x82\xC9\x82\xCD %d \x91\x67\x82\xCC ( ) \x82\xAA\x8A\xDC\x82\xDC\x82\xEA"
    "\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42\r\n"
    "1 \x91\x67\x82\xCC ( ) "
    "\x82\xF0\x8A\xDC\x82\xDF\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42";

int32_t size32(std::string_view text) {
    return int32_t(text.size());
}

// Numbered groups of a pattern: one more than the highest group number.
int capturingGroups(const LRex& root) {
    int count = 0;
    std::vector<const LRex*> pending{&root};
    while (!pending.empty()) {
        const LRex* node = pending.back();
        pending.pop_back();
        if (auto* group = dynamic_cast<const LBraceRex*>(node))
            count = std::max(count, group->number() + 1);
        node->children(pending);
    }
    return count;
}

}  // namespace

RecordTester::RecordTester(const SearchKeys& keys, const TSchStr& str, const LRex* fieldSeparator,
                           const LRex* recordSeparator)
    : keys_(keys),
      str_(str),
      fieldMatch_(keys.fieldMatch),
      fold_{keys.ignoreCase, keys.ignoreWidth},
      key_(keys.stem ? str.schStemStr.view() : str.schStr.view()),
      searcher_(str.schRex.get()),
      // Matching keeps its enumeration state in the nodes; the separators are
      // only ever matched from this tester's thread.
      fieldSearcher_(const_cast<LRex*>(fieldSeparator)),
      recordSearcher_(const_cast<LRex*>(recordSeparator)),
      boundary_(SpType::NotInWord, 0, nullptr) {
    if (!key_.empty()) {
        firstChar_ = foldChar(charAt(key_), fold_);
        firstScan_ = std::make_unique<FirstCharScan>(foldEquivalents(charAt(key_), fold_));
        if (method() == Method::kLiteral) needles_ = literalNeedles(key_, fold_);
    }
    if (method() == Method::kRegex && str.schRex) {
        needles_ = patternNeedles(*str.schRex);
        sequenceFilter_ = CharSequenceFilter::forPattern(*str.schRex);
        if (!sequenceFilter_) positionFilter_ = PositionFilter::forPattern(*str.schRex);
    }
    searcher_.setStopFlag(&stopFlag());
    fieldSearcher_.setStopFlag(&stopFlag());
    recordSearcher_.setStopFlag(&stopFlag());
}

RecordTester::Method RecordTester::method() const {
    if (keys_.regex()) return Method::kRegex;
    // A fuzzy string without its signature was too short and is searched as
    // a normal one.
    if (fuzzy_ && str_.fuzzyInForce(keys_)) return Method::kFuzzy;
    return keys_.stem ? Method::kStem : Method::kLiteral;
}

const std::vector<LStr>& RecordTester::requiredBytes() const {
    static const std::vector<LStr> none;
    if (method() == Method::kFuzzy) return fuzzyNeedles_;
    return method() == Method::kLiteral || method() == Method::kRegex ? needles_ : none;
}

const CandidateScan* RecordTester::lineScan() const {
    if (method() != Method::kRegex) return nullptr;
    if (sequenceFilter_ && !sequenceFilter_->spansLines()) return sequenceFilter_.get();
    if (positionFilter_ && !positionFilter_->spansLines()) return positionFilter_.get();
    return nullptr;
}

bool RecordTester::matches(std::string_view text) {
    return fieldMatch_ ? fieldMatches(text) : recordMatches(text);
}

void RecordTester::collect(std::string_view text, HitList& hits) {
    if (fieldMatch_)
        collectFieldHits(text, hits);
    else
        collectHits(text, hits);
}

bool RecordTester::recordMatches(std::string_view text) {
    switch (method()) {
        case Method::kRegex:
            if (filterLines_ && sequenceFilter_ && !sequenceFilter_->matches(text)) return false;
            if (filterLines_ && positionFilter_ && !positionFilter_->matches(text)) return false;
            return searcher_.search(text) >= 0;
        case Method::kFuzzy:
            return fuzzy_->matches(text);
        case Method::kStem:
            return anyCandidate(text, &RecordTester::stemMatchesAt);
        case Method::kLiteral:
            // A match at a position starts with the pattern's leading bytes.
            return anyCandidate(text, &RecordTester::literalMatchesAt, searcher_.prefix());
    }
    return false;
}

void RecordTester::collectHits(std::string_view text, HitList& hits) {
    switch (method()) {
        case Method::kFuzzy:
            return fuzzy_->collect(text, hits);
        case Method::kStem:
            return collectStemHits(text, hits);
        case Method::kRegex:
        case Method::kLiteral:
            return collectPatternHits(text, hits);
    }
}

int32_t RecordTester::nextCandidate(std::string_view text, int32_t from,
                                    std::string_view needle) const {
    if (firstChar_ < 0) return -1;
    if (stopRequested()) return -1;
    if (!fieldMatch_) return firstScan_->next(text, from, needle);
    // Whole fields: only the first position.
    if (from > 0 || text.empty()) return -1;
    return foldChar(charAt(text, 0), fold_) == firstChar_ ? 0 : -1;
}

bool RecordTester::anyCandidate(std::string_view text, CandidateTest test,
                                std::string_view needle) {
    for (int32_t pos = nextCandidate(text, 0, needle); pos >= 0;
         pos = nextCandidate(text, pos + charLength(text, pos), needle))
        if ((this->*test)(text, pos)) return true;
    return false;
}

bool RecordTester::literalMatchesAt(std::string_view text, int32_t pos) {
    return searcher_.search(text, SearchRange::at(pos)) >= 0;
}

bool RecordTester::stemMatchesAt(std::string_view text, int32_t pos) {
    StemMatch m = stemCompare(text, pos, key_, fold_, fieldMatch_, &stopFlag());
    return m.matched && boundaryAt(text, pos) && boundaryAt(text, pos + m.consumed);
}

bool RecordTester::boundaryAt(std::string_view text, int32_t pos) {
    LRexCursor c;
    c.start = text.data();
    c.end = text.data() + text.size();
    c.cur = c.start + pos;
    boundary_.reset();
    return boundary_.next(c, false);
}

void RecordTester::collectPatternHits(std::string_view text, HitList& hits) {
    const int32_t lastStart = fieldMatch_ ? 0 : -1;
    for (int32_t from = 0; from <= size32(text);) {
        const int32_t top = searcher_.search(text, {.from = from, .lastStart = lastStart});
        if (top < 0) return;
        const int32_t length = searcher_.matchLen();
        hits.push_back(Hit{top, length, 100, {}});
        if (fieldMatch_) return;
        from = nextSearchStart(text, top, length);
    }
}

void RecordTester::collectStemHits(std::string_view text, HitList& hits) {
    for (int32_t pos = nextCandidate(text, 0); pos >= 0;) {
        // The same whole-word rule as the test, so that "run" inside "rerun"
        // is never highlighted or counted.
        StemMatch m = stemCompare(text, pos, key_, fold_, fieldMatch_, &stopFlag());
        if (m.matched && m.consumed > 0 && boundaryAt(text, pos) &&
            boundaryAt(text, pos + m.consumed)) {
            hits.push_back(Hit{pos, m.consumed, 100, {}});
            pos = nextCandidate(text, pos + m.consumed);
        } else {
            pos = nextCandidate(text, pos + charLength(text, pos));
        }
    }
}

int32_t RecordTester::findSeparator(LRexSearcher& searcher, std::string_view text, int32_t from,
                                    int32_t* end) {
    // A separator that matches the empty string would cut no field; such
    // matches are passed over so that every field ends.
    while (from <= size32(text)) {
        const int32_t top = searcher.search(text, {.from = from});
        if (top < 0) return -1;
        if (searcher.matchLen() > 0) {
            *end = top + searcher.matchLen();
            return top;
        }
        from = nextSearchStart(text, top, 0);
    }
    return -1;
}

RecordTester::Field RecordTester::nextField(std::string_view text, int32_t start) {
    Field f{start, size32(text), 0, true};
    int32_t stop = findSeparator(fieldSearcher_, text, start, &f.next);
    if (stop >= 0) {
        f.end = stop;
        f.last = false;
        return f;
    }
    // The record's own separator closes its last field; the empty text after
    // it is no field of its own.
    stop = findSeparator(recordSearcher_, text, start, &f.next);
    if (stop >= 0) f.end = stop;
    return f;
}

bool RecordTester::fieldMatches(std::string_view text) {
    for (int32_t start = 0;;) {
        const Field f = nextField(text, start);
        if (recordMatches(text.substr(f.start, f.end - f.start))) return true;
        if (f.last || stopRequested()) return false;
        start = f.next;
    }
}

void RecordTester::collectFieldHits(std::string_view text, HitList& hits) {
    for (int32_t start = 0;;) {
        const Field f = nextField(text, start);
        const size_t first = hits.size();
        collectHits(text.substr(f.start, f.end - f.start), hits);
        for (size_t i = first; i < hits.size(); ++i) hits[i].offset += f.start;
        if (f.last || stopRequested()) return;
        start = f.next;
    }
}

int splitArea(const LRex& areaPattern, std::string_view areaPatternText, LStr& record, LStr& prefix,
              LStr& suffix) {
    // Matching keeps its enumeration state in the nodes; the area pattern is
    // only ever matched from the worker's thread.
    LRexSearcher searcher(const_cast<LRex*>(&areaPattern));
    searcher.setStopFlag(&stopFlag());
    if (searcher.search(record.view()) < 0) {
        record.clear();
        return 0;
    }
    const int groups = capturingGroups(areaPattern);
    if (groups != 1) {
        outputMessage(kAreaGroupCount, LStr(areaPatternText).c_str(), groups);
        return 1;
    }
    const LRexHitList& hits = searcher.hits();
    if (hits.empty() || !hits[0].text) {  // the group took no part in the match
        record.clear();
        return 0;
    }
    const LRexHit& area = hits[0];
    const int32_t top = int32_t(area.text - record.data());
    const int32_t end = top + area.len;
    prefix.assign(record.view().substr(0, top));
    suffix.assign(record.view().substr(end));
    LStr text(record.view().substr(top, area.len));
    record = std::move(text);
    return 0;
}
