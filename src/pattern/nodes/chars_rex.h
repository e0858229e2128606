// LCharsRex: a character class, a list of code ranges, possibly negated. The
// membership of every single-byte code is computed once at construction
// (folding included), so the common test is one table load.
#pragma once
#include <array>
#include <utility>

#include "pattern/nodes/rex.h"

class LCharsRex : public LRex {
public:
    using Range = std::pair<int, int>;  // lo, hi character codes
    LCharsRex(std::vector<Range> ranges, bool negated, uint32_t flags,
              std::shared_ptr<LRex> ignore);

    void reset() override { btc_ = false; }
    bool next(LRexCursor& c, bool backward) override;
    bool isVariable() const override { return false; }
    void dump(LStr& out, int indent) const override;
    LRexPtr clone() const override;
    bool firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const override;
    std::unique_ptr<LRexReq> requirements() const override;

    // Whether the character code is in the class (negation applied).
    bool contains(int code) const { return code < 256 ? single_[code] : containsSlow(code); }
    const std::vector<Range>& ranges() const { return ranges_; }
    bool negated() const { return negated_; }

private:
    bool inRanges(int code) const;
    bool containsSlow(int code) const;

    std::vector<Range> ranges_;
    bool negated_;
    bool btc_ = false;
    std::array<bool, 256> single_{};
};
