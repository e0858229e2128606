// Sequence node: an iterative depth-first walk over the pieces, so a long
// sequence never deepens the call stack.
#include "pattern/nodes/seq_rex.h"

#include "support/message_service.h"

LSeqRex::LSeqRex(std::vector<LRexPtr> items, uint32_t flags, std::shared_ptr<LRex> ignore)
    : LRex(flags, std::move(ignore)), items_(std::move(items)), snaps_(items_.size()) {}

void LSeqRex::reset() {
    started_ = false;
    done_ = false;
    for (auto& item : items_) item->reset();
}

bool LSeqRex::isVariable() const {
    for (const auto& item : items_)
        if (item->isVariable()) return true;
    return false;
}

bool LSeqRex::captures() const {
    for (const auto& item : items_)
        if (item->captures()) return true;
    return false;
}

bool LSeqRex::next(LRexCursor& c, bool backward) {
    const size_t n = items_.size();
    if (n == 0 || done_ || c.halted()) return false;
    size_t step;
    if (!started_) {
        started_ = true;
        snaps_[0] = {c.cur, c.hitCount()};
        step = 0;
    } else {
        step = n - 1;  // ask the last piece for its next alternative
        c.cur = snaps_[step].cur;
        c.truncateHits(snaps_[step].hitCount);
    }
    for (;;) {
        if (itemAt(step, backward).next(c, backward)) {
            if (step + 1 == n) return true;
            ++step;
            snaps_[step] = {c.cur, c.hitCount()};
            itemAt(step, backward).reset();
            continue;
        }
        if (step == 0 || (c.control && c.control->stopped())) {
            c.cur = snaps_[0].cur;
            c.truncateHits(snaps_[0].hitCount);
            done_ = true;
            return false;
        }
        --step;
        c.cur = snaps_[step].cur;
        c.truncateHits(snaps_[step].hitCount);
    }
}

void LSeqRex::dump(LStr& out, int indent) const {
    indentTo(out, indent);
    out.append("seq: st=");
    for (size_t i = 0; i < items_.size(); ++i) {
        if (i) out.append(',');
        out.append(started_ ? 'Y' : 'N');
    }
    out.append('\n');
    for (const auto& item : items_) item->dump(out, indent + 1);
}
