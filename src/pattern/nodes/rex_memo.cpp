// Failure memo and the analysis that decides which repetitions may use it.
#include "pattern/nodes/rex_memo.h"

#include <algorithm>

#include "pattern/nodes/ref_rex.h"
#include "pattern/nodes/rep_rex.h"
#include "pattern/nodes/sp_rex.h"
#include "pattern/rex_flags.h"

namespace {

// Bits of one search's memo at most (8 MiB); a longer text searches without.
constexpr size_t kMaxBits = size_t(1) << 26;
constexpr size_t kMaxNodes = 32;

bool hasReference(const LRex& node) {
    if (dynamic_cast<const LRefRex*>(&node)) return true;
    std::vector<const LRex*> kids;
    node.children(kids);
    return std::any_of(kids.begin(), kids.end(), [](const LRex* k) { return hasReference(*k); });
}

// fixedContext: whatever follows the node judges its answers by their end
// position alone.
void collect(const LRex& node, bool fixedContext, std::vector<const LRex*>& out) {
    bool childContext = fixedContext;
    if (auto* rep = dynamic_cast<const LRepRex*>(&node)) {
        const bool unbounded = rep->max() == kRexUnbounded;
        if (fixedContext && unbounded) out.push_back(&node);
        childContext = fixedContext && unbounded && rep->min() <= 1;
    } else if (auto* sp = dynamic_cast<const LSpRex*>(&node)) {
        // A look-around takes the first answer of its body wherever it stands.
        if (sp->type() == SpType::Ahead || sp->type() == SpType::NotAhead) childContext = true;
    }
    std::vector<const LRex*> kids;
    node.children(kids);
    for (const LRex* k : kids) collect(*k, childContext, out);
}

}  // namespace

std::vector<const LRex*> memoCandidates(const LRex& root) {
    std::vector<const LRex*> out;
    if (hasReference(root)) return out;
    collect(root, true, out);
    if (out.size() > kMaxNodes) out.resize(kMaxNodes);
    return out;
}

void LRexMemo::setNodes(std::vector<const LRex*> nodes) {
    nodes_ = std::move(nodes);
    active_ = false;
}

void LRexMemo::begin(const char* start, const char* end) {
    start_ = start;
    positions_ = size_t(end - start) + 1;
    active_ = false;
}

void LRexMemo::markFailed(int slot, const char* pos) {
    if (!active_) {
        const size_t bits = nodes_.size() * positions_;
        if (bits > kMaxBits) return;
        bits_.assign((bits + 63) / 64, 0);
        active_ = true;
    }
    const size_t bit = size_t(slot) * positions_ + size_t(pos - start_);
    bits_[bit >> 6] |= uint64_t(1) << (bit & 63);
}
