// LRepRex: repetition of a child between min and max times, greedy (longest
// first) or lazy (shortest first).
//
// The state is one entry per iteration: where it started and ended, and the
// captures after it. Each iteration past the first runs its own copy of a
// child that has alternatives, so moving an iteration to its next
// alternative resumes that copy. An iteration that matches the empty string
// ends the repetition; below min it stands for all the missing iterations
// (repeating an empty match changes nothing). With a failure memo in the
// cursor, a repetition rejects at once a position where everything
// after it already failed.
#pragma once
#include "pattern/nodes/rex.h"
#include "pattern/nodes/rex_memo.h"

class LRepRex : public LRex {
public:
    LRepRex(LRexPtr child, int32_t min, int32_t max, bool lazy, uint32_t flags,
            std::shared_ptr<LRex> ignore);

    void reset() override;
    bool next(LRexCursor& c, bool backward) override;
    void dump(LStr& out, int indent) const override;
    LRexPtr clone() const override;
    bool firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const override;
    std::unique_ptr<LRexReq> requirements() const override;
    bool captures() const override { return child_->captures(); }
    void children(std::vector<const LRex*>& out) const override { out.push_back(child_.get()); }

    int32_t min() const { return min_; }
    int32_t max() const { return max_; }
    bool lazy() const { return lazy_; }
    LRex* child() const { return child_.get(); }

private:
    struct Iteration {
        const char* start;
        const char* end;
        size_t savedAt;  // where its captures start in saved_
        int32_t taken;   // answers of the child so far (for a replay)
    };
    enum class Step { Moved, Empty, Failed };

    int64_t count() const { return int64_t(its_.size()) + fill_; }
    bool belowMinBefore(size_t iterations) const { return int64_t(iterations) < min_; }
    // Asks the child of an iteration for its first (fresh) or next answer. A
    // child without alternatives keeps no state between answers, so every
    // iteration can share it.
    bool childNext(LRexCursor& c, size_t iteration, bool fresh, bool backward) {
        if (childVariable_ && iteration > 0) return copyNext(c, iteration, fresh, backward);
        if (fresh) child_->reset();
        return child_->next(c, backward);
    }
    bool copyNext(LRexCursor& c, size_t iteration, bool fresh, bool backward);
    bool sharedChildNext(LRexCursor& c, size_t iteration, bool fresh, bool backward);
    void restoreAfter(LRexCursor& c, size_t iterations);
    void saveCaptures(const LRexCursor& c);
    bool knownFailed(const LRexCursor& c);
    void noteFailed(LRexCursor& c);
    // Looked up when first needed: most attempts fail before the memo matters.
    int memoSlot(const LRexCursor& c) {
        if (memoSlot_ == kSlotUnknown) memoSlot_ = c.memo->slotOf(origin_);
        return memoSlot_;
    }
    Step addIteration(LRexCursor& c, bool backward);
    Step advanceLast(LRexCursor& c, bool backward);
    void popLast(LRexCursor& c);
    bool extendGreedy(LRexCursor& c, bool backward);
    bool nextGreedy(LRexCursor& c, bool backward);
    bool nextLazy(LRexCursor& c);
    bool answer() { return answered_ = true; }
    bool finish(LRexCursor& c);

    LRexPtr child_;
    int32_t min_, max_;
    bool lazy_;
    bool childVariable_;
    bool childCaptures_;

    const LRepRex* origin_ = this;  // the node a copy was made from (memo identity)
    std::vector<LRexPtr> copies_;   // children of iterations 1, 2, ...
    LRexPtr shared_;                // child of the iterations past the copies
    std::vector<Iteration> its_;
    std::vector<LRexHit> saved_;  // captures after each iteration, in a row
    static constexpr int kSlotUnknown = -2;
    int memoSlot_ = kSlotUnknown;  // -1: no memo for this node
    int64_t fill_ = 0;             // empty iterations standing in for the rest up to min
    const char* base_ = nullptr;
    int32_t baseHits_ = 0;
    bool started_ = false;
    bool done_ = false;
    bool answered_ = false;
    bool yielded_ = false;  // lazy: the current count was already given
};
