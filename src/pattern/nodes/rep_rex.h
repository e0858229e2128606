// LRepRex: repetition of a child between min and max times, greedy (longest
// first) or lazy (shortest first).
//
// The state is one entry per iteration: where it started, the capture count
// there, and which alternative of the child it uses. The child is one node
// shared by all iterations, so to move an iteration to its next alternative
// the child is reset and replayed up to the alternative in use; iterations
// before it keep their recorded positions. An iteration that matches the
// empty string ends the repetition; below min it stands for all the missing
// iterations (repeating an empty match changes nothing).
#pragma once
#include "pattern/nodes/rex.h"

class LRepRex : public LRex {
public:
    LRepRex(LRexPtr child, int32_t min, int32_t max, bool lazy, uint32_t flags,
            std::shared_ptr<LRex> ignore);

    void reset() override;
    bool next(LRexCursor& c, bool backward) override;
    void dump(LStr& out, int indent) const override;
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
        int32_t alt;  // alternatives of the child taken so far (1 = first)
    };
    enum class Step { Moved, Empty, Failed };

    int64_t count() const { return int64_t(its_.size()) + fill_; }
    bool belowMinBefore(size_t iterations) const { return int64_t(iterations) < min_; }
    void restoreAfter(LRexCursor& c, size_t iterations, bool backward);
    Step addIteration(LRexCursor& c, bool backward);
    Step advanceLast(LRexCursor& c, bool backward);
    void popLast(LRexCursor& c);
    void extendGreedy(LRexCursor& c, bool backward);
    bool nextGreedy(LRexCursor& c, bool backward);
    bool nextLazy(LRexCursor& c);
    bool answer() { return answered_ = true; }
    bool finish(LRexCursor& c);

    LRexPtr child_;
    int32_t min_, max_;
    bool lazy_;
    bool childVariable_;
    bool childCaptures_;

    std::vector<Iteration> its_;
    int64_t fill_ = 0;  // empty iterations standing in for the rest up to min
    const char* base_ = nullptr;
    int32_t baseHits_ = 0;
    bool started_ = false;
    bool done_ = false;
    bool answered_ = false;
    bool yielded_ = false;  // lazy: the current count was already given
};
