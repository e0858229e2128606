// Gram bits, text signatures and the block test. These run for every record
// block and every fuzzy window, so they avoid allocation and hash the short
// gram inline with the strHash multipliers.
#include "index/gram_signature.h"

#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "base/ctype_table.h"

namespace {

// The first four strHash multipliers; a gram has at most four bytes.
constexpr uint32_t kGramMultipliers[4] = {1, 23, 13, 2};

}  // namespace

bool StoredSignature::none() const {
    uint32_t any = 0;
    for (uint32_t w : words) any |= w;
    return any == 0;
}

int StoredSignature::count() const {
    int n = 0;
    for (uint32_t w : words) n += __builtin_popcount(w);
    return n;
}

StoredSignature StoredSignature::complemented() const {
    StoredSignature c;
    for (int i = 0; i < kSignatureWords; ++i) c.words[i] = ~words[i];
    return c;
}

StoredSignature& StoredSignature::operator|=(const StoredSignature& o) {
    for (int i = 0; i < kSignatureWords; ++i) words[i] |= o.words[i];
    return *this;
}

StoredSignature StoredSignature::fromFlags(const std::array<uint8_t, kSignatureBits>& flags) {
    StoredSignature sig;
    for (int w = 0; w < kSignatureWords; ++w) {
        const uint8_t* f = flags.data() + 32 * w;
#ifdef __SSE2__
        const __m128i zero = _mm_setzero_si128();
        const auto setBytes = [&](int at) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(f + at));
            return uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero))) ^ 0xFFFFu;
        };
        sig.words[size_t(w)] = setBytes(0) | setBytes(16) << 16;
#else
        for (int b = 0; b < 32; ++b) sig.words[size_t(w)] |= uint32_t(f[b] != 0) << b;
#endif
    }
    return sig;
}

void StoredSignature::toBytes(uint8_t (&out)[kSignatureBytes]) const {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, words.data(), kSignatureBytes);
        return;
    }
    for (int i = 0; i < kSignatureBytes; ++i) out[i] = uint8_t(words[i / 4] >> (8 * (i % 4)));
}

StoredSignature StoredSignature::fromBytes(const uint8_t* bytes) {
    StoredSignature sig;
    // Index files are read block by block: on a little-endian machine the
    // stored bytes are the words themselves.
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(sig.words.data(), bytes, kSignatureBytes);
        return sig;
    }
    for (int i = 0; i < kSignatureBytes; ++i)
        sig.words[i / 4] |= uint32_t(bytes[i]) << (8 * (i % 4));
    return sig;
}

int gramBit(std::string_view text, size_t pos) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t end = text.size();
    uint32_t hash = 0;
    int length = 0;
    while (length < 3) {
        if (pos >= end || p[pos] == 0) return -1;
        bool pair = isLeadByte(p[pos]) && pos + 1 < end && p[pos + 1] != 0;
        hash += p[pos++] * kGramMultipliers[length++];
        if (pair) hash += p[pos++] * kGramMultipliers[length++];
    }
    return int(hash % kSignatureBits);
}

bool WideGrams::none() const {
    uint64_t any = 0;
    for (uint64_t w : words) any |= w;
    return any == 0;
}

GramSignature& GramSignature::operator|=(const GramSignature& o) {
    StoredSignature::operator|=(o);
    for (int i = 0; i < kWideWords; ++i) wide.words[i] |= o.wide.words[i];
    return *this;
}

GramSignature& GramSignature::operator&=(const GramSignature& o) {
    for (int i = 0; i < kSignatureWords; ++i) words[i] &= o.words[i];
    for (int i = 0; i < kWideWords; ++i) wide.words[i] &= o.wide.words[i];
    return *this;
}

void addGrams(GramSignature& sig, std::string_view text) {
    forEachGram(text, [&sig](int bit, uint32_t packed) {
        sig.set(bit);
        int wide[kWideHashes];
        wideBitsOf(packed, wide);
        for (int w : wide) sig.wide.set(w);
    });
}

GramSignature signatureOf(std::string_view text) {
    GramSignature sig;
    addGrams(sig, text);
    return sig;
}

bool signatureTest(const StoredSignature& storedBlock, const StoredSignature& search,
                   int tolerance) {
    uint32_t anyMissing = 0;
    for (int i = 0; i < kSignatureWords; ++i) anyMissing |= storedBlock.words[i] & search.words[i];
    if (anyMissing == 0) return true;
    if (tolerance <= 0) return false;
    // Search signatures are sparse: clearing the lowest bit one at a time
    // counts them faster than a full bit count and stops at the limit.
    int missing = 0;
    for (int i = 0; i < kSignatureWords; ++i) {
        for (uint32_t bits = storedBlock.words[i] & search.words[i]; bits; bits &= bits - 1)
            if (++missing > tolerance) return false;
    }
    return true;
}
