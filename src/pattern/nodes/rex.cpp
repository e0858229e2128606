// Behaviour shared by all pattern nodes: skipping ignorable text, capture
// lookup by name, and the "cannot tell" defaults of the analysis slots.
#include "pattern/nodes/rex.h"

#include <charconv>

#include "pattern/nodes/empty_rex.h"
#include "pattern/requirements.h"
#include "support/message_service.h"

const LRexHit* findHit(const LRexHitList& hits, std::string_view name) {
    if (name.empty()) return nullptr;
    if (name[0] >= '0' && name[0] <= '9') {
        int64_t k = 0;
        for (char ch : name) {
            if (ch < '0' || ch > '9' || k > 1000000000) break;
            k = k * 10 + (ch - '0');
        }
        if (k < 1 || k > int64_t(hits.size())) return nullptr;
        const LRexHit& h = hits[size_t(k - 1)];
        return h.text ? &h : nullptr;
    }
    for (const LRexHit& h : hits)
        if (h.name && name == h.name) return &h;
    return nullptr;
}

void LRex::skipIgnorable(LRexCursor& c, bool backward) const {
    LRex* ign = ignore_.get();
    for (;;) {
        const char* before = c.cur;
        ign->reset();
        if (!ign->next(c, backward)) return;
        if (c.cur == before) return;
    }
}

void LRex::indentTo(LStr& out, int indent) {
    for (int i = 0; i < indent; ++i) out.append(' ');
}

bool LRex::firstBytes(int, LRexByteSet&, std::vector<int>&) const {
    return false;
}

std::unique_ptr<LRexReq> LRex::requirements() const {
    return LRexReq::anything();
}

void LEmptyRex::dump(LStr& out, int indent) const {
    indentTo(out, indent);
    out.append(formatText("empty: btc=%d\n", int(btc_)));
}
