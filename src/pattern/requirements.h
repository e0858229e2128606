// LRexReq: the literal pieces every match of a pattern must contain, as a
// tree the search index tests against a block's gram signature.
#pragma once
#include <memory>
#include <vector>

#include "base/lstr.h"

class LRex;

struct LRexReq {
    // The values are the letters toString() writes.
    enum class Kind : char {
        Anything = 'X',  // no requirement
        All = 'S',       // every child, in order
        OneOf = 'O',     // one of the children
        Literal = '1',   // the literal str
    };

    Kind kind = Kind::Anything;
    std::vector<std::unique_ptr<LRexReq>> children;
    LStr str;

    static std::unique_ptr<LRexReq> anything();
    static std::unique_ptr<LRexReq> literal(std::string_view s);
    static std::unique_ptr<LRexReq> node(Kind kind);

    std::unique_ptr<LRexReq> clone() const;
    // "S(1:ab,O(1:c,1:d))" style text for tests and debugging.
    LStr toString() const;
};

// Simplifies a requirement tree until nothing changes: single children
// replace their parent, nested All/OneOf nodes of one kind flatten, an All
// over a OneOf is distributed, and adjacent literals in an All are joined.
std::unique_ptr<LRexReq> normalizeRequirements(std::unique_ptr<LRexReq> req);

// The normalised requirement tree of a pattern (an "X" for no pattern).
std::unique_ptr<LRexReq> patternRequirements(const LRex* root);
