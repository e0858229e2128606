// Counting the grams of a sliding window bit by bit.
#include "search/fuzzy_window.h"

void WindowSignature::clear() {
    absent_.words.fill(~uint32_t(0));
    counts_.fill(0);
}

void WindowSignature::enter(int bit) {
    if (bit < 0) return;
    if (counts_[bit]++ == 0) absent_.words[bit >> 5] &= ~(1u << (bit & 31));
}

void WindowSignature::leave(int bit) {
    if (bit < 0 || counts_[bit] == 0) return;
    if (--counts_[bit] == 0) absent_.set(bit);
}

int WindowSignature::missingFrom(const GramSignature& sig) const {
    int n = 0;
    for (int w = 0; w < kSignatureWords; ++w)
        n += __builtin_popcount(sig.words[w] & absent_.words[w]);
    return n;
}
