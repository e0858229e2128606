// LSpRex: anchors, assertions, the single-byte class letters, look-around and
// atomic groups. Types are the letter of the pattern form ('^', 'b', 'd', '=',
// '>', ...) or one of the two line anchors below.
#pragma once
#include "pattern/nodes/rex.h"

enum : int {
    kSpLineStart = 257,  // "(?topl)"
    kSpLineEnd = 258,    // "(?endl)"
};

class LSpRex : public LRex {
public:
    LSpRex(int typ, uint32_t flags, std::shared_ptr<LRex> ignore)
        : LSpRex(typ, nullptr, false, flags, std::move(ignore)) {}
    // For '=', '!' and '>'; reverse makes '=' and '!' look behind.
    LSpRex(int typ, LRexPtr sub, bool reverse, uint32_t flags, std::shared_ptr<LRex> ignore);

    void reset() override;
    bool next(LRexCursor& c, bool backward) override;
    bool isVariable() const override { return sub_ && sub_->isVariable(); }
    void dump(LStr& out, int indent) const override;
    bool firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const override;
    bool captures() const override { return sub_ && sub_->captures(); }
    void children(std::vector<const LRex*>& out) const override {
        if (sub_) out.push_back(sub_.get());
    }

    int type() const { return typ_; }
    bool reverse() const { return spRev_; }
    LRex* sub() const { return sub_.get(); }
    // Zero-width types never move the cursor.
    bool zeroWidth() const;

private:
    bool testAt(const LRexCursor& c) const;
    bool consumeClass(LRexCursor& c, bool backward) const;
    bool lookAround(LRexCursor& c, bool backward);
    bool atomic(LRexCursor& c, bool backward);

    int typ_;
    bool spRev_;
    LRexPtr sub_;
    bool btc_ = false;
};
