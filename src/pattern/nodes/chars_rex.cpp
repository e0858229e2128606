// Character class node. Forward reads fold CR LF into LF (consuming only the
// CR) so that "[\n]" matches a line end written either way.
#include "pattern/nodes/chars_rex.h"

#include "pattern/sjis_scan.h"
#include "support/message_service.h"
#include "text/char_fold.h"

LCharsRex::LCharsRex(std::vector<Range> ranges, bool negated, uint32_t flags,
                     std::shared_ptr<LRex> ignore)
    : LRex(flags, std::move(ignore)), ranges_(std::move(ranges)), negated_(negated) {
    for (int b = 0; b < 256; ++b) single_[b] = containsSlow(b);
}

bool LCharsRex::inRanges(int code) const {
    for (const auto& [lo, hi] : ranges_)
        if (lo <= code && code <= hi) return true;
    return false;
}

static int otherWidth(int code) {
    return code < 256 ? halfToFull(code) : fullToHalf(code);
}

bool LCharsRex::containsSlow(int code) const {
    bool hit = inRanges(code);
    if (!hit && (flags() & (RexIgnoreCase | RexIgnoreWidth))) {
        int forms[3] = {code, code, code};
        if (flags() & RexIgnoreCase) {
            forms[1] = toLowerFull(code);
            forms[2] = toUpperFull(code);
            hit = inRanges(forms[1]) || inRanges(forms[2]);
        }
        if (!hit && (flags() & RexIgnoreWidth)) {
            for (int f : forms) {
                int o = otherWidth(f);
                if (o != f && inRanges(o)) {
                    hit = true;
                    break;
                }
            }
        }
    }
    return hit != negated_;
}

bool LCharsRex::next(LRexCursor& c, bool backward) {
    if (btc_ || c.halted()) return false;
    btc_ = true;
    const char* from = c.cur;
    if (ignore()) skipIgnorable(c, backward);
    int len = 0, code;
    if (backward) {
        if (c.cur <= c.start) return c.cur = from, false;
        code = backwardCode(c.start, c.cur, &len);
    } else {
        if (c.cur >= c.end) return c.cur = from, false;
        code = forwardCode(c.cur, c.end, &len);
        if (code == '\r' && c.cur + 1 < c.end && c.cur[1] == '\n') code = '\n';
    }
    if (!contains(code)) return c.cur = from, false;
    c.cur += backward ? -len : len;
    return true;
}

LRexPtr LCharsRex::clone() const {
    auto copy = std::make_unique<LCharsRex>(ranges_, negated_, flags(), sharedIgnore());
    copy->single_ = single_;  // built with the flags of construction time
    return copy;
}

void LCharsRex::dump(LStr& out, int indent) const {
    indentTo(out, indent);
    out.append(formatText("chars: btc=%d [", int(btc_)));
    if (negated_) out.append('^');
    for (const auto& [lo, hi] : ranges_) {
        out.append(formatText("%Xh", lo));
        if (hi != lo) out.append(formatText("-%Xh", hi));
    }
    out.append("]\n");
}
