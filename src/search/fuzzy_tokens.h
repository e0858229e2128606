// Texts as token sequences for fuzzy alignment: one token per character (a
// single byte, or a lead byte with the byte after it), each with a weight by
// its first byte. Tokens are numbered by the search string's dictionary, so a
// character the string lacks gets token 0 and can never anchor an alignment.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/lstr.h"

// A text split into tokens. Token k covers the bytes [offsets[k],
// offsets[k + 1]); weights holds the running sums of the token weights, so
// the weight of tokens [i, j) is weights[j] - weights[i].
struct TokenSeq {
    std::vector<int32_t> ids;
    std::vector<int32_t> offsets;  // count + 1 entries
    std::vector<int64_t> weights;  // count + 1 entries

    int32_t count() const { return int32_t(ids.size()); }
};

// The search string's tokens and the dictionary that numbers characters:
// ids 1 to distinct() for the string's own characters, 0 for all others.
class FuzzyKey {
public:
    explicit FuzzyKey(std::string_view key);

    std::string_view text() const { return text_.view(); }
    const TokenSeq& tokens() const { return tokens_; }
    int32_t distinct() const { return distinct_; }
    // Index of the next token with the same id after k, or count() when none.
    int32_t nextSame(int32_t k) const { return nextSame_[k]; }
    // Index of the first token with the given id (1 to distinct()).
    int32_t firstOf(int32_t id) const { return firstOf_[id]; }

    // Splits text into tokens numbered by this key's dictionary.
    void tokenize(std::string_view text, TokenSeq& out) const;
    // The id of a character code; 0 when the string lacks the character.
    int32_t idOf(int code) const { return ids_[code & 0xFFFF]; }

private:
    LStr text_;
    std::vector<uint16_t> ids_;  // by character code; every code fits in 16 bits
    TokenSeq tokens_;
    int32_t distinct_ = 0;
    std::vector<int32_t> nextSame_;
    std::vector<int32_t> firstOf_;  // by id
};
