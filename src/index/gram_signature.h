// Gram signatures: summaries of a text, bits chosen by hashing the
// three-byte character grams in it. A block whose signature lacks a gram of
// the search string cannot hold the string and is skipped. Index files keep
// 384 bits per block (stored complemented: a set bit means "no gram has this
// bit"); the companion rows file keeps a wider filter of kWideBits per block
// from an independent hash of the same grams.
#pragma once
#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/ctype_table.h"
#include "index/char_start_masks.h"

inline constexpr int kSignatureBits = 384;
inline constexpr int kSignatureWords = kSignatureBits / 32;
inline constexpr int kSignatureBytes = kSignatureBits / 8;

// The wide filter: each gram sets kWideHashes of kWideBits bits. 1024 bits
// take 128 bytes a block; 512 would admit about three times as many blocks
// falsely for a string of two grams, six times as many for one of one gram.
inline constexpr int kWideBits = 1024;
inline constexpr int kWideWords = kWideBits / 64;
inline constexpr int kWideHashes = 2;

// The 384 bits of a block as index files hold them. Bit n is bit (n % 32) of
// word n / 32, which is bit (n % 8) of byte n / 8 in the little-endian byte
// form written to index files.
struct StoredSignature {
    std::array<uint32_t, kSignatureWords> words{};

    void set(int bit) { words[bit >> 5] |= 1u << (bit & 31); }
    bool test(int bit) const { return words[bit >> 5] >> (bit & 31) & 1u; }
    bool none() const;
    int count() const;
    // Every bit flipped (the stored form of a block signature).
    StoredSignature complemented() const;
    StoredSignature& operator|=(const StoredSignature& o);

    // The signature whose bit n is set when flags[n] is not 0.
    static StoredSignature fromFlags(const std::array<uint8_t, kSignatureBits>& flags);

    void toBytes(uint8_t (&out)[kSignatureBytes]) const;
    static StoredSignature fromBytes(const uint8_t* bytes);

    friend bool operator==(const StoredSignature&, const StoredSignature&) = default;
};
static_assert(sizeof(StoredSignature) == kSignatureBytes);

// The wide bits of a search text's grams (not complemented).
struct WideGrams {
    std::array<uint64_t, kWideWords> words{};

    void set(int bit) { words[bit >> 6] |= uint64_t(1) << (bit & 63); }
    bool none() const;
    friend bool operator==(const WideGrams&, const WideGrams&) = default;
};

// A search text's signature: the stored-size bits and the wide bits of the
// same grams. count() and none() speak of the stored-size bits.
struct GramSignature : StoredSignature {
    WideGrams wide;

    GramSignature& operator|=(const GramSignature& o);
    GramSignature& operator&=(const GramSignature& o);
    friend bool operator==(const GramSignature&, const GramSignature&) = default;
};

// The wide bits of a gram given as its bytes packed little-endian: two
// slices of one multiplicative hash.
inline void wideBitsOf(uint32_t packed, int (&bits)[kWideHashes]) {
    const uint64_t h = (uint64_t(packed) + 0x632BE59BD9B4E019ull) * 0x9E3779B97F4A7C15ull;
    bits[0] = int(h >> 54) & (kWideBits - 1);
    bits[1] = int(h >> 44) & (kWideBits - 1);
}

// The masks of one 64-byte word of a text and what gram hashing needs of
// the next word. Bit j of each mask speaks of the word's byte j.
struct GramWord {
    ByteClassMasks bytes;
    CharStartMasks starts;
};

// Words of a text in order, each with the word after it at hand: a gram's
// bytes and its fourth byte's pair may lie in the next word.
class GramWords {
public:
    // readableAfter bytes past the text may be read (and are ignored).
    GramWords(const unsigned char* p, size_t size, size_t readableAfter = 0)
        : p_(p), size_(size), readableAfter_(readableAfter) {
        const ByteClassMasks first = classify(0);
        next_ = classify(1);
        afterNext_ = classify(2);
        current_ = {first, charStarts64(pairLeads(first, next_), true)};
        follow();
    }
    const GramWord& current() const { return current_; }
    const GramWord& following() const { return following_; }
    void advance() {
        ++word_;
        current_ = following_;
        next_ = afterNext_;
        afterNext_ = classify(word_ + 2);
        follow();
    }

private:
    // The next word's first byte starts a character unless the current
    // word's last byte begins a pair.
    void follow() {
        const bool firstStarts = !(current_.starts.pairStart >> 63);
        following_ = {next_, charStarts64(pairLeads(next_, afterNext_), firstStarts)};
    }
    ByteClassMasks classify(size_t word) const {
        const size_t at = word * 64;
        if (at >= size_) return {};
        return classifyBytes64(p_ + at, std::min<size_t>(64, size_ - at),
                               size_ + readableAfter_ - at >= 64);
    }
    // Lead bytes with a byte other than NUL after them (none at the end).
    static uint64_t pairLeads(const ByteClassMasks& word, const ByteClassMasks& next) {
        return word.lead & (word.nonZero >> 1 | next.nonZero << 63);
    }

    const unsigned char* p_;
    size_t size_;
    size_t readableAfter_;
    size_t word_ = 0;
    ByteClassMasks next_, afterNext_;
    GramWord current_, following_;
};

