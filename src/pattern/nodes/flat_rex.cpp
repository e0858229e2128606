// Literal node: one answer per reset.
#include "pattern/nodes/flat_rex.h"

#include "pattern/nodes/literal_match.h"
#include "support/message_service.h"

LFlatRex::LFlatRex(std::string_view text, uint32_t flags, std::shared_ptr<LRex> ignore)
    : LRex(flags, std::move(ignore)), str_(text), loneLeadEnd_(endsWithLoneLead(text)) {}

void LFlatRex::append(std::string_view more) {
    str_.append(more);
    loneLeadEnd_ = endsWithLoneLead(str_.view());
}

bool LFlatRex::next(LRexCursor& c, bool backward) {
    if (btc_ || c.halted()) return false;
    btc_ = true;
    const char* from = c.cur;
    if (ignore()) skipIgnorable(c, backward);
    const char* to = backward ? matchLiteralBackward(str_.view(), c, flags())
                              : matchLiteralForward(str_.view(), loneLeadEnd_, c, flags());
    c.cur = to ? to : from;
    return to != nullptr;
}

void LFlatRex::dump(LStr& out, int indent) const {
    indentTo(out, indent);
    out.append(formatText("flat: btc=%d {", int(btc_)));
    out.append(str_.view());
    out.append(formatText("} len=%d\n", str_.length()));
}
