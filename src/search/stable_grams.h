// Stable grams: the part of a literal's regularised form that survives in
// the regularised form of every text holding the literal. Index blocks store
// the grams of their regularised text, where English endings are stemmed
// away; a word at an open edge of the literal may be the front of a longer
// word ("processi" inside "processing", which becomes "process"), so such
// letters must not contribute grams, or the index would skip a block that
// holds a hit.
#pragma once
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "index/gram_signature.h"

struct GramContext {
    bool openBefore = true;  // the text may continue the first word backwards
    bool openAfter = true;   // the text may continue the last word
    bool anyWidth = false;   // letters may match in the other width
};

// Pieces of regularised text that every text holding literal contains, each
// contiguous; grams never span two pieces.
std::vector<LStr> stableSegments(std::string_view literal, GramContext context);
// Adds the grams of the stable segments of literal to sig.
void addStableGrams(GramSignature& sig, std::string_view literal, GramContext context);
