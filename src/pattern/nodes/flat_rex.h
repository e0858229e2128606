// LFlatRex: a literal string. Adjacent literals of a branch are merged into
// one node at compile time, so a literal run is one comparison.
#pragma once
#include "pattern/nodes/rex.h"

class LFlatRex : public LRex {
public:
    LFlatRex(std::string_view text, uint32_t flags, std::shared_ptr<LRex> ignore);

    void reset() override { btc_ = false; }
    bool next(LRexCursor& c, bool backward) override;
    bool isVariable() const override { return false; }
    RexKind kind() const override { return RexKind::Literal; }
    void dump(LStr& out, int indent) const override;
    LRexPtr clone() const override {
        return std::make_unique<LFlatRex>(str_.view(), flags(), sharedIgnore());
    }
    bool firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const override;
    std::unique_ptr<LRexReq> requirements() const override;

    const LStr& text() const { return str_; }
    void append(std::string_view more);

private:
    LStr str_;
    bool loneLeadEnd_ = false;
    bool btc_ = false;
};
