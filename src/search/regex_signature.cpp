// Signatures from a requirement tree. A literal piece may sit inside longer
// words of the text on both sides (a pattern "ations" matches in
// "relations"), so every piece contributes only its stable grams.
#include "search/regex_signature.h"

#include "pattern/requirements.h"
#include "search/stable_grams.h"

namespace {

// Literals of the node and of a top-level sequence; alternations and opaque
// nodes inside a sequence require nothing in particular.
GramSignature nodeSignature(const LRexReq& node, bool anyWidth) {
    GramSignature sig;
    const GramContext context{true, true, anyWidth};
    if (node.kind == LRexReq::Kind::Literal) {
        addStableGrams(sig, node.str.view(), context);
    } else if (node.kind == LRexReq::Kind::All) {
        for (const auto& child : node.children)
            if (child->kind == LRexReq::Kind::Literal)
                addStableGrams(sig, child->str.view(), context);
    }
    return sig;
}

GramSignature intersect(GramSignature a, const GramSignature& b) {
    return a &= b;
}

}  // namespace

RegexSignatures regexSignatures(const LRexReq& top, bool anyWidth) {
    RegexSignatures out;
    if (top.kind != LRexReq::Kind::OneOf) {
        out.regulSig = nodeSignature(top, anyWidth);
        return out;
    }
    bool anyEmpty = false;
    for (const auto& alternative : top.children) {
        GramSignature sig = nodeSignature(*alternative, anyWidth);
        anyEmpty |= sig.none();
        out.regulSig = out.regulSig ? intersect(*out.regulSig, sig) : sig;
        out.literalSigs.push_back(sig);
    }
    // A block must admit one alternative; one without grams admits every block.
    if (anyEmpty) out.literalSigs.clear();
    return out;
}
