// Literal comparison: a plain memcmp when no folding applies, else a walk by
// characters on both sides (the text side may use another width).
#include "pattern/nodes/literal_match.h"

#include <cstring>
#include <vector>

#include "pattern/sjis_scan.h"
#include "text/char_fold.h"

bool endsWithLoneLead(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        if (isLeadByte(ub(&s[i]))) {
            if (i + 1 >= s.size()) return true;
            i += 2;
        } else {
            ++i;
        }
    }
    return false;
}

bool foldedEqual(int a, int b, uint32_t flags) {
    if (a == b) return true;
    if (flags & RexIgnoreCase) {
        a = toLowerFull(a);
        b = toLowerFull(b);
        if (a == b) return true;
    }
    if (flags & RexIgnoreWidth) return fullToHalf(a) == fullToHalf(b);
    return false;
}

const char* matchLiteralForward(std::string_view lit, bool loneLeadEnd, const LRexCursor& c,
                                uint32_t flags) {
    const char* p = c.cur;
    const size_t n = lit.size();
    const bool folding = (flags & (RexIgnoreCase | RexIgnoreWidth)) != 0;
    if (!(flags & RexIgnoreWidth) && size_t(c.end - p) < n) return nullptr;
    if (!folding) {
        if (n && std::memcmp(p, lit.data(), n) != 0) return nullptr;
        // A literal ending in a lone lead byte would end inside a character.
        if (loneLeadEnd && p + n < c.end) return nullptr;
        return p + n;
    }
    const char* litEnd = lit.data() + n;
    for (const char* q = lit.data(); q < litEnd;) {
        if (p >= c.end) return nullptr;
        int ql, pl;
        int qc = forwardCode(q, litEnd, &ql);
        int pc = forwardCode(p, c.end, &pl);
        if (!foldedEqual(qc, pc, flags)) return nullptr;
        q += ql;
        p += pl;
    }
    return p;
}

const char* matchLiteralBackward(std::string_view lit, const LRexCursor& c, uint32_t flags) {
    const char* p = c.cur;
    const size_t n = lit.size();
    const bool folding = (flags & (RexIgnoreCase | RexIgnoreWidth)) != 0;
    if (!folding) {
        if (size_t(p - c.start) < n) return nullptr;
        const char* from = p - n;
        if (n && std::memcmp(from, lit.data(), n) != 0) return nullptr;
        if (!isCharStart(c.start, from)) return nullptr;
        return from;
    }
    // Characters of the literal, walked from the end.
    std::vector<int> codes;
    const char* litEnd = lit.data() + n;
    for (const char* q = lit.data(); q < litEnd;) {
        int ql;
        codes.push_back(forwardCode(q, litEnd, &ql));
        q += ql;
    }
    for (auto it = codes.rbegin(); it != codes.rend(); ++it) {
        if (p <= c.start) return nullptr;
        int pl;
        int pc = backwardCode(c.start, p, &pl);
        if (!foldedEqual(*it, pc, flags)) return nullptr;
        p -= pl;
    }
    return p;
}
