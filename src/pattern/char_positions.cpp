#include "pattern/char_positions.h"

#include <algorithm>
#include <unordered_map>

#include "pattern/nodes/chars_rex.h"
#include "pattern/nodes/flat_rex.h"
#include "pattern/rex_flags.h"
#include "pattern/sjis_scan.h"
#include "text/char_fold.h"
#include "text/sjis.h"

namespace {

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

bool oneCharacterEach(const LRex& literal) {
    const auto* flat = dynamic_cast<const LFlatRex*>(&literal);
    if (!flat || literal.ignore()) return false;
    const std::string_view text = flat->text().view();
    if (plainCharacters(text)) return true;
    if (text.empty() || (literal.flags() & RexIgnoreWidth)) return false;
    for (size_t pos = 0; pos < text.size();) {
        const int length = charLength(text, pos);
        const int code = nextChar(text, pos);
        if (code < 0x20 || code == 0x7F || (length == 1 && isLeadByte(uint8_t(code)))) return false;
    }
    return true;
}

bool singleCharacter(const LRex& node) {
    if (node.ignore()) return false;
    if (dynamic_cast<const LCharsRex*>(&node)) return true;
    const auto* flat = dynamic_cast<const LFlatRex*>(&node);
    return flat && oneCharacterEach(node) &&
           flat->text().length() == charLength(flat->text().view(), 0);
}

namespace {

// Every character code, or (for a literal of one character) only those that
// fold as it does by case or width: the matcher accepts no others, and asking
// it about all 47,000 codes would cost milliseconds per literal.
class CodesToAsk {
public:
    const std::vector<int>& of(const LRex& node) {
        const auto* flat = dynamic_cast<const LFlatRex*>(&node);
        if (!flat) return all();
        const int code = charAt(flat->text().view());
        some_.clear();
        for (int key : {fullToHalf(code), fullToHalf(toLowerFull(code))}) {
            const auto found = byKey().find(key);
            if (found == byKey().end()) continue;
            for (int other : found->second)
                if (std::find(some_.begin(), some_.end(), other) == some_.end())
                    some_.push_back(other);
        }
        return some_;
    }

private:
    const std::vector<int>& all() {
        if (all_.empty())
            for (int code = 0; code < 0x10000; ++code)
                if (code < 0x100 || isLeadByte(uint8_t(code >> 8))) all_.push_back(code);
        return all_;
    }
    // Codes by their width-folded form, with and without case folding first.
    const std::unordered_map<int, std::vector<int>>& byKey() {
        if (byKey_.empty())
            for (int code : all()) {
                const int wide = fullToHalf(code), lowered = fullToHalf(toLowerFull(code));
                byKey_[wide].push_back(code);
                if (lowered != wide) byKey_[lowered].push_back(code);
            }
        return byKey_;
    }

    std::vector<int> all_;
    std::unordered_map<int, std::vector<int>> byKey_;
    std::vector<int> some_;
};

}  // namespace

CharPositionTable::CharPositionTable(const std::vector<const LRex*>& positions)
    : masks(0x10000, 0) {
    CodesToAsk codes;
    for (size_t i = 0; i < positions.size(); ++i) {
        size_t first = 0;
        while (positions[first] != positions[i]) ++first;
        const uint64_t bit = uint64_t(1) << i;
        for (int code : codes.of(*positions[i])) {
            const bool in =
                first < i ? (masks[size_t(code)] >> first & 1) : takes(*positions[i], code);
            if (!in) continue;
            masks[size_t(code)] |= bit;
            if (code > 0xFF) anyWithLead[size_t(code >> 8)] = true;
        }
    }
}

uint64_t CharPositionTable::at(const char* p, const char* end, int* length) const {
    int code = forwardCode(p, end, length);
    // A class reads CR before LF as the line end it begins.
    if (code == '\r' && p + 1 < end && p[1] == '\n') code = '\n';
    // Most double-byte characters stand at no position: their lead says so
    // without a look into the large table.
    return *length == 2 && !anyWithLead[size_t(code >> 8)] ? 0 : masks[size_t(code)];
}

const char* nextStartAmong(const std::array<bool, 256>& starts, const char* p, const char* end) {
    const char* q = p;
    while (q < end && !starts[ub(q)]) ++q;
    if (q == end) return end;
    // Any byte after a lead byte is the second of its character.
    return isCharStart(p, q) ? q : q + 1;
}
