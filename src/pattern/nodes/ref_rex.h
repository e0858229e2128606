// LRefRex: matches the text a group captured (back reference, by number or
// name), or with RexCustomRef the text the custom-function hook returns.
#pragma once
#include <string>

#include "pattern/nodes/rex.h"

// Process-wide hook for "{@r:name}" references: returns the text for a name
// (its length in *len) or null. The program installs none.
using LRexCustomRefHook = const char* (*)(const char* name, int32_t* len);
extern LRexCustomRefHook customRefHook;

class LRefRex : public LRex {
public:
    LRefRex(std::string name, uint32_t flags, std::shared_ptr<LRex> ignore);

    void reset() override { btc_ = false; }
    bool next(LRexCursor& c, bool backward) override;
    bool isVariable() const override { return false; }
    void dump(LStr& out, int indent) const override;
    LRexPtr clone() const override {
        return std::make_unique<LRefRex>(name_, flags(), sharedIgnore());
    }

    const std::string& name() const { return name_; }

private:
    bool resolve(const LRexCursor& c, std::string_view& text);

    std::string name_;
    bool btc_ = false;
    bool reported_ = false;  // the missing-target warning was given
};