// Bytes the hashes of a 64-byte word read from its start: the last load of
// sixteen begins at its 56th byte.
inline constexpr size_t kHashedWordReach = 56 + 16;

#ifdef __SSE2__
// The narrow bit of the gram at each of the 64 bytes at p, taking the
// fourth byte where fourth has the byte's bit: strHash of the gram modulo
// 384. Sums stay below 2^14, so the quotient by 384 is a shift by 7 and a
// division by 3 as a multiply.
inline void hashWord64(const unsigned char* p, uint64_t fourth, uint16_t (&bits)[64]) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i laneBits = _mm_setr_epi16(1, 2, 4, 8, 16, 32, 64, 128);
    for (int k = 0; k < 8; ++k) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8 * k));
        const __m128i b0 = _mm_unpacklo_epi8(a, zero);
        const __m128i b1 = _mm_unpacklo_epi8(_mm_srli_si128(a, 1), zero);
        const __m128i b2 = _mm_unpacklo_epi8(_mm_srli_si128(a, 2), zero);
        const __m128i b3 = _mm_unpacklo_epi8(_mm_srli_si128(a, 3), zero);
        const __m128i four = _mm_cmpeq_epi16(
            _mm_and_si128(_mm_set1_epi16(short(fourth >> (8 * k) & 0xFF)), laneBits), laneBits);
        __m128i h = _mm_add_epi16(b0, _mm_mullo_epi16(b1, _mm_set1_epi16(23)));
        h = _mm_add_epi16(h, _mm_mullo_epi16(b2, _mm_set1_epi16(13)));
        h = _mm_add_epi16(h, _mm_and_si128(_mm_add_epi16(b3, b3), four));
        const __m128i q = _mm_mulhi_epu16(_mm_srli_epi16(h, 7), _mm_set1_epi16(21846));
        h = _mm_sub_epi16(h, _mm_mullo_epi16(q, _mm_set1_epi16(kSignatureBits)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bits + 8 * k), h);
    }
}
#endif

// Calls gram(narrowBit, packed) for the gram at every character start: the
// three bytes there, plus a fourth when the third begins a double-byte
// character; a NUL among them gives none. narrowBit is strHash of the gram
// modulo 384 (the stored signature's bit). When readableAfter bytes after
// the text may be read (not used), more of it is hashed in whole words.
template <class Gram>
inline void forEachGram(std::string_view text, Gram&& gram, size_t readableAfter = 0) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    if (size < 3) return;
    GramWords words(p, size, readableAfter);
    for (size_t base = 0; base < size; base += 64, words.advance()) {
        const GramWord& w = words.current();
        const GramWord& next = words.following();
        // Three bytes other than NUL from a character start (bytes past the
        // end count as NUL); a fourth when the third begins a pair.
        const uint64_t nz1 = w.bytes.nonZero >> 1 | next.bytes.nonZero << 63;
        const uint64_t nz2 = w.bytes.nonZero >> 2 | next.bytes.nonZero << 62;
        const uint64_t fourth = w.starts.pairStart >> 2 | next.starts.pairStart << 62;
        const uint64_t at = w.starts.start & w.bytes.nonZero & nz1 & nz2;
#ifdef __SSE2__
        // Where the text reaches far enough past the word, its 64 hashes are made
        // eight at a time and only the starts' are handed on.
        if (size + readableAfter - base >= kHashedWordReach) {
            uint16_t bits[64];
            hashWord64(p + base, fourth, bits);
            for (uint64_t left = at; left; left &= left - 1) {
                const int j = std::countr_zero(left);
                uint32_t packed;
                std::memcpy(&packed, p + base + size_t(j), 4);
                if constexpr (std::endian::native != std::endian::little)
                    packed = __builtin_bswap32(packed);
                const uint32_t four = uint32_t(fourth >> j) & 1u;
                gram(int(bits[j]), packed & (0xFFFFFFu | (0u - four) << 24));
            }
            continue;
        }
#endif
        for (uint64_t left = at; left; left &= left - 1) {
            const int j = std::countr_zero(left);
            const unsigned char* g = p + base + size_t(j);
            const uint32_t four = uint32_t(fourth >> j) & 1u;
            // g[2 + four] is in the text either way; a three-byte gram drops it.
            const uint32_t b3 = g[2 + four] & (0u - four);
            const uint32_t hash = g[0] + g[1] * 23u + g[2] * 13u + b3 * 2u;
            gram(int(hash % kSignatureBits),
                 g[0] | uint32_t(g[1]) << 8 | uint32_t(g[2]) << 16 | b3 << 24);
        }
    }
}

// The stored-size bit of the gram starting at pos: the characters from pos
// until at least three bytes are collected (four when a double-byte
// character straddles the third byte), hashed by strHash modulo 384. -1
// when fewer than three bytes remain before the end or a NUL byte.
int gramBit(std::string_view text, size_t pos);
// The search-form signature of a text: the bits of the grams at every
// character start.
GramSignature signatureOf(std::string_view text);
// Adds the bits of the text's grams to sig.
void addGrams(GramSignature& sig, std::string_view text);
// Whether a block may hold the search text: fails when more than tolerance
// of the search signature's bits are set in the stored (complemented) block
// signature, that is, missing from the block.
bool signatureTest(const StoredSignature& storedBlock, const StoredSignature& search,
                   int tolerance);
