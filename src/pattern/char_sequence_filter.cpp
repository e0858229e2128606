#include "pattern/char_sequence_filter.h"

#include "pattern/nodes/chars_rex.h"
#include "pattern/nodes/flat_rex.h"
#include "pattern/nodes/rep_rex.h"
#include "pattern/nodes/seq_rex.h"
#include "pattern/rex_flags.h"
#include "pattern/sjis_scan.h"
#include "text/sjis.h"

namespace {

constexpr size_t kMaxPositions = 64;

// Characters whose every case and width variant is one character and no
// line end: printable ASCII, kanji and hiragana.
bool plainCharacters(std::string_view text) {
    for (size_t pos = 0; pos < text.size();) {
        const int code = nextChar(text, pos);
        const int lead = code >> 8;
        if (!((code >= 0x20 && code < 0x7F) || (lead >= 0x88 && lead <= 0x9F) ||
              (lead >= 0xE0 && lead <= 0xEA) || (code >= 0x829F && code <= 0x82F1)))
            return false;
    }
    return !text.empty();
}

// A node that always takes exactly one character: a class, or a literal of
// one plain character. Nodes with an ignore pattern may take more.
bool singleCharacter(const LRex& node) {
    if (node.ignore()) return false;
    if (dynamic_cast<const LCharsRex*>(&node)) return true;
    const auto* flat = dynamic_cast<const LFlatRex*>(&node);
    return flat && plainCharacters(flat->text().view()) &&
           flat->text().length() == charLength(flat->text().view(), 0);
}

// Appends the positions node stands for; false when it is no such row. A
// literal of several plain characters is one position each, as literals of
// their own (kept in owned). A piece repeated without bound stands at the
// positions of its least count, the last of which it may hold again (loops).
struct Row {
    std::vector<const LRex*> positions;
    std::vector<std::unique_ptr<LRex>> owned;
    uint64_t loops = 0;
};

bool appendPositions(const LRex& node, Row& row) {
    std::vector<const LRex*>& out = row.positions;
    if (node.ignore()) return false;
    const auto* flat = dynamic_cast<const LFlatRex*>(&node);
    if (singleCharacter(node)) {
        out.push_back(&node);
    } else if (flat && plainCharacters(flat->text().view())) {
        const std::string_view text = flat->text().view();
        for (size_t pos = 0; pos < text.size();) {
            const size_t length = size_t(charLength(text, pos));
            row.owned.push_back(
                std::make_unique<LFlatRex>(text.substr(pos, length), node.flags(), nullptr));
            out.push_back(row.owned.back().get());
            pos += length;
        }
    } else if (const auto* seq = dynamic_cast<const LSeqRex*>(&node)) {
        for (const auto& item : seq->items())
            if (!appendPositions(*item, row)) return false;
    } else if (const auto* rep = dynamic_cast<const LRepRex*>(&node)) {
        const bool unbounded = rep->max() == kRexUnbounded && rep->min() > 0;
        if ((rep->min() != rep->max() && !unbounded) || !singleCharacter(*rep->child()))
            return false;
        out.insert(out.end(), size_t(rep->min()), rep->child());
        if (unbounded && out.size() <= kMaxPositions) row.loops |= uint64_t(1) << (out.size() - 1);
    } else {
        return false;
    }
    return out.size() <= kMaxPositions;
}

// Whether node takes the one character code stands for. A literal is asked
// through the matcher itself, so its folding is the matcher's.
bool takes(const LRex& node, int code) {
    if (const auto* chars = dynamic_cast<const LCharsRex*>(&node)) return chars->contains(code);
    const char bytes[2] = {char(code >> 8), char(code & 0xFF)};
    LRexCursor cursor;
    cursor.start = cursor.cur = code > 0xFF ? bytes : bytes + 1;
    cursor.end = bytes + 2;
    LRex& matcher = const_cast<LRex&>(node);  // only its enumeration state changes
    matcher.reset();
    const bool taken = matcher.next(cursor, false) && cursor.cur == cursor.end;
    matcher.reset();
    return taken;
}

}  // namespace

std::unique_ptr<CharSequenceFilter> CharSequenceFilter::forPattern(const LRex& root) {
    Row row;
    if (!appendPositions(root, row) || row.positions.empty()) return nullptr;
    return std::unique_ptr<CharSequenceFilter>(new CharSequenceFilter(row.positions, row.loops));
}

CharSequenceFilter::CharSequenceFilter(const std::vector<const LRex*>& positions, uint64_t loops)
    : masks_(0x10000, 0), loops_(loops), accept_(uint64_t(1) << (positions.size() - 1)) {
    for (size_t i = 0; i < positions.size(); ++i) {
        // A repeated piece is one node at several positions: asked once.
        size_t first = i;
        while (first > 0 && positions[first - 1] == positions[i]) --first;
        const uint64_t bit = uint64_t(1) << i;
        for (int code = 0; code < 0x10000; ++code) {
            const bool single = code < 0x100;
            if (!single && !isLeadByte(uint8_t(code >> 8))) continue;
            const bool in =
                first < i ? (masks_[size_t(code)] >> first & 1) : takes(*positions[i], code);
            if (!in) continue;
            masks_[size_t(code)] |= bit;
            if (!single) anyWithLead_[size_t(code >> 8)] = true;
            if (i == 0) startsAt_[size_t(single ? code : code >> 8)] = true;
        }
    }
    startsAt_['\r'] = startsAt_['\r'] || (masks_['\n'] & 1);  // read as LF before one
}

bool CharSequenceFilter::matches(std::string_view text) const {
    const char* end = text.data() + text.size();
    return find(text.data(), end) != end;
}

const char* CharSequenceFilter::find(const char* p, const char* end) const {
    const uint64_t* masks = masks_.data();
    uint64_t state = 0;
    while (p < end) {
        if (state == 0) {
            // Nothing under way: on to the next byte a match can begin with.
            const char* q = p;
            while (q < end && !startsAt_[ub(q)]) ++q;
            if (q == end) return end;
            // Any byte after a lead byte is the second of its character.
            p = isCharStart(p, q) ? q : q + 1;
            if (p == end) return end;
        }
        int length = 0;
        int code = forwardCode(p, end, &length);
        // A class reads CR before LF as the line end it begins.
        if (code == '\r' && p + 1 < end && p[1] == '\n') code = '\n';
        // Most double-byte characters stand at no position: their lead says so
        // without a look into the large table.
        const uint64_t mask = length == 2 && !anyWithLead_[size_t(code >> 8)] ? 0 : masks[code];
        state = (((state << 1) | 1) | (state & loops_)) & mask;
        if (state & accept_) return p;
        p += length;
    }
    return end;
}
