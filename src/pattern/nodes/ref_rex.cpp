// Reference node: resolves its name at match time, then compares like a
// literal with the node's folding flags.
#include "pattern/nodes/ref_rex.h"

#include "pattern/nodes/literal_match.h"
#include "support/message_service.h"

LRexCustomRefHook customRefHook = nullptr;

LRefRex::LRefRex(std::string name, uint32_t flags, std::shared_ptr<LRex> ignore)
    : LRex(flags, std::move(ignore)), name_(std::move(name)) {}

bool LRefRex::resolve(const LRexCursor& c, std::string_view& text) {
    if (flags() & RexCustomRef) {
        if (!customRefHook) {
            report(kMsgWarning, "missing custom function for {@r:%s}", name_.c_str());
            return false;
        }
        int32_t len = 0;
        const char* t = customRefHook(name_.c_str(), &len);
        if (!t) return false;
        text = std::string_view(t, len < 0 ? 0 : len);
        return true;
    }
    const LRexHit* hit = c.hits ? findHit(*c.hits, name_) : nullptr;
    if (!hit || !hit->text) {
        if (!reported_) report(kMsgWarning, "missing reference target for '%s'", name_.c_str());
        reported_ = true;
        return false;
    }
    text = std::string_view(hit->text, hit->len);
    return true;
}

bool LRefRex::next(LRexCursor& c, bool backward) {
    if (btc_ || c.halted()) return false;
    btc_ = true;
    const char* from = c.cur;
    if (ignore()) skipIgnorable(c, backward);
    std::string_view text;
    const char* to = nullptr;
    if (resolve(c, text)) {
        to = backward ? matchLiteralBackward(text, c, flags())
                      : matchLiteralForward(text, endsWithLoneLead(text), c, flags());
    }
    c.cur = to ? to : from;
    return to != nullptr;
}

void LRefRex::dump(LStr& out, int indent) const {
    indentTo(out, indent);
    out.append(formatText("ref: '%s' btc=%d\n", name_.c_str(), int(btc_)));
}
