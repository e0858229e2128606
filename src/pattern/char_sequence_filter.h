// A quick decision for patterns that are a row of single characters: each
// a class or a character of a literal (see oneCharacterEach), or such a piece
// repeated a fixed number of times or without bound ("[0-9]{4}-[0-9]+年").
// Whether a text holds a match is then decided in one pass over its
// characters by shift-and (one state bit per position), so the backtracking
// matcher only runs on texts that hold one. As a line scan it finds the
// lines that hold a match in a whole read buffer.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "pattern/char_positions.h"
#include "support/candidate_scan.h"

class LRex;

class CharSequenceFilter final : public CandidateScan {
public:
    // Null when the pattern is not such a row (or is longer than 64).
    static std::unique_ptr<CharSequenceFilter> forPattern(const LRex& root);

    // Whether some character position of text starts a match.
    bool matches(std::string_view text) const;
    // Where the first match in [p, end) ends (the start of its last
    // character), or end.
    const char* find(const char* p, const char* end) const override;
    // Whether a match may take a line end, so that a line alone cannot tell.
    bool spansLines() const { return (table_.masks['\n'] | table_.masks['\r']) != 0; }

private:
    CharSequenceFilter(const std::vector<const LRex*>& positions, uint64_t loops);

    CharPositionTable table_;
    std::array<bool, 256> startsAt_{};  // the bytes a character of the first position begins with
    uint64_t loops_ = 0;                // positions a character may stay at
    uint64_t accept_ = 0;               // the bit of the last position
};
