// LSpRex: anchors, assertions, the single-byte class letters, look-around and
// atomic groups.
#pragma once
#include "pattern/nodes/rex.h"

// What an LSpRex tests. Most values are the letter of their pattern form, so
// a letter read after a backslash converts directly.
enum class SpType : int {
    TextStart = '^',   // "^", "(?tops)"
    TextEnd = '$',     // "$", "(?ends)"
    LineStart = 257,   // "(?topl)": text start or after CR/LF
    LineEnd = 258,     // "(?endl)": text end or before CR/LF
    WordEdge = 'b',    // "\b": a word byte on one side only
    NoWordEdge = 'B',  // "\B"
    TypeEdge = 'c',    // "\c": the character type changes (or none on both sides)
    NoTypeEdge = 'C',  // "\C"
    NotInWord = 'p',   // "\p": not between two word bytes
    InWord = 'P',      // "\P"
    Digit = 'd',       // "\d" and the other class letters consume one byte
    NonDigit = 'D',    // "\D"
    Space = 's',       // "\s"
    NonSpace = 'S',    // "\S"
    Word = 'w',        // "\w"
    NonWord = 'W',     // "\W"
    Ahead = '=',       // "(?=...)", or look-behind when reversed
    NotAhead = '!',    // "(?!...)", or negative look-behind when reversed
    Atomic = '>',      // "(?>...)"
};

class LSpRex : public LRex {
public:
    LSpRex(SpType typ, uint32_t flags, std::shared_ptr<LRex> ignore)
        : LSpRex(typ, nullptr, false, flags, std::move(ignore)) {}
    // For Ahead, NotAhead and Atomic; reverse makes the first two look behind.
    LSpRex(SpType typ, LRexPtr sub, bool reverse, uint32_t flags, std::shared_ptr<LRex> ignore);

    void reset() override;
    bool next(LRexCursor& c, bool backward) override;
    bool isVariable() const override { return sub_ && sub_->isVariable(); }
    void dump(LStr& out, int indent) const override;
    LRexPtr clone() const override {
        return std::make_unique<LSpRex>(typ_, sub_ ? sub_->clone() : nullptr, spRev_, flags(),
                                        sharedIgnore());
    }
    bool firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const override;
    bool captures() const override { return sub_ && sub_->captures(); }
    void children(std::vector<const LRex*>& out) const override {
        if (sub_) out.push_back(sub_.get());
    }

    SpType type() const { return typ_; }
    bool reverse() const { return spRev_; }
    LRex* sub() const { return sub_.get(); }
    // Zero-width types never move the cursor.
    bool zeroWidth() const;

private:
    bool testAt(const LRexCursor& c) const;
    bool consumeClass(LRexCursor& c, bool backward) const;
    bool lookAround(LRexCursor& c);
    bool atomic(LRexCursor& c, bool backward);

    SpType typ_;
    bool spRev_;
    LRexPtr sub_;
    bool btc_ = false;
};
