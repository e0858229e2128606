// The search loop and the operations built on it.
#include "pattern/searcher.h"

#include <string.h>  // memmem

#include <algorithm>
#include <cstring>

#include "pattern/next_match.h"
#include "pattern/nodes/flat_rex.h"
#include "pattern/nodes/seq_rex.h"
#include "pattern/parser.h"
#include "pattern/sjis_scan.h"
#include "support/message_service.h"

namespace {
constexpr int32_t kTableMinText = 101;

bool plainLiteral(const LRex& n) {
    return n.kind() == RexKind::Literal && !n.ignore() &&
           !(n.flags() & (RexIgnoreCase | RexIgnoreWidth));
}
}  // namespace

LRexSearcher::LRexSearcher(std::string_view pattern, uint32_t flags) {
    setPattern(pattern, flags);
}

LRexSearcher::LRexSearcher(std::string_view text, Text kind, uint32_t flags) {
    if (kind == Text::Literal) {
        setLiteral(text, flags);
    } else {
        setPattern(text, flags);
    }
}

LRexSearcher::LRexSearcher(LRex* node) {
    setNode(node);
}

LRexSearcher::LRexSearcher(std::string_view pattern, std::string_view replacementTemplate,
                           uint32_t flags) {
    setPattern(pattern, flags);
    setTemplate(replacementTemplate);
}

void LRexSearcher::adopt(LRexPtr root) {
    owned_ = std::move(root);
    rex_ = owned_.get();
    analyse();
}

void LRexSearcher::setPattern(std::string_view pattern, uint32_t flags) {
    adopt(compileRex(pattern, flags));
}

void LRexSearcher::setLiteral(std::string_view text, uint32_t flags) {
    adopt(compileLiteral(text, flags));
}

void LRexSearcher::setLiterals(const std::vector<LStr>& texts, uint32_t flags) {
    adopt(compileLiteralOr(texts, flags));
}

void LRexSearcher::setNode(LRex* node) {
    owned_.reset();
    rex_ = node;
    analyse();
}

void LRexSearcher::analyse() {
    tablesBuilt_ = false;
    prefix_.clear();
    memo_.setNodes({});
    if (!rex_) return;
    memo_.setNodes(memoCandidates(*rex_));
    const LRex* first = rex_;
    if (rex_->kind() == RexKind::Sequence && !rex_->ignore()) {
        const auto& items = static_cast<const LSeqRex*>(rex_)->items();
        if (!items.empty()) first = items[0].get();
    }
    if (plainLiteral(*first)) prefix_ = static_cast<const LFlatRex*>(first)->text();
}

void LRexSearcher::buildTables() {
    for (int k = 0; k < 3; ++k) {
        tables_[k] = buildStartByteTable(*rex_, k);
        tableUseful_[k] = !allowsAllBytes(tables_[k]);
    }
    if (rex_->ignore()) tableUseful_[1] = tableUseful_[2] = false;
    tablesBuilt_ = true;
}

// The next start position at or after p (and at most last) where a match can
// begin, or null. p stands at a character start.
const char* LRexSearcher::nextCandidate(const char* p, const char* last, const char* end) const {
    if (!prefix_.empty()) {
        const size_t n = prefix_.length();
        const char* from = p;
        while (p <= last && size_t(end - p) >= n) {
            // A match starting at last ends its prefix by last + n at the latest.
            const size_t span = std::min(size_t(end - p), size_t(last - p) + n);
            auto* q = static_cast<const char*>(::memmem(p, span, prefix_.data(), n));
            if (!q || q > last) return nullptr;
            if (isCharStart(from, q)) return q;
            p = q + 1;  // q is a trail byte; the next character starts after it
        }
        return nullptr;
    }
    if (!tablesBuilt_ || !(tableUseful_[0] || tableUseful_[1] || tableUseful_[2])) return p;
    for (; p <= last; p += p < end ? forwardCharLen(p, end) : 1) {
        if (p < last && tableUseful_[0] && !tables_[0][ub(p)]) continue;
        if (p + 1 < last && tableUseful_[1] && !tables_[1][ub(p + 1)]) continue;
        if (p + 2 < last && tableUseful_[2] && !tables_[2][ub(p + 2)]) continue;
        return p;
    }
    return nullptr;
}

