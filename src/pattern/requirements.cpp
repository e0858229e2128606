// The requirements slot of every node class, and the normalisation that
// turns the raw tree into literal pieces the index can test.
#include "pattern/requirements.h"

#include "pattern/nodes/brace_rex.h"
#include "pattern/nodes/chars_rex.h"
#include "pattern/nodes/flat_rex.h"
#include "pattern/nodes/or_rex.h"
#include "pattern/nodes/rep_rex.h"
#include "pattern/nodes/seq_rex.h"
#include "text/sjis.h"

namespace {
using ReqPtr = std::unique_ptr<LRexReq>;
using Kind = LRexReq::Kind;
// Distributing an All over its OneOf children multiplies alternatives;
// beyond this many the All is kept as it stands.
constexpr size_t kMaxDistributed = 64;
}  // namespace

ReqPtr LRexReq::anything() {
    return node(Kind::Anything);
}

ReqPtr LRexReq::node(Kind kind) {
    auto r = std::make_unique<LRexReq>();
    r->kind = kind;
    return r;
}

ReqPtr LRexReq::literal(std::string_view s) {
    auto r = node(Kind::Literal);
    r->str = s;
    return r;
}

ReqPtr LRexReq::clone() const {
    auto r = node(kind);
    r->str = str;
    for (const auto& c : children) r->children.push_back(c->clone());
    return r;
}

LStr LRexReq::toString() const {
    LStr out;
    if (kind == Kind::Literal) return out.append("1:").append(str.view()), out;
    out.append(char(kind));
    if (kind == Kind::Anything) return out;
    out.append('(');
    for (size_t i = 0; i < children.size(); ++i) {
        if (i) out.append(',');
        out.append(children[i]->toString().view());
    }
    out.append(')');
    return out;
}

ReqPtr LFlatRex::requirements() const {
    return LRexReq::literal(str_.view());
}

ReqPtr LSeqRex::requirements() const {
    auto r = LRexReq::node(Kind::All);
    for (const auto& item : items_) r->children.push_back(item->requirements());
    return r;
}

ReqPtr LOrRex::requirements() const {
    auto r = LRexReq::node(Kind::OneOf);
    for (const auto& b : branches_) r->children.push_back(b->requirements());
    return r;
}

ReqPtr LRepRex::requirements() const {
    if (min_ < 1) return LRexReq::anything();
    auto r = LRexReq::node(Kind::All);
    r->children.push_back(child_->requirements());
    r->children.push_back(LRexReq::anything());
    r->children.push_back(child_->requirements());
    return r;
}

ReqPtr LCharsRex::requirements() const {
    if (negated_ || ranges_.size() >= 5 || ranges_.empty()) return LRexReq::anything();
    auto r = LRexReq::node(Kind::OneOf);
    for (const auto& [lo, hi] : ranges_) {
        if (lo != hi) return LRexReq::anything();
        LStr s;
        appendChar(s, lo);
        r->children.push_back(LRexReq::literal(s.view()));
    }
    return r;
}

ReqPtr LBraceRex::requirements() const {
    return child_->requirements();
}

namespace {

bool isGroup(const LRexReq& r) {
    return r.kind == Kind::All || r.kind == Kind::OneOf;
}

// One pass of the rewrite rules; returns whether anything changed.
bool normalizeOnce(ReqPtr& r) {
    bool changed = false;
    for (auto& c : r->children) changed |= normalizeOnce(c);
    if (!isGroup(*r)) return changed;
    if (r->children.size() == 1) {
        ReqPtr only = std::move(r->children[0]);
        r = std::move(only);
        return true;
    }
    // Children of the same kind flatten into the parent.
    std::vector<ReqPtr> flat;
    for (auto& c : r->children) {
        if (c->kind == r->kind) {
            changed = true;
            for (auto& g : c->children) flat.push_back(std::move(g));
        } else {
            flat.push_back(std::move(c));
        }
    }
    r->children = std::move(flat);
    if (r->kind != Kind::All) return changed;
    // Distribute an All over its first OneOf child.
    for (size_t i = 0; i < r->children.size(); ++i) {
        if (r->children[i]->kind != Kind::OneOf) continue;
        const LRexReq& alt = *r->children[i];
        if (alt.children.size() > kMaxDistributed) break;
        auto out = LRexReq::node(Kind::OneOf);
        for (const auto& a : alt.children) {
            auto s = LRexReq::node(Kind::All);
            for (size_t j = 0; j < r->children.size(); ++j)
                s->children.push_back(j == i ? a->clone() : r->children[j]->clone());
            out->children.push_back(std::move(s));
        }
        r = std::move(out);
        return true;
    }
    // Join adjacent literals.
    std::vector<ReqPtr> joined;
    for (auto& c : r->children) {
        if (c->kind == Kind::Literal && !joined.empty() && joined.back()->kind == Kind::Literal) {
            joined.back()->str.append(c->str.view());
            changed = true;
        } else {
            joined.push_back(std::move(c));
        }
    }
    r->children = std::move(joined);
    return changed;
}

size_t treeSize(const LRexReq& r) {
    size_t n = 1;
    for (const auto& c : r.children) n += treeSize(*c);
    return n;
}

}  // namespace

ReqPtr normalizeRequirements(ReqPtr req) {
    if (!req) return LRexReq::anything();
    // Each distribution is bounded, but their chain is not: stop growing a
    // tree that no index test could use anyway.
    for (int round = 0; round < 100 && normalizeOnce(req); ++round)
        if (treeSize(*req) > 4096) return LRexReq::anything();
    return req;
}

ReqPtr patternRequirements(const LRex* root) {
    if (!root) return LRexReq::anything();
    return normalizeRequirements(root->requirements());
}
