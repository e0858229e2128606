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

LRexPtr LRepRex::clone() const {
    auto copy =
        std::make_unique<LRepRex>(child_->clone(), min_, max_, lazy_, flags(), sharedIgnore());
    copy->origin_ = origin_;
    return copy;
}

void LRepRex::reset() {
    its_.clear();
    if (childCaptures_) saved_.clear();
    fill_ = 0;
    started_ = done_ = answered_ = yielded_ = false;
}

namespace {
// Copies of a child per repetition; deeper iterations share one more copy
// and replay it, so memory stays bounded on very long texts.
constexpr size_t kMaxCopies = 1024;
}  // namespace

bool LRepRex::copyNext(LRexCursor& c, size_t iteration, bool fresh, bool backward) {
    if (iteration > kMaxCopies) return sharedChildNext(c, iteration, fresh, backward);
    LRex& child = *copies_[iteration - 1];
    if (fresh) child.reset();
    return child.next(c, backward);
}

// The shared child is reset and replayed up to the iteration's answer. It
// runs without the memo, which grows meanwhile, so that the replay meets
// the same answers in the same order.
bool LRepRex::sharedChildNext(LRexCursor& c, size_t iteration, bool fresh, bool backward) {
    if (!shared_) shared_ = child_->clone();
    LRexCursor inner = c;
    inner.memo = nullptr;
    const char* start = c.cur;
    const int32_t hits = c.hitCount();
    shared_->reset();
    for (int32_t r = fresh ? 0 : its_[iteration].taken; r > 0; --r) {
        if (!shared_->next(inner, backward)) return false;
        inner.cur = start;
        inner.truncateHits(hits);
    }
    const bool found = shared_->next(inner, backward);
    c.cur = inner.cur;
    return found;
}

// Puts the cursor and the captures where they were after the first iterations.
void LRepRex::restoreAfter(LRexCursor& c, size_t iterations) {
    c.cur = iterations ? its_[iterations - 1].end : base_;
    if (!childCaptures_) return;
    if (iterations == 0) {
        c.truncateHits(baseHits_);
    } else if (c.hits) {
        const size_t to = iterations < its_.size() ? its_[iterations].savedAt : saved_.size();
        c.hits->assign(saved_.begin() + its_[iterations - 1].savedAt, saved_.begin() + to);
    }
}

// Records the captures after the last iteration (replacing earlier ones).
void LRepRex::saveCaptures(const LRexCursor& c) {
    if (!childCaptures_) return;
    Iteration& it = its_.back();
    it.savedAt = std::min(it.savedAt, saved_.size());
    saved_.resize(it.savedAt);
    if (c.hits) saved_.insert(saved_.end(), c.hits->begin(), c.hits->end());
}

// The memo speaks of positions reached by a non-empty iteration with at
// least min iterations: from there on the repetition behaves the same
// whichever way the text before was split.
bool LRepRex::knownFailed(const LRexCursor& c) {
    if (!c.memo || c.atomicDepth > 0 || its_.empty() || count() < min_) return false;
    const Iteration& it = its_.back();
    return it.end != it.start && memoSlot(c) >= 0 && c.memo->failed(memoSlot_, it.end);
}

void LRepRex::noteFailed(LRexCursor& c) {
    if (!c.memo || c.atomicDepth > 0 || its_.empty() || count() < min_) return;
    const Iteration& it = its_.back();
    if (it.end != it.start && memoSlot(c) >= 0) c.memo->markFailed(memoSlot_, it.end);
}

LRepRex::Step LRepRex::addIteration(LRexCursor& c, bool backward) {
    const char* start = c.cur;
    int32_t hits = c.hitCount();
    if (childVariable_ && its_.size() > copies_.size() && copies_.size() < kMaxCopies)
        copies_.push_back(child_->clone());
    if (!childNext(c, its_.size(), true, backward)) {
        c.cur = start;
        c.truncateHits(hits);
        return Step::Failed;
    }
    its_.push_back({start, c.cur, saved_.size(), 1});
    saveCaptures(c);
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
    saved_.resize(std::min(its_.back().savedAt, saved_.size()));
    its_.pop_back();
}

// Moves the last iteration to its next alternative; when it has none the
// iteration is dropped and the cursor stands at its start.
LRepRex::Step LRepRex::advanceLast(LRexCursor& c, bool backward) {
    fill_ = 0;
    restoreAfter(c, its_.size() - 1);
    Iteration& it = its_.back();
    if (childVariable_ && childNext(c, its_.size() - 1, false, backward)) {
        ++it.taken;
        it.end = c.cur;
        saveCaptures(c);
        if (c.cur != it.start) return Step::Moved;
        if (belowMinBefore(its_.size() - 1)) {
            fill_ = std::max<int64_t>(0, int64_t(min_) - int64_t(its_.size()));
            return Step::Empty;
        }
    }
    popLast(c);
    return Step::Failed;
}

// Adds iterations while the child matches; false when it stopped at a
// position the memo knows to fail.
bool LRepRex::extendGreedy(LRexCursor& c, bool backward) {
    while (int64_t(its_.size()) < max_) {
        if (addIteration(c, backward) != Step::Moved) return true;
        if (knownFailed(c)) return false;
    }
    return true;
}

bool LRepRex::finish(LRexCursor& c) {
    done_ = true;
    its_.clear();
    if (childCaptures_) saved_.clear();
    fill_ = 0;
    c.cur = base_;
    c.truncateHits(baseHits_);
    return false;
}

bool LRepRex::nextGreedy(LRexCursor& c, bool backward) {
    if (!started_) {
        started_ = true;
        if (extendGreedy(c, backward) && count() >= min_) return answer();
    } else if (c.atomicDepth > 0 && answered_) {
        return finish(c);
    }
    for (;;) {
        if (its_.empty() || (c.control && c.control->stopped())) return finish(c);
        noteFailed(c);  // everything after the last iteration's end was rejected
        Step s = advanceLast(c, backward);
        if (s == Step::Moved && (knownFailed(c) || !extendGreedy(c, backward))) continue;
        if (count() >= min_) return answer();
    }
}

bool LRepRex::nextLazy(LRexCursor& c) {
    if (started_ && c.atomicDepth > 0 && answered_) return finish(c);
    if (started_) restoreAfter(c, its_.size());
    started_ = true;
    for (;;) {
        const bool dead = !yielded_ && knownFailed(c);
        if (!yielded_ && !dead && count() >= min_) {
            yielded_ = true;
            return answer();
        }
        if (!dead && fill_ == 0 && count() < max_) {
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
            noteFailed(c);
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
        memoSlot_ = kSlotUnknown;
    }
    return lazy_ && !backward ? nextLazy(c) : nextGreedy(c, backward);
}

void LRepRex::dump(LStr& out, int indent) const {
    indentTo(out, indent);
    out.append(formatText("rep: modF=%d btRep=%d, %d-%d\n", int(lazy_),
                          started_ ? int(count()) : -1, min_, max_));
    child_->dump(out, indent + 1);
}
