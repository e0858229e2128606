// The gram signature of a sliding fuzzy window. Per-bit counts of the grams
// starting inside the window let characters enter and leave one at a time,
// so moving the window costs in proportion to the characters that moved,
// not to its length.
#pragma once
#include <array>
#include <cstdint>

#include "index/gram_signature.h"

class WindowSignature {
public:
    WindowSignature() { clear(); }

    void clear();
    // A gram bit entering or leaving the window; -1 (no gram) is ignored.
    void enter(int bit);
    void leave(int bit);
    // How many bits of sig no gram of the window has.
    int missingFrom(const GramSignature& sig) const;

private:
    GramSignature absent_;  // bits with a count of 0
    std::array<int32_t, kSignatureBits> counts_{};
};
