// Gram signatures: summaries of a text, bits chosen by hashing the
// three-byte character grams in it. A block whose signature lacks a gram of
// the search string cannot hold the string and is skipped. Index files keep
// 384 bits per block (stored complemented: a set bit means "no gram has this
// bit"); the companion rows file keeps a wider filter of kWideBits per block
// from an independent hash of the same grams.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/ctype_table.h"

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

// Calls gram(narrowBit, packed) for the gram at every character start: the
// three bytes there, plus a fourth when the third begins a double-byte
// character; a NUL among them gives none. narrowBit is strHash of the gram
// modulo 384 (the stored signature's bit).
template <class Gram>
inline void forEachGram(std::string_view text, Gram&& gram) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t end = text.size();
    // A gram needs three bytes, so the last two positions never give one.
    for (size_t pos = 0; pos + 2 < end;) {
        const unsigned char b0 = p[pos], b1 = p[pos + 1], b2 = p[pos + 2];
        const bool pair0 = isLeadByte(b0) && b1 != 0;
        if (b0 != 0 && b1 != 0 && b2 != 0) {
            const bool thirdStarts = pair0 || !isLeadByte(b1);
            uint32_t hash = b0 + b1 * 23u + b2 * 13u;
            uint32_t packed = b0 | uint32_t(b1) << 8 | uint32_t(b2) << 16;
            if (thirdStarts && isLeadByte(b2) && pos + 3 < end && p[pos + 3] != 0) {
                hash += p[pos + 3] * 2u;
                packed |= uint32_t(p[pos + 3]) << 24;
            }
            gram(int(hash % kSignatureBits), packed);
        }
        pos += pair0 ? 2 : 1;
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
