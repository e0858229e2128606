// The match rate of an aligned fuzzy window: the share of common characters
// among common and differing ones, where a run of differences between two
// common stretches counts by its longest side, so that replacing k
// characters costs k, not 2k.
#pragma once
#include <cstdint>
#include <vector>

#include "search/hit.h"

// Adds up pieces in text order; rate() may be asked at any time.
class RateCounter {
public:
    void add(FuzzyPiece::Kind kind, int32_t characters);
    // same * 100 / (same + diff), truncated; 0 when nothing was counted.
    int32_t rate() const;

private:
    int64_t same_ = 0;
    int64_t diff_ = 0;
    int64_t pending_ = 0;  // longest difference since the last common piece
};

// The rate of a piece list; a double-byte character counts once.
int32_t rateOf(const std::vector<FuzzyPiece>& pieces);
