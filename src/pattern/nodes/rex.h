// LRex: the base of every pattern node, and what a match attempt carries
// around: the cursor, the capture records and the stop control.
//
// Matching is backtracking over generators. After reset(), each call of
// next() yields the node's next alternative match at the cursor (moving
// cursor.cur to its end, or to its start when matching backward) or fails and
// leaves cursor.cur where it was. Callers put the cursor back at the node's
// start before asking again. Nodes keep their enumeration state in themselves,
// so one tree serves one thread at a time.
#pragma once
#include <atomic>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/lstr.h"
#include "pattern/rex_flags.h"

struct LRexReq;
class LRexMemo;

// One capture record; text is null while the group has not matched.
struct LRexHit {
    const char* text = nullptr;
    int32_t len = 0;
    const char* name = nullptr;  // the group's name (owned by its node) or null
};
// Entry n belongs to the group numbered n.
using LRexHitList = std::vector<LRexHit>;

// Lookup by name: a name beginning with a digit k means entry k - 1 (only
// when it holds a text); any other name is compared with the entries' names.
const LRexHit* findHit(const LRexHitList& hits, std::string_view name);

// Stop control shared by every cursor of one search. The flag is polled only
// every few thousand steps so that the check costs nothing measurable.
class LRexStopControl {
public:
    void setFlag(const std::atomic<int>* flag) { atomicFlag_ = flag; }
    void setFlag(const volatile int* flag) { plainFlag_ = flag; }
    // Stops a search after about this many steps (0: no limit).
    void setStepLimit(uint64_t steps) { stepLimit_ = steps; }
    void clear() {
        steps_ = 0;
        stopped_ = false;
    }
    bool stopped() const { return stopped_; }
    // Counts one step; true once the search must stop.
    bool step() {
        if ((++steps_ & 0xFFF) != 0) return stopped_;
        return stopped_ = poll();
    }

private:
    bool poll() const {
        if (stepLimit_ && steps_ >= stepLimit_) return true;
        if (atomicFlag_ && atomicFlag_->load(std::memory_order_relaxed)) return true;
        if (plainFlag_ && *plainFlag_) return true;
        return false;
    }
    const std::atomic<int>* atomicFlag_ = nullptr;
    const volatile int* plainFlag_ = nullptr;
    uint64_t steps_ = 0;
    uint64_t stepLimit_ = 0;
    bool stopped_ = false;
};

struct LRexCursor {
    const char* cur = nullptr;
    const char* start = nullptr;  // first byte of the text
    const char* end = nullptr;    // one past the last byte
    LRexHitList* hits = nullptr;  // captures go here when set
    int atomicDepth = 0;          // > 0 inside an atomic group
    LRexStopControl* control = nullptr;
    LRexMemo* memo = nullptr;  // failure memo of the search, when it has one

    bool halted() { return control && control->step(); }
    int32_t hitCount() const { return hits ? int32_t(hits->size()) : 0; }
    void truncateHits(int32_t n) {
        if (hits && int32_t(hits->size()) > n) hits->resize(n);
    }
};

// What a node is, as far as the parser's merging and the searcher's
// literal-prefix scan need to know.
enum class RexKind {
    General,   // anything not named below
    Literal,   // LFlatRex: a fixed text
    Empty,     // LEmptyRex: the empty string (a whole pattern of it never matches)
    Sequence,  // LSeqRex: items in a row
};

// A set of byte values (the start-byte prefilter's building block).
using LRexByteSet = std::bitset<256>;

class LRex {
public:
    LRex(uint32_t flags, std::shared_ptr<LRex> ignore)
        : flags_(flags), ignore_(std::move(ignore)) {}
    virtual ~LRex() = default;
    LRex(const LRex&) = delete;
    LRex& operator=(const LRex&) = delete;

    // Forgets the enumeration state; the next `next` gives the first answer.
    virtual void reset() = 0;
    virtual bool next(LRexCursor& c, bool backward) = 0;
    // Whether the node can produce more than one alternative.
    virtual bool isVariable() const { return true; }
    virtual RexKind kind() const { return RexKind::General; }
    // Debug text, indent spaces before each line.
    virtual void dump(LStr& out, int indent) const = 0;
    // Adds every byte that can stand at offset k of a match to set, or pushes
    // offsets that belong to what follows the node; false: cannot tell.
    virtual bool firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const;
    // The literal pieces every match contains.
    virtual std::unique_ptr<LRexReq> requirements() const;
    // Whether the node or a node below it records captures.
    virtual bool captures() const { return false; }
    // Appends the direct children (tree walks of the analyses).
    virtual void children(std::vector<const LRex*>&) const {}
    // A copy of the subtree in its reset state. A repetition gives each
    // iteration its own copy of a child with alternatives, so that moving an
    // iteration to its next alternative needs no replay.
    virtual std::unique_ptr<LRex> clone() const = 0;

    uint32_t flags() const { return flags_; }
    LRex* ignore() const { return ignore_.get(); }
    void addFlags(uint32_t f) { flags_ |= f; }

    // Moves the cursor over a run of matches of the ignore pattern.
    void skipIgnorable(LRexCursor& c, bool backward) const;

protected:
    static void indentTo(LStr& out, int indent);
    const std::shared_ptr<LRex>& sharedIgnore() const { return ignore_; }

private:
    uint32_t flags_;
    std::shared_ptr<LRex> ignore_;  // shared by every node made in its scope
};

using LRexPtr = std::unique_ptr<LRex>;

inline std::vector<LRexPtr> cloneAll(const std::vector<LRexPtr>& nodes) {
    std::vector<LRexPtr> out;
    out.reserve(nodes.size());
    for (const auto& n : nodes) out.push_back(n->clone());
    return out;
}
