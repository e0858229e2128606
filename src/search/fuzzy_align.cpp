// The anchor search, the piece list and its front shift. Work is bounded by
// pruning: a pair whose agreeing run cannot reach its threshold even in the
// best case is never followed, and a token value whose pairs all failed is
// not tried again from a later position (its later pairs are a subset).
#include "search/fuzzy_align.h"

#include <algorithm>

#include "search/fuzzy_rate.h"
#include "support/stop_flag.h"

namespace {

// The stop flag is read once per this many pair or position steps.
constexpr uint32_t kStopPollMask = 1023;

}  // namespace

int32_t anchorThreshold(int64_t skippedWeight) {
    if (skippedWeight <= 300) return int32_t(skippedWeight * 390 / 300 + 10);
    if (skippedWeight <= 4300) return int32_t((skippedWeight - 300) * 2000 / 4000 + 400);
    return 2400;
}

FuzzyAligner::FuzzyAligner(const FuzzyKey& key)
    : key_(key),
      ids1_(key.tokens().ids.data()),
      weights1_(key.tokens().weights.data()),
      n1_(key.tokens().count()),
      following_(size_t(key.distinct()) + 1),
      cursor_(size_t(key.distinct()) + 1),
      tried_(size_t(key.distinct()) + 1, 0) {}

bool FuzzyAligner::tick() {
    if ((++steps_ & kStopPollMask) == 0 && stopRequested()) stopped_ = true;
    return !stopped_;
}

void FuzzyAligner::prepareWindow() {
    next0_.resize(size_t(n0_));
    std::fill(following_.begin(), following_.end(), n0_);
    for (int32_t k = n0_ - 1; k >= 0; --k) {
        const int32_t id = ids0_[k];
        next0_[k] = following_[id];
        following_[id] = k;
    }
    for (int32_t id = 1; id <= key_.distinct(); ++id) cursor_[id] = key_.firstOf(id);
}

int32_t FuzzyAligner::firstInKey(int32_t id, int32_t from) {
    int32_t& j = cursor_[id];
    while (j < from) j = key_.nextSame(j);  // positions only grow within one alignment
    return j;
}

bool FuzzyAligner::runReaches(int32_t i, int32_t j, int32_t threshold) const {
    int64_t sum = 0;
    for (; i < n0_ && j < n1_ && ids0_[i] == ids1_[j]; ++i, ++j) {
        sum += weights0_[i + 1] - weights0_[i];
        if (sum >= threshold) return true;
    }
    return false;
}

int32_t FuzzyAligner::runLength(int32_t i, int32_t j) const {
    int32_t r = 0;
    while (i + r < n0_ && j + r < n1_ && ids0_[i + r] == ids1_[j + r]) ++r;
    return r;
}

bool FuzzyAligner::tryPairs(int32_t i, int32_t j0, int32_t p0, int32_t p1, Anchor& anchor) {
    for (int32_t ii = i; ii < n0_; ii = next0_[ii]) {
        const int64_t cost0 = weights0_[ii] - weights0_[p0];
        const int64_t rest0 = weights0_[n0_] - weights0_[ii];
        for (int32_t j = j0; j < n1_; j = key_.nextSame(j)) {
            if (!tick()) return false;
            const int64_t cost1 = weights1_[j] - weights1_[p1];
            const int32_t threshold = anchorThreshold(std::max(cost0, cost1));
            // Later pairs skip more and have less left to agree on.
            if (threshold > std::min(rest0, weights1_[n1_] - weights1_[j])) {
                if (j == j0) return false;
                break;
            }
            if (runReaches(ii, j, threshold)) {
                anchor = {ii, j};
                return true;
            }
        }
    }
    return false;
}

bool FuzzyAligner::findAnchor(int32_t p0, int32_t p1, Anchor& anchor) {
    if (++search_ == 0) {  // the stamps wrapped: forget every old search
        std::fill(tried_.begin(), tried_.end(), 0);
        search_ = 1;
    }
    const int64_t rest1 = weights1_[n1_] - weights1_[p1];
    for (int32_t i = p0; i < n0_; ++i) {
        if (!tick()) return false;
        const int32_t threshold = anchorThreshold(weights0_[i] - weights0_[p0]);
        if (threshold > std::min(weights0_[n0_] - weights0_[i], rest1)) break;
        const int32_t id = ids0_[i];
        if (id == 0 || tried_[id] == search_) continue;
        tried_[id] = search_;
        const int32_t j0 = firstInKey(id, p1);
        if (j0 >= n1_) continue;
        if (tryPairs(i, j0, p0, p1, anchor)) return true;
        if (stopped_) return false;
    }
    anchor = {n0_, n1_};
    return true;
}

