// Alternation node.
#include "pattern/nodes/or_rex.h"

#include "support/message_service.h"

LOrRex::LOrRex(std::vector<LRexPtr> branches, uint32_t flags, std::shared_ptr<LRex> ignore)
    : LRex(flags, std::move(ignore)), branches_(std::move(branches)) {}

void LOrRex::reset() {
    nextIdx_ = 0;
    for (auto& b : branches_) b->reset();
}

bool LOrRex::captures() const {
    for (const auto& b : branches_)
        if (b->captures()) return true;
    return false;
}

bool LOrRex::next(LRexCursor& c, bool backward) {
    if (c.halted()) return false;
    while (nextIdx_ < branches_.size()) {
        if (branches_[nextIdx_]->next(c, backward)) {
            if (c.atomicDepth > 0) nextIdx_ = branches_.size();
            return true;
        }
        ++nextIdx_;
    }
    return false;
}

void LOrRex::dump(LStr& out, int indent) const {
    indentTo(out, indent);
    out.append(formatText("or: next_idx=%d\n", int(nextIdx_)));
    for (const auto& b : branches_) b->dump(out, indent + 1);
}
