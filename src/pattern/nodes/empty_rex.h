// LEmptyRex: matches the empty string once. A whole pattern that compiles to
// it (no branch at all) never matches in a search.
#pragma once
#include "pattern/nodes/rex.h"

class LEmptyRex : public LRex {
public:
    LEmptyRex(uint32_t flags, std::shared_ptr<LRex> ignore) : LRex(flags, std::move(ignore)) {}

    void reset() override { btc_ = false; }
    bool next(LRexCursor& c, bool) override {
        if (btc_ || c.halted()) return false;
        return btc_ = true;
    }
    bool isVariable() const override { return false; }
    RexKind kind() const override { return RexKind::Empty; }
    void dump(LStr& out, int indent) const override;
    LRexPtr clone() const override { return std::make_unique<LEmptyRex>(flags(), sharedIgnore()); }

private:
    bool btc_ = false;
};