void FuzzyAligner::frontShift(std::vector<AlignedPiece>& pieces) const {
    if (pieces.size() < 3 || pieces[0].kind != FuzzyPiece::kCommon ||
        pieces[1].kind == FuzzyPiece::kCommon || pieces[2].kind != FuzzyPiece::kCommon)
        return;
    const AlignedPiece common = pieces[0];  // starts both texts
    const AlignedPiece diff = pieces[1];
    const int32_t c = common.length();
    if (diff.length() < c) return;
    const int32_t* side = diff.kind == FuzzyPiece::kRecordOnly ? ids0_ : ids1_;
    if (!std::equal(ids0_ + common.begin, ids0_ + common.end, side + diff.end - c)) return;
    // The difference ends with the common text: show that text as part of
    // the difference at the front and the repeat as the common piece.
    if (diff.kind == FuzzyPiece::kRecordOnly) {
        pieces[0] = {diff.kind, common.begin, diff.end - c};
        pieces[1] = {FuzzyPiece::kCommon, diff.end - c, diff.end};
    } else {
        pieces[0] = {diff.kind, 0, diff.end - c};
        pieces[1] = common;
    }
}

bool FuzzyAligner::align(const TokenSeq& text, int32_t first, int32_t last,
                         std::vector<AlignedPiece>& pieces) {
    pieces.clear();
    stopped_ = false;
    ids0_ = text.ids.data() + first;
    weights0_ = text.weights.data() + first;
    n0_ = std::max(last - first, 0);
    prepareWindow();

    int32_t p0 = 0;
    int32_t p1 = 0;
    while (p0 < n0_ && p1 < n1_) {
        Anchor anchor{n0_, n1_};
        if (!findAnchor(p0, p1, anchor)) return false;
        if (anchor.window > p0) pieces.push_back({FuzzyPiece::kRecordOnly, p0, anchor.window});
        if (anchor.key > p1) pieces.push_back({FuzzyPiece::kStringOnly, p1, anchor.key});
        p0 = anchor.window;
        p1 = anchor.key;
        const int32_t run = runLength(p0, p1);
        if (run < 1) break;
        pieces.push_back({FuzzyPiece::kCommon, p0, p0 + run});
        p0 += run;
        p1 += run;
    }
    if (p0 < n0_) pieces.push_back({FuzzyPiece::kRecordOnly, p0, n0_});
    if (p1 < n1_) pieces.push_back({FuzzyPiece::kStringOnly, p1, n1_});
    frontShift(pieces);
    return true;
}

void appendPieceTexts(const std::vector<AlignedPiece>& aligned, std::string_view record,
                      const TokenSeq& text, int32_t first, const FuzzyKey& key,
                      std::vector<FuzzyPiece>& out) {
    const std::vector<int32_t>& keyOffsets = key.tokens().offsets;
    for (const AlignedPiece& piece : aligned) {
        FuzzyPiece& added = out.emplace_back();
        added.kind = piece.kind;
        if (piece.kind == FuzzyPiece::kStringOnly) {
            added.text = key.text().substr(size_t(keyOffsets[piece.begin]),
                                           size_t(keyOffsets[piece.end] - keyOffsets[piece.begin]));
        } else {
            const int32_t from = text.offsets[first + piece.begin];
            added.text =
                record.substr(size_t(from), size_t(text.offsets[first + piece.end] - from));
        }
    }
}

int32_t rateOf(const std::vector<AlignedPiece>& pieces) {
    RateCounter counter;
    for (const AlignedPiece& piece : pieces) counter.add(piece.kind, piece.length());
    return counter.rate();
}

bool alignTexts(std::string_view window, std::string_view searchString,
                std::vector<FuzzyPiece>& pieces) {
    pieces.clear();
    FuzzyKey key(searchString);
    TokenSeq text;
    key.tokenize(window, text);
    FuzzyAligner aligner(key);
    std::vector<AlignedPiece> aligned;
    if (!aligner.align(text, 0, text.count(), aligned)) return false;
    appendPieceTexts(aligned, window, text, 0, key, pieces);
    return true;
}
