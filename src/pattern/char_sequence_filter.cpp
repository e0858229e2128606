#include "pattern/char_sequence_filter.h"

#include "pattern/nodes/chars_rex.h"
#include "pattern/nodes/flat_rex.h"
#include "pattern/nodes/rep_rex.h"
#include "pattern/nodes/seq_rex.h"
#include "pattern/sjis_scan.h"

namespace {

constexpr size_t kMaxPositions = 64;

// Printable ASCII: every case and width variant of such a character is one
// character, and none is a line end.
bool printableAscii(std::string_view text) {
    for (char c : text)
        if (c < 0x20 || c >= 0x7F) return false;
    return !text.empty();
}

// A node that always takes exactly one character: a class, or a literal of
// one printable ASCII character. Nodes with an ignore pattern may take more.
bool singleCharacter(const LRex& node) {
    if (node.ignore()) return false;
    if (dynamic_cast<const LCharsRex*>(&node)) return true;
    const auto* flat = dynamic_cast<const LFlatRex*>(&node);
    return flat && flat->text().length() == 1 && printableAscii(flat->text().view());
}

// Appends the positions node stands for; false when it is no such row. A
// literal of several printable ASCII characters is one position each, as
// literals of their own (kept in owned).
bool appendPositions(const LRex& node, std::vector<const LRex*>& out,
                     std::vector<std::unique_ptr<LRex>>& owned) {
    if (node.ignore()) return false;
    const auto* flat = dynamic_cast<const LFlatRex*>(&node);
    if (singleCharacter(node)) {
        out.push_back(&node);
    } else if (flat && printableAscii(flat->text().view())) {
        for (char c : flat->text().view()) {
            owned.push_back(
                std::make_unique<LFlatRex>(std::string_view(&c, 1), node.flags(), nullptr));
            out.push_back(owned.back().get());
        }
    } else if (const auto* seq = dynamic_cast<const LSeqRex*>(&node)) {
        for (const auto& item : seq->items())
            if (!appendPositions(*item, out, owned)) return false;
    } else if (const auto* rep = dynamic_cast<const LRepRex*>(&node)) {
        if (rep->min() != rep->max() || !singleCharacter(*rep->child())) return false;
        out.insert(out.end(), size_t(rep->min()), rep->child());
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
    std::vector<const LRex*> positions;
    std::vector<std::unique_ptr<LRex>> owned;
    if (!appendPositions(root, positions, owned) || positions.empty()) return nullptr;
    return std::unique_ptr<CharSequenceFilter>(new CharSequenceFilter(positions));
}

CharSequenceFilter::CharSequenceFilter(const std::vector<const LRex*>& positions)
    : masks_(0x10000, 0), accept_(uint64_t(1) << (positions.size() - 1)) {
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
            if (in) masks_[size_t(code)] |= bit;
        }
    }
}

bool CharSequenceFilter::matches(std::string_view text) const {
    const char* p = text.data();
    const char* end = p + text.size();
    const uint64_t* masks = masks_.data();
    uint64_t state = 0;
    while (p < end) {
        // ASCII but CR, the bulk of most texts, one byte a character.
        for (unsigned char b; p < end && (b = ub(p)) < 0x80 && b != '\r'; ++p) {
            state = ((state << 1) | 1) & masks[b];
            if (state & accept_) return true;
        }
        if (p == end) break;
        int length = 0;
        int code = forwardCode(p, end, &length);
        // A class reads CR before LF as the line end it begins.
        if (code == '\r' && p + 1 < end && p[1] == '\n') code = '\n';
        state = ((state << 1) | 1) & masks[code];
        if (state & accept_) return true;
        p += length;
    }
    return false;
}
