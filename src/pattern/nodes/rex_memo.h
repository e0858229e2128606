// LRexMemo: the failure memo of one search. A repetition whose outcome cannot
// depend on captures records the positions where, after enough iterations,
// everything that can follow was tried and rejected; reaching such a position
// again by another split of the text is then rejected at once. This keeps
// patterns such as "(a|aa)*c" or "(x+x+)+y" linear in the text instead of
// exponential, as in bit-state backtracking: one bit per (node, position),
// and no memo at all when that would take too much memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class LRex;

class LRexMemo {
public:
    // The repetitions that may use the memo, found by memoCandidates().
    void setNodes(std::vector<const LRex*> nodes);
    bool empty() const { return nodes_.empty(); }
    // Forgets every entry: a new text from start to end.
    void begin(const char* start, const char* end);

    // The slot of a repetition (the original node of a copy), or -1.
    int slotOf(const LRex* node) const {
        for (size_t i = 0; i < nodes_.size(); ++i)
            if (nodes_[i] == node) return int(i);
        return -1;
    }
    bool failed(int slot, const char* pos) const {
        if (!active_) return false;
        const size_t bit = size_t(slot) * positions_ + size_t(pos - start_);
        return (bits_[bit >> 6] >> (bit & 63)) & 1;
    }
    void markFailed(int slot, const char* pos);

private:
    std::vector<const LRex*> nodes_;
    std::vector<uint64_t> bits_;
    const char* start_ = nullptr;
    size_t positions_ = 0;
    bool active_ = false;  // bits_ cleared for this text
};

// The repetitions of the tree under root whose failure at a position holds
// whatever led there: unbounded, outside repetitions with a finite maximum or
// a minimum above one, in a pattern without back references.
std::vector<const LRex*> memoCandidates(const LRex& root);
