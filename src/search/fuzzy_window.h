// The gram signature of a sliding fuzzy window, seen from the search string:
// per-bit counts of the string's grams starting inside the window let
// characters enter and leave one at a time, and the number of the string's
// bits the window lacks is kept up to date as they do, so moving the window
// costs in proportion to the characters that moved, not to its length.
#pragma once
#include <array>
#include <cstdint>

#include "index/gram_signature.h"

class WindowSignature {
public:
    explicit WindowSignature(const GramSignature& key);

    // The bit a window keeps for a gram: the gram's bit when the string has
    // it, -1 otherwise (grams the string lacks never change the count).
    int watched(int bit) const { return bit >= 0 && key_.test(bit) ? bit : -1; }
    // A watched bit entering or leaving the window; -1 is ignored.
    void enter(int bit) {
        if (bit >= 0 && counts_[bit]++ == 0) --missing_;
    }
    void leave(int bit) {
        if (bit >= 0 && counts_[bit] > 0 && --counts_[bit] == 0) ++missing_;
    }
    // How many bits of the string's signature no gram of the window has.
    int missing() const { return missing_; }

private:
    GramSignature key_;
    int missing_ = 0;
    std::array<int32_t, kSignatureBits> counts_{};
};
