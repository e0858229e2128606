// The firstBytes slot of every node class and the table built from it.
// Pending offsets are offsets past a node's own match; the node after it in a
// sequence answers them.
#include "pattern/first_bytes.h"

#include <algorithm>

#include "base/ctype_table.h"
#include "pattern/nodes/brace_rex.h"
#include "pattern/nodes/chars_rex.h"
#include "pattern/nodes/flat_rex.h"
#include "pattern/nodes/or_rex.h"
#include "pattern/nodes/rep_rex.h"
#include "pattern/nodes/seq_rex.h"
#include "pattern/nodes/sp_rex.h"

namespace {
constexpr size_t kMaxPending = 30;

void addCaseForms(LRexByteSet& set, unsigned char b) {
    set.set(b);
    if (isLetterByte(b)) set.set(b ^ 0x20);
}
}  // namespace

bool LFlatRex::firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const {
    if (flags() & RexIgnoreWidth) return false;
    const int len = str_.length();
    if (k >= len) {
        pending.push_back(k - len);
        return true;
    }
    const unsigned char b = static_cast<unsigned char>(str_[k]);
    if (!(flags() & RexIgnoreCase)) {
        set.set(b);
        return true;
    }
    // The other case of a double-byte character differs in its trail byte.
    int i = 0;
    while (i + (isLeadByte(str_[i]) ? 2 : 1) <= k) i += isLeadByte(str_[i]) ? 2 : 1;
    if (isLeadByte(str_[i]) && i + 1 < len) return false;
    addCaseForms(set, b);
    return true;
}

bool LCharsRex::firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const {
    if (flags() & (RexIgnoreCase | RexIgnoreWidth)) return false;
    if (negated_) {
        if (k < 2) return false;
        pending.push_back(k - 1);
        pending.push_back(k - 2);
        return true;
    }
    bool single = false, dual = false;
    for (const auto& [lo, hi] : ranges_) {
        if (lo > hi) continue;  // never matches
        if (lo < 256) {
            single = true;
            if (k == 0)
                for (int b = lo; b <= std::min(hi, 255); ++b) set.set(b);
            // A CR before LF is read as LF.
            if (k == 0 && lo <= '\n' && '\n' <= hi) set.set('\r');
        }
        if (hi >= 256) {
            dual = true;
            int from = std::max(lo, 256), to = hi;
            if (k == 0) {
                for (int lead = from >> 8; lead <= (to >> 8); ++lead) set.set(lead);
            } else if (k == 1) {
                if (from != to) return false;
                set.set(to & 0xFF);
            }
        }
    }
    if (k == 1 && single) pending.push_back(0);
    if (k >= 2) {
        if (single) pending.push_back(k - 1);
        if (dual) pending.push_back(k - 2);
    }
    return true;
}

bool LSeqRex::firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const {
    std::vector<int> offsets{k};
    for (const auto& item : items_) {
        std::vector<int> after;
        for (int off : offsets)
            if (!item->firstBytes(off, set, after)) return false;
        std::sort(after.begin(), after.end());
        after.erase(std::unique(after.begin(), after.end()), after.end());
        if (after.size() > kMaxPending) return false;
        offsets = std::move(after);
        if (offsets.empty()) return true;
    }
    pending.insert(pending.end(), offsets.begin(), offsets.end());
    return true;
}

bool LOrRex::firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const {
    for (const auto& b : branches_)
        if (!b->firstBytes(k, set, pending)) return false;
    return true;
}

bool LRepRex::firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const {
    if (max_ < 1 || min_ < 1) pending.push_back(k);  // the repetition may be empty
    if (max_ < 1) return true;
    if (k != 0) return false;
    return child_->firstBytes(k, set, pending);
}

bool LSpRex::firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const {
    if (typ_ == SpType::Atomic) return sub_ && sub_->firstBytes(k, set, pending);
    if (!zeroWidth()) return false;
    pending.push_back(k);
    return true;
}

bool LBraceRex::firstBytes(int k, LRexByteSet& set, std::vector<int>& pending) const {
    return child_->firstBytes(k, set, pending);
}

namespace {
// Whether some node skips text to be ignored that the root does not skip
// first; bytes at any offset of a match could then be ignorable ones.
bool hasInnerIgnore(const LRex& root) {
    std::vector<const LRex*> todo{&root};
    while (!todo.empty()) {
        const LRex* n = todo.back();
        todo.pop_back();
        if (n->ignore() && n->ignore() != root.ignore()) return true;
        n->children(todo);
    }
    return false;
}
}  // namespace

LRexStartTable buildStartByteTable(const LRex& root, int k) {
    LRexStartTable table;
    table.fill(true);
    if (hasInnerIgnore(root)) return table;
    LRexByteSet set;
    std::vector<int> pending;
    if (!root.firstBytes(k, set, pending) || !pending.empty() || set.count() >= kRexMaxStartBytes)
        return table;
    if (root.ignore()) {
        if (!root.ignore()->firstBytes(0, set, pending) || !pending.empty() ||
            set.count() >= kRexMaxStartBytes)
            return table;
    }
    if (set.none()) return table;
    for (int b = 0; b < 256; ++b) table[b] = set.test(b);
    return table;
}

bool allowsAllBytes(const LRexStartTable& table) {
    return std::all_of(table.begin(), table.end(), [](bool b) { return b; });
}
