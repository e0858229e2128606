// A quick decision for patterns built of single characters by sequence,
// alternation, groups and repetition ("[0-9]+(円|ドル)", "(foo|bar)[0-9]*baz"),
// without anchors, assertions, references or atomic groups. Each character
// of the pattern is a position; a bit-parallel run of the position automaton
// over a text's characters tells whether it holds a match, so the
// backtracking matcher only runs on texts that do. Row-shaped patterns have
// the faster CharSequenceFilter.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "pattern/char_positions.h"
#include "support/candidate_scan.h"

class LRex;

class PositionFilter final : public CandidateScan {
public:
    // Null when the pattern is not of that kind, has more than 64
    // positions, or matches the empty string.
    static std::unique_ptr<PositionFilter> forPattern(const LRex& root);

    bool matches(std::string_view text) const;
    // Where the first match in [p, end) ends (the start of its last
    // character), or end.
    const char* find(const char* p, const char* end) const override;
    // Whether a match may take a line end, so that a line alone cannot tell.
    bool spansLines() const { return (table_.masks['\n'] | table_.masks['\r']) != 0; }

private:
    PositionFilter(const std::vector<const LRex*>& positions, const std::vector<uint64_t>& follows,
                   uint64_t first, uint64_t last);
    uint64_t follow(uint64_t state) const;

    CharPositionTable table_;
    // follow_[k][b]: the positions that may come after those of byte k of a
    // state being b.
    std::vector<std::array<uint64_t, 256>> follow_;
    std::array<bool, 256> startsAt_{};  // the bytes a character of a first position begins with
    uint64_t first_ = 0;                // positions a match may begin at
    uint64_t last_ = 0;                 // positions a match may end at
};
