#include "pattern/position_filter.h"

#include <optional>

#include "pattern/char_positions.h"
#include "pattern/nodes/brace_rex.h"
#include "pattern/nodes/empty_rex.h"
#include "pattern/nodes/flat_rex.h"
#include "pattern/nodes/or_rex.h"
#include "pattern/nodes/rep_rex.h"
#include "pattern/nodes/seq_rex.h"
#include "text/sjis.h"

namespace {

constexpr size_t kMaxPositions = 64;

template <typename F>
void forEachBit(uint64_t bits, F f) {
    for (; bits; bits &= bits - 1) f(size_t(__builtin_ctzll(bits)));
}

// First and last positions of a piece, and whether it may match nothing.
struct Piece {
    uint64_t first = 0;
    uint64_t last = 0;
    bool empty = true;
};

// The pattern's positions and which may follow which, built piece by piece.
// A repeated piece is built once per counted copy.
struct Automaton {
    std::vector<const LRex*> positions;
    std::vector<std::unique_ptr<LRex>> owned;  // one literal per character of a longer one
    std::vector<uint64_t> follows;

    std::optional<Piece> build(const LRex& node) {
        if (node.ignore()) return std::nullopt;
        if (singleCharacter(node)) return position(&node);
        if (const auto* flat = dynamic_cast<const LFlatRex*>(&node)) return literal(*flat);
        if (const auto* rep = dynamic_cast<const LRepRex*>(&node)) return repeat(*rep);
        if (dynamic_cast<const LEmptyRex*>(&node)) return Piece{};
        std::vector<const LRex*> parts;
        node.children(parts);
        if (dynamic_cast<const LBraceRex*>(&node)) return build(*parts.front());
        if (dynamic_cast<const LSeqRex*>(&node)) {
            Piece row;
            for (const LRex* part : parts) {
                const std::optional<Piece> next = build(*part);
                if (!next) return std::nullopt;
                row = then(row, *next);
            }
            return row;
        }
        if (dynamic_cast<const LOrRex*>(&node)) {
            Piece any{0, 0, false};
            for (const LRex* part : parts) {
                const std::optional<Piece> branch = build(*part);
                if (!branch) return std::nullopt;
                any = {any.first | branch->first, any.last | branch->last,
                       any.empty || branch->empty};
            }
            return any;
        }
        return std::nullopt;
    }

private:
    std::optional<Piece> position(const LRex* node) {
        if (positions.size() == kMaxPositions) return std::nullopt;
        positions.push_back(node);
        follows.push_back(0);
        const uint64_t bit = uint64_t(1) << (positions.size() - 1);
        return Piece{bit, bit, false};
    }

    Piece then(const Piece& a, const Piece& b) {
        forEachBit(a.last, [&](size_t i) { follows[i] |= b.first; });
        return {a.first | (a.empty ? b.first : 0), b.last | (b.empty ? a.last : 0),
                a.empty && b.empty};
    }

    std::optional<Piece> literal(const LFlatRex& flat) {
        const std::string_view text = flat.text().view();
        if (!oneCharacterEach(flat)) return std::nullopt;
        Piece row;
        for (size_t pos = 0; pos < text.size();) {
            const size_t length = size_t(charLength(text, pos));
            owned.push_back(
                std::make_unique<LFlatRex>(text.substr(pos, length), flat.flags(), nullptr));
            const std::optional<Piece> one = position(owned.back().get());
            if (!one) return std::nullopt;
            row = then(row, *one);
            pos += length;
        }
        return row;
    }

    std::optional<Piece> repeat(const LRepRex& rep) {
        const bool unbounded = rep.max() == kRexUnbounded;
        const int32_t copies = unbounded ? std::max(rep.min(), 1) : rep.max();
        if (copies > int32_t(kMaxPositions)) return std::nullopt;
        Piece row;
        for (int32_t n = 0; n < copies; ++n) {
            std::optional<Piece> copy = build(*rep.child());
            if (!copy) return std::nullopt;
            if (n >= rep.min()) copy->empty = true;  // a copy past the least count may be left out
            if (unbounded && n == copies - 1)
                forEachBit(copy->last, [&](size_t i) { follows[i] |= copy->first; });
            row = then(row, *copy);
        }
        return row;
    }
};

}  // namespace

std::unique_ptr<PositionFilter> PositionFilter::forPattern(const LRex& root) {
    Automaton automaton;
    const std::optional<Piece> whole = automaton.build(root);
    if (!whole || whole->empty || automaton.positions.empty()) return nullptr;
    return std::unique_ptr<PositionFilter>(
        new PositionFilter(automaton.positions, automaton.follows, whole->first, whole->last));
}

PositionFilter::PositionFilter(const std::vector<const LRex*>& positions,
                               const std::vector<uint64_t>& follows, uint64_t first, uint64_t last)
    : table_(positions), follow_((positions.size() + 7) / 8), first_(first), last_(last) {
    for (size_t k = 0; k < follow_.size(); ++k)
        for (size_t b = 0; b < 256; ++b) {
            uint64_t next = 0;
            forEachBit(uint64_t(b) << (8 * k), [&](size_t i) {
                if (i < follows.size()) next |= follows[i];
            });
            follow_[k][b] = next;
        }
    for (int code = 0; code < 0x10000; ++code)
        if (table_.masks[size_t(code)] & first_)
            startsAt_[size_t(code < 0x100 ? code : code >> 8)] = true;
    startsAt_['\r'] = startsAt_['\r'] || (table_.masks['\n'] & first_);  // read as LF before one
}

uint64_t PositionFilter::follow(uint64_t state) const {
    uint64_t next = first_;
    for (size_t k = 0; k < follow_.size() && state; ++k, state >>= 8)
        next |= follow_[k][state & 0xFF];
    return next;
}

bool PositionFilter::matches(std::string_view text) const {
    const char* end = text.data() + text.size();
    return find(text.data(), end) != end;
}

const char* PositionFilter::find(const char* p, const char* end) const {
    const auto step = [this](uint64_t state) { return follow(state); };
    return findMatch(table_, startsAt_, last_, step, p, end);
}
