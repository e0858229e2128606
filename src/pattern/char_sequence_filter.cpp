#include "pattern/char_sequence_filter.h"

#include "pattern/char_positions.h"
#include "pattern/nodes/chars_rex.h"
#include "pattern/nodes/flat_rex.h"
#include "pattern/nodes/rep_rex.h"
#include "pattern/nodes/seq_rex.h"
#include "pattern/rex_flags.h"
#include "text/sjis.h"

namespace {

constexpr size_t kMaxPositions = 64;

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
    } else if (flat && oneCharacterEach(node)) {
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

}  // namespace

std::unique_ptr<CharSequenceFilter> CharSequenceFilter::forPattern(const LRex& root) {
    Row row;
    if (!appendPositions(root, row) || row.positions.empty()) return nullptr;
    return std::unique_ptr<CharSequenceFilter>(new CharSequenceFilter(row.positions, row.loops));
}

CharSequenceFilter::CharSequenceFilter(const std::vector<const LRex*>& positions, uint64_t loops)
    : table_(positions), loops_(loops), accept_(uint64_t(1) << (positions.size() - 1)) {
    for (int code = 0; code < 0x10000; ++code)
        if (table_.masks[size_t(code)] & 1)
            startsAt_[size_t(code < 0x100 ? code : code >> 8)] = true;
    startsAt_['\r'] = startsAt_['\r'] || (table_.masks['\n'] & 1);  // read as LF before one
}

bool CharSequenceFilter::matches(std::string_view text) const {
    const char* end = text.data() + text.size();
    return find(text.data(), end) != end;
}

const char* CharSequenceFilter::find(const char* p, const char* end) const {
    // Shift-and: every position moves on by one, loops stay, the first is always open.
    const auto step = [this](uint64_t state) { return ((state << 1) | 1) | (state & loops_); };
    return findMatch(table_, startsAt_, accept_, step, p, end);
}
