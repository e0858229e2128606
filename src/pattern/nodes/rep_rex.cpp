// Repetition node: greedy answers come longest first, then with other
// alternatives of the last iteration, then shorter; lazy answers walk the
// same tree shortest first.
#include "pattern/nodes/rep_rex.h"

#include "support/message_service.h"

LRepRex::LRepRex(LRexPtr child, int32_t min, int32_t max, bool lazy, uint32_t flags,
                 std::shared_ptr<LRex> ignore)
    : LRex(flags, std::move(ignore)),
      child_(std::move(child)),
      min_(min),
      max_(max),
      lazy_(lazy),
      childVariable_(child_->isVariable()),
      childCaptures_(child_->captures()) {}

void LRepRex::reset() {
    its_.clear();
    fill_ = 0;
    started_ = done_ = answered_ = yielded_ = false;
}

// Puts the cursor after the first iterations. Captures recorded by them were
// dropped when the caller backtracked, so a capturing child is replayed.
void LRepRex::restoreAfter(LRexCursor& c, size_t iterations, bool backward) {
    if (!childCaptures_) {
        c.cur = iterations ? its_[iterations - 1].end : base_;
        return;
    }
    c.cur = base_;
    c.truncateHits(baseHits_);
    for (size_t j = 0; j < iterations; ++j) {
        const Iteration& it = its_[j];
        child_->reset();
        for (int32_t r = 0; r < it.alt; ++r) {
            c.cur = it.start;
            if (!child_->next(c, backward)) break;
        }
        c.cur = it.end;
    }
}

LRepRex::Step LRepRex::addIteration(LRexCursor& c, bool backward) {
    const char* start = c.cur;
    int32_t hits = c.hitCount();
    child_->reset();
    if (!child_->next(c, backward)) {
        c.cur = start;
        c.truncateHits(hits);
        return Step::Failed;
    }
    its_.push_back({start, c.cur, 1});
    if (c.cur != start) return Step::Moved;
    if (belowMinBefore(its_.size() - 1)) {
        fill_ = std::max<int64_t>(0, int64_t(min_) - int64_t(its_.size()));
        return Step::Empty;
    }
    popLast(c);  // an empty iteration at or above min ends the repetition
    return Step::Failed;
}

void LRepRex::popLast(LRexCursor& c) {
    c.cur = its_.back().start;
    its_.pop_back();
}

// Moves the last iteration to its next alternative; when it has none the
// iteration is dropped and the cursor stands at its start.
LRepRex::Step LRepRex::advanceLast(LRexCursor& c, bool backward) {
    fill_ = 0;
    restoreAfter(c, its_.size() - 1, backward);
    Iteration& it = its_.back();
    const int32_t hits = c.hitCount();
    if (childVariable_) {
        child_->reset();
        bool replayed = true;
        for (int32_t r = 0; r < it.alt && replayed; ++r) {
            replayed = child_->next(c, backward);
            c.cur = it.start;
            c.truncateHits(hits);
        }
        if (replayed && child_->next(c, backward)) {
            ++it.alt;
            it.end = c.cur;
            if (c.cur != it.start) return Step::Moved;
            if (belowMinBefore(its_.size() - 1)) {
                fill_ = std::max<int64_t>(0, int64_t(min_) - int64_t(its_.size()));
                return Step::Empty;
            }
        }
    }
    popLast(c);
    return Step::Failed;
}

void LRepRex::extendGreedy(LRexCursor& c, bool backward) {
    while (int64_t(its_.size()) < max_) {
        if (addIteration(c, backward) != Step::Moved) return;
    }
}

bool LRepRex::finish(LRexCursor& c) {
    done_ = true;
    its_.clear();
    fill_ = 0;
    c.cur = base_;
    c.truncateHits(baseHits_);
    return false;
}

bool LRepRex::nextGreedy(LRexCursor& c, bool backward) {
    if (!started_) {
        started_ = true;
        extendGreedy(c, backward);
        if (count() >= min_) return answer();
    } else if (c.atomicDepth > 0 && answered_) {
        return finish(c);
    }
    for (;;) {
        if (its_.empty() || (c.control && c.control->stopped())) return finish(c);
        Step s = advanceLast(c, backward);
        if (s == Step::Moved) extendGreedy(c, backward);
        if (count() >= min_) return answer();
    }
}

bool LRepRex::nextLazy(LRexCursor& c) {
    if (started_ && c.atomicDepth > 0 && answered_) return finish(c);
    if (started_) restoreAfter(c, its_.size(), false);
    started_ = true;
    for (;;) {
        if (!yielded_ && count() >= min_) {
            yielded_ = true;
            return answer();
        }
        if (fill_ == 0 && count() < max_) {
            Step s = addIteration(c, false);
            if (s != Step::Failed) {
                yielded_ = false;
                continue;
            }
        }
        // No longer answer from here: give the last iteration its next
        // alternative, dropping iterations that have none.
        for (;;) {
            if (its_.empty() || (c.control && c.control->stopped())) return finish(c);
            if (advanceLast(c, false) != Step::Failed) break;
        }
        yielded_ = false;
    }
}

bool LRepRex::next(LRexCursor& c, bool backward) {
    if (done_ || c.halted()) return false;
    if (!started_) {
        base_ = c.cur;
        baseHits_ = c.hitCount();
    }
    return lazy_ && !backward ? nextLazy(c) : nextGreedy(c, backward);
}

void LRepRex::dump(LStr& out, int indent) const {
    indentTo(out, indent);
    out.append(formatText("rep: modF=%d btRep=%d, %d-%d\n", int(lazy_),
                          started_ ? int(count()) : -1, min_, max_));
    child_->dump(out, indent + 1);
}
