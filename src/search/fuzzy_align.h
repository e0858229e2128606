// Weighted greedy alignment of a fuzzy window with the search string. From
// the current positions the aligner looks for the next anchor: a pair of
// equal characters from which both texts agree for long enough, where "long
// enough" grows with the weight of what the pair would skip. The skipped
// characters become pieces found only in the record or only in the search
// string, the agreeing run a common piece; then it goes on after the run.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "search/fuzzy_tokens.h"
#include "search/hit.h"

// One aligned piece as a token range: of the window for common and
// record-only pieces, of the search string for string-only pieces.
struct AlignedPiece {
    FuzzyPiece::Kind kind = FuzzyPiece::kCommon;
    int32_t begin = 0;
    int32_t end = 0;

    int32_t length() const { return end - begin; }
    friend bool operator==(const AlignedPiece&, const AlignedPiece&) = default;
};

// The weight an agreeing run must reach for an anchor whose pair skips
// characters of the given weight (the larger of the two sides).
int32_t anchorThreshold(int64_t skippedWeight);

// Aligns windows of one text with one search string. Keeps its work tables
// between calls, so one aligner serves every window of a search; one thread.
class FuzzyAligner {
public:
    explicit FuzzyAligner(const FuzzyKey& key);

    // Aligns the tokens [first, last) of text (tokenised by the key) with the
    // key; pieces come out in text order. False when the stop flag ended the
    // alignment.
    bool align(const TokenSeq& text, int32_t first, int32_t last,
               std::vector<AlignedPiece>& pieces);

private:
    struct Anchor {
        int32_t window;
        int32_t key;
    };
    // The next anchor from (p0, p1), or the two ends when there is none.
    // False when stopped.
    bool findAnchor(int32_t p0, int32_t p1, Anchor& anchor);
    // Tries the pairs of one token value: its occurrences in the window from
    // i on against those in the key from j0 on.
    bool tryPairs(int32_t i, int32_t j0, int32_t p0, int32_t p1, Anchor& anchor);
    bool runReaches(int32_t i, int32_t j, int32_t threshold) const;
    int32_t runLength(int32_t i, int32_t j) const;
    int32_t firstInKey(int32_t id, int32_t from);
    void prepareWindow();
    void frontShift(std::vector<AlignedPiece>& pieces) const;
    bool tick();

    const FuzzyKey& key_;
    // The window (sequence 0) and the key (sequence 1).
    const int32_t* ids0_ = nullptr;
    const int64_t* weights0_ = nullptr;
    int32_t n0_ = 0;
    const int32_t* ids1_ = nullptr;
    const int64_t* weights1_ = nullptr;
    int32_t n1_ = 0;

    std::vector<int32_t> next0_;      // next window token with the same id
    std::vector<int32_t> following_;  // by id, while next0_ is built
    std::vector<int32_t> cursor_;     // by id: first key occurrence not before p1
    std::vector<uint32_t> tried_;     // by id: the anchor search that tried the id
    uint32_t search_ = 0;
    uint32_t steps_ = 0;
    bool stopped_ = false;
};

// The text pieces of an alignment: common and record-only pieces take their
// bytes from record (laid out like the tokenised text, whose tokens
// [first, ...) were aligned), string-only pieces from the key.
void appendPieceTexts(const std::vector<AlignedPiece>& aligned, std::string_view record,
                      const TokenSeq& text, int32_t first, const FuzzyKey& key,
                      std::vector<FuzzyPiece>& out);
// The match rate of an alignment.
int32_t rateOf(const std::vector<AlignedPiece>& pieces);

// Aligns a window text with a search string. False only when the stop flag
// ended the alignment.
bool alignTexts(std::string_view window, std::string_view searchString,
                std::vector<FuzzyPiece>& pieces);
