// Gram signatures: 384-bit summaries of a text, one bit per hash value of the
// three-byte character grams in it. A block whose stored signature lacks a
// gram of the search string cannot hold the string and is skipped. Block
// signatures are stored complemented: a set bit means "no gram has this bit".
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

inline constexpr int kSignatureBits = 384;
inline constexpr int kSignatureWords = kSignatureBits / 32;
inline constexpr int kSignatureBytes = kSignatureBits / 8;

// Bit n is bit (n % 32) of word n / 32, which is bit (n % 8) of byte n / 8 in
// the little-endian byte form written to index files.
struct GramSignature {
    std::array<uint32_t, kSignatureWords> words{};

    void set(int bit) { words[bit >> 5] |= 1u << (bit & 31); }
    bool test(int bit) const { return words[bit >> 5] >> (bit & 31) & 1u; }
    bool none() const;
    int count() const;
    // Every bit flipped (the stored form of a block signature).
    GramSignature complemented() const;
    GramSignature& operator|=(const GramSignature& o);

    void toBytes(uint8_t (&out)[kSignatureBytes]) const;
    static GramSignature fromBytes(const uint8_t* bytes);

    friend bool operator==(const GramSignature&, const GramSignature&) = default;
};
static_assert(sizeof(GramSignature) == kSignatureBytes);

// The bit of the gram starting at pos: the characters from pos until at least
// three bytes are collected (four when a double-byte character straddles the
// third byte), hashed by strHash modulo 384. -1 when fewer than three bytes
// remain before the end or a NUL byte.
int gramBit(std::string_view text, size_t pos);
// The search-form signature of a text: the bits of the grams at every
// character start.
GramSignature signatureOf(std::string_view text);
// Adds the bits of the text's grams to sig.
void addGrams(GramSignature& sig, std::string_view text);
// Whether a block may hold the search text: fails when more than tolerance
// of the search signature's bits are set in the stored (complemented) block
// signature, that is, missing from the block.
bool signatureTest(const GramSignature& storedBlock, const GramSignature& search, int tolerance);
