// LOrRex: alternatives tried left to right. A branch is asked for all of its
// alternatives before the next branch is tried; inside an atomic group only
// the first successful answer is given.
#pragma once
#include "pattern/nodes/rex.h"

class LOrRex : public LRex {
public:
    LOrRex(std::vector<LRexPtr> branches, uint32_t flags, std::shared_ptr<LRex> ignore);

    void reset() override;
    bool next(LRexCursor& c, bool backward) override;
    void dump(LStr& out, int indent) const override;
    LRexPtr clone() const override {
        return std::make_unique<LOrRex>(cloneAll(branches_), flags(), sharedIgnore());
    }
    bool firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const override;
    std::unique_ptr<LRexReq> requirements() const override;
    bool captures() const override;
    void children(std::vector<const LRex*>& out) const override {
        for (const auto& b : branches_) out.push_back(b.get());
    }

    const std::vector<LRexPtr>& branches() const { return branches_; }

private:
    std::vector<LRexPtr> branches_;
    size_t nextIdx_ = 0;
};
