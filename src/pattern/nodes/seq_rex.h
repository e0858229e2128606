// LSeqRex: a sequence of pieces matched one after the other (backward from
// the last). Enumeration is depth-first: the last piece's alternatives come
// first, then the one before it, and so on. Each piece has one snapshot of
// the cursor (position and capture count) taken before it matched.
#pragma once
#include "pattern/nodes/rex.h"

class LSeqRex : public LRex {
public:
    LSeqRex(std::vector<LRexPtr> items, uint32_t flags, std::shared_ptr<LRex> ignore);

    void reset() override;
    bool next(LRexCursor& c, bool backward) override;
    bool isVariable() const override;
    RexKind kind() const override { return RexKind::Sequence; }
    void dump(LStr& out, int indent) const override;
    LRexPtr clone() const override {
        return std::make_unique<LSeqRex>(cloneAll(items_), flags(), sharedIgnore());
    }
    bool firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const override;
    std::unique_ptr<LRexReq> requirements() const override;
    bool captures() const override;
    void children(std::vector<const LRex*>& out) const override {
        for (const auto& i : items_) out.push_back(i.get());
    }

    const std::vector<LRexPtr>& items() const { return items_; }

private:
    struct Snapshot {
        const char* cur;
        int32_t hitCount;
    };
    LRex& itemAt(size_t step, bool backward) const {
        return *items_[backward ? items_.size() - 1 - step : step];
    }

    std::vector<LRexPtr> items_;
    std::vector<Snapshot> snaps_;  // snaps_[i]: cursor before step i
    bool started_ = false;
    bool done_ = false;  // no alternatives left until the next reset
};