int32_t LRexSearcher::search(std::string_view text, const SearchRange& range) {
    matchTop_ = nullptr;
    matchLen_ = 0;
    hits_.clear();
    control_.clear();
    const int32_t n = int32_t(text.size());
    const int32_t endOffset = range.end < 0 || range.end > n ? n : range.end;
    const int32_t lastStart =
        range.lastStart < 0 || range.lastStart > endOffset ? endOffset : range.lastStart;
    const int32_t firstStart = std::max(range.from, 0);
    if (!rex_ || rex_->kind() == RexKind::Empty || firstStart > lastStart) return -1;
    if (endOffset >= kTableMinText && !tablesBuilt_) buildTables();

    const char* base = text.data();
    const char* end = base + endOffset;
    const char* last = base + lastStart;
    LRexCursor c;
    c.start = base;
    c.end = end;
    c.hits = &hits_;
    c.control = &control_;
    if (memoOn_ && !memo_.empty()) {
        memo_.begin(base, end);
        c.memo = &memo_;
    }
    const bool nth = range.mode == SearchMode::Nth;
    int32_t remaining = std::max(range.nth, 1);
    bool found = false;
    const char* bestEnd = nullptr;
    for (const char* p = base + firstStart; p && p <= last;
         p += p < end ? forwardCharLen(p, end) : 1) {
        p = nextCandidate(p, last, end);
        if (!p) break;
        hits_.clear();
        rex_->reset();
        c.cur = p;
        c.atomicDepth = 0;
        if (rex_->ignore()) rex_->skipIgnorable(c, false);
        const char* top = c.cur;
        const bool matched = rex_->next(c, false);
        if (control_.stopped()) break;
        if (!matched) continue;
        if (range.mode == SearchMode::Furthest && found && c.cur <= bestEnd) continue;
        found = true;
        bestEnd = c.cur;
        matchTop_ = top;
        matchLen_ = int32_t(c.cur - top);
        if (nth && --remaining == 0) return int32_t(top - base);
        recorded_ = hits_;
    }
    if (control_.stopped()) {
        matchTop_ = nullptr;
        matchLen_ = 0;
        hits_.clear();
        return -1;
    }
    hits_.swap(recorded_);
    recorded_.clear();
    if (!found || nth) return -1;
    return int32_t(matchTop_ - base);
}

LStr LRexSearcher::dump() const {
    LStr out("rsh");
    if (rex_) {
        LStr tree;
        rex_->dump(tree, 1);
        out.append(" rex=\n").append(tree.view());
    } else {
        out.append(" rex=(null)");
    }
    if (matchTop_) {
        out.append(" matchTop=").append(std::string_view(matchTop_, matchLen_));
        out.append(formatText(", matchLen=%d", matchLen_));
    } else {
        out.append(formatText(" matchTop=(null), matchLen=%d", matchLen_));
    }
    out.append(formatText(" hits=%d\n", int(hits_.size())));
    if (!tablesBuilt_) return out;
    for (int k = 0; k < 3; ++k) {
        int allowed = 0;
        for (bool b : tables_[k]) allowed += b;
        out.append(formatText("idx=%d:", k));
        if (allowed == 0) {
            out.append(" (hit no bytes)");
        } else if (allowed == 256) {
            out.append(" (hit all bytes)");
        } else if (allowed < 128) {
            for (int b = 0; b < 256; ++b)
                if (tables_[k][b]) out.append(formatText(" %02X", b));
        } else {
            out.append(" (show no-hir byte(s)):");
            for (int b = 0; b < 256; ++b)
                if (!tables_[k][b]) out.append(formatText(" %02X", b));
        }
        out.append('\n');
    }
    return out;
}

const char* findRex(std::string_view text, LRex* node, int32_t* len, const SearchRange& range) {
    LRexSearcher s(node);
    int32_t at = s.search(text, range);
    if (len) *len = at < 0 ? 0 : s.matchLen();
    return at < 0 ? nullptr : s.matchTop();
}

const char* findRex(std::string_view text, std::string_view pattern, int32_t* len,
                    const SearchRange& range) {
    LRexPtr node = compileRex(pattern);
    return findRex(text, node.get(), len, range);
}

int32_t anchoredMatch(std::string_view text, LRex* node, int32_t offset, LRexHitList* hits) {
    if (offset >= int32_t(text.size())) return 0;
    LRexSearcher s(node);
    if (s.search(text, SearchRange::at(offset)) < 0) return -1;
    if (hits) *hits = s.takeHits();
    return s.matchLen();
}

int32_t matchLength(std::string_view pattern, std::string_view text) {
    if (text.empty()) return 0;
    LRexSearcher s(pattern);
    return s.search(text) < 0 ? -1 : s.matchLen();
}

int32_t countMatches(std::string_view text, LRex* node, bool overlapping) {
    if (text.empty() || !node) return 0;
    LRexSearcher s(node);
    int32_t count = 0;
    int32_t pos = 0;
    // Each search sees the rest of the text as a whole text.
    while (pos < int32_t(text.size())) {
        const int32_t at = s.search(text.substr(pos));
        if (at < 0) break;
        ++count;
        pos = nextSearchStart(text, pos + at, overlapping ? 0 : s.matchLen());
    }
    return count;
}

std::vector<LStr> splitByRex(std::string_view text, std::string_view separatorPattern) {
    std::vector<LStr> pieces;
    LRexSearcher s(separatorPattern);
    const int32_t n = int32_t(text.size());
    int32_t pos = 0;
    while (pos <= n) {
        const int32_t at = s.search(text, {.from = pos});
        if (at < 0) break;
        if (!(pos == 0 && at == 0)) pieces.emplace_back(text.substr(pos, at - pos));
        // A separator should not match empty; one that does must not loop.
        if (s.matchLen() == 0 && at >= n) break;
        pos = nextSearchStart(text, at, s.matchLen());
    }
    if (pos <= n && !(pos == 0 && n == 0)) pieces.emplace_back(text.substr(pos));
    return pieces;
}
