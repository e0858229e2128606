// Rating aligned pieces: common characters against the longest side of each
// run of differences.
#include "search/fuzzy_rate.h"

#include <algorithm>

#include "text/sjis.h"

void RateCounter::add(FuzzyPiece::Kind kind, int32_t characters) {
    if (kind != FuzzyPiece::kCommon) {
        pending_ = std::max(pending_, int64_t(characters));
        return;
    }
    diff_ += pending_;
    pending_ = 0;
    same_ += characters;
}

int32_t RateCounter::rate() const {
    const int64_t total = same_ + diff_ + pending_;
    if (total < 1) return 0;
    return int32_t(same_ * 100 / total);
}

int32_t rateOf(const std::vector<FuzzyPiece>& pieces) {
    RateCounter counter;
    for (const FuzzyPiece& piece : pieces) {
        int32_t characters = 0;
        const std::string_view text = piece.text.view();
        for (size_t pos = 0; pos < text.size(); pos += charLength(text, pos)) ++characters;
        counter.add(piece.kind, characters);
    }
    return counter.rate();
}
