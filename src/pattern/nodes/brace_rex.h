// LBraceRex: a group. Numbered groups (number >= 0) record their match in the
// cursor's capture list; a name makes the group reachable by "{:name}".
#pragma once
#include <string>

#include "pattern/nodes/rex.h"

class LBraceRex : public LRex {
public:
    LBraceRex(LRexPtr child, int number, uint32_t flags, std::shared_ptr<LRex> ignore);

    void reset() override { child_->reset(); }
    bool next(LRexCursor& c, bool backward) override;
    bool isVariable() const override { return child_->isVariable(); }
    void dump(LStr& out, int indent) const override;
    LRexPtr clone() const override;
    bool firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const override;
    std::unique_ptr<LRexReq> requirements() const override;
    bool captures() const override { return number_ >= 0 || child_->captures(); }
    void children(std::vector<const LRex*>& out) const override { out.push_back(child_.get()); }

    void setName(std::string name) {
        name_ = std::move(name);
        named_ = true;
    }
    int number() const { return number_; }
    LRex* child() const { return child_.get(); }

private:
    LRexPtr child_;
    int number_;
    std::string name_;
    bool named_ = false;
};
