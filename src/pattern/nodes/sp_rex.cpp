// Assertion node: one answer per reset. Word and type boundaries look at the
// characters on both sides of the cursor without moving it; the class letters
// consume one single-byte character.
#include "pattern/nodes/sp_rex.h"

#include "pattern/sjis_scan.h"
#include "support/message_service.h"
#include "text/char_fold.h"

LSpRex::LSpRex(SpType typ, LRexPtr sub, bool reverse, uint32_t flags, std::shared_ptr<LRex> ignore)
    : LRex(flags, std::move(ignore)), typ_(typ), spRev_(reverse), sub_(std::move(sub)) {}

namespace {

// The class letters "\d", "\s", "\w" and their opposites consume a character;
// the other assertions are zero-width.
bool consumesClass(SpType typ) {
    switch (typ) {
        case SpType::Digit:
        case SpType::NonDigit:
        case SpType::Space:
        case SpType::NonSpace:
        case SpType::Word:
        case SpType::NonWord:
            return true;
        default:
            return false;
    }
}

}  // namespace

void LSpRex::reset() {
    btc_ = false;
    if (sub_) sub_->reset();
}

bool LSpRex::zeroWidth() const {
    return typ_ != SpType::Atomic && !consumesClass(typ_);
}

namespace {

bool wordBefore(const LRexCursor& c, bool skipTrail) {
    if (c.cur <= c.start || !isWordByte(ub(c.cur - 1))) return false;
    return !skipTrail || isCharStart(c.start, c.cur - 1);
}
bool wordAt(const LRexCursor& c) {
    return c.cur < c.end && isWordByte(ub(c.cur));
}

int typeBefore(const LRexCursor& c) {
    if (c.cur <= c.start) return 0;
    int len;
    return charType(backwardCode(c.start, c.cur, &len));
}
int typeAt(const LRexCursor& c) {
    if (c.cur >= c.end) return 0;
    int len;
    return charType(forwardCode(c.cur, c.end, &len));
}

bool isPatternSpace(unsigned char b) {
    return b == ' ' || b == '\f' || b == '\n' || b == '\r' || b == '\t' || b == '\v';
}

}  // namespace

bool LSpRex::testAt(const LRexCursor& c) const {
    switch (typ_) {
        case SpType::TextStart:
            return c.cur == c.start;
        case SpType::TextEnd:
            return c.cur == c.end;
        case SpType::LineStart:
            return c.cur == c.start || c.cur[-1] == '\r' || c.cur[-1] == '\n';
        case SpType::LineEnd:
            return c.cur == c.end || *c.cur == '\r' || *c.cur == '\n';
        case SpType::WordEdge:
            return wordBefore(c, true) != wordAt(c);
        case SpType::NoWordEdge:
            return wordBefore(c, true) == wordAt(c);
        case SpType::NotInWord:
            return !(wordBefore(c, false) && wordAt(c));
        case SpType::InWord:
            return wordBefore(c, false) && wordAt(c);
        case SpType::TypeEdge: {
            int a = typeBefore(c), b = typeAt(c);
            return a != b || a == 0;
        }
        case SpType::NoTypeEdge: {
            int a = typeBefore(c), b = typeAt(c);
            return a == b && a != 0;
        }
        default:
            return false;
    }
}

bool LSpRex::consumeClass(LRexCursor& c, bool backward) const {
    int len;
    unsigned char b;
    if (backward) {
        if (c.cur <= c.start) return false;
        backwardCode(c.start, c.cur, &len);
        b = ub(c.cur - 1);
    } else {
        if (c.cur >= c.end) return false;
        forwardCode(c.cur, c.end, &len);
        b = ub(c.cur);
    }
    if (len != 1) return false;
    bool in;
    bool wanted = true;  // the class itself, or (upper-case letter) its complement
    switch (typ_) {
        case SpType::NonDigit:
            wanted = false;
            [[fallthrough]];
        case SpType::Digit:
            in = isDigitByte(b);
            break;
        case SpType::NonSpace:
            wanted = false;
            [[fallthrough]];
        case SpType::Space:
            in = isPatternSpace(b);
            break;
        case SpType::NonWord:
            wanted = false;
            [[fallthrough]];
        default:
            in = isWordByte(b);
            break;
    }
    if (in != wanted) return false;
    c.cur += backward ? -1 : 1;
    return true;
}

bool LSpRex::lookAround(LRexCursor& c) {
    LRexCursor probe = c;
    int32_t hitsBefore = c.hitCount();
    bool found = sub_->next(probe, spRev_);  // its own direction, wherever it stands
    if (typ_ == SpType::NotAhead) {
        c.truncateHits(hitsBefore);  // captures of a failed look-around are dropped
        return !found;
    }
    return found;
}

bool LSpRex::atomic(LRexCursor& c, bool backward) {
    ++c.atomicDepth;
    bool found = sub_->next(c, backward);
    --c.atomicDepth;
    return found;
}

bool LSpRex::next(LRexCursor& c, bool backward) {
    if (btc_ || c.halted()) return false;
    btc_ = true;
    const char* from = c.cur;
    if (ignore()) skipIgnorable(c, backward);
    bool ok;
    if (consumesClass(typ_)) {
        ok = consumeClass(c, backward);
        if (!ok) c.cur = from;
        return ok;
    }
    switch (typ_) {
        case SpType::Atomic:
            ok = sub_ && atomic(c, backward);
            if (!ok) c.cur = from;
            return ok;
        case SpType::Ahead:
        case SpType::NotAhead:
            ok = sub_ && lookAround(c);
            break;
        default:
            ok = testAt(c);
            break;
    }
    c.cur = from;  // zero width: back to where the node was asked
    return ok;
}

void LSpRex::dump(LStr& out, int indent) const {
    indentTo(out, indent);
    out.append(formatText("cmp: typ='%c' spRev=%d btc=%d\n",
                          typ_ == SpType::LineStart ? 'T'
                          : typ_ == SpType::LineEnd ? 'E'
                                                    : char(typ_),
                          int(spRev_), int(btc_)));
    if (sub_) sub_->dump(out, indent + 1);
}
