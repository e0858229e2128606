// Index signatures of a regular expression: the grams every match of the
// pattern brings into its block, taken from the literal pieces the pattern's
// requirement tree says each match contains.
#pragma once
#include <optional>
#include <vector>

#include "index/gram_signature.h"

struct LRexReq;

struct RegexSignatures {
    std::optional<GramSignature> regulSig;   // grams of every match; absent when none
    std::vector<GramSignature> literalSigs;  // one per alternative of a top-level "O"
};

// Signatures of a normalised requirement tree. anyWidth: letters of the
// pattern may match in the other width.
RegexSignatures regexSignatures(const LRexReq& top, bool anyWidth);
