// TSchStr: a search string compiled for one run. Besides the pattern that
// matches it, it carries the regularised and stemmed forms the record tests
// compare against and the gram signatures the index uses to skip blocks that
// cannot hold the string. Made on the GUI thread, read-only during the run.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "index/gram_signature.h"
#include "pattern/nodes/rex.h"
#include "search/search_keys.h"

// A result line attached to a search string (none for a dialog search).
struct TSchLine {
    LStr line;
    int32_t hitCnt = 0;
    int32_t schStrNo = 0;

    LStr dump() const;
};

struct TSchStr {
    LStr schStr;                             // as typed; ASCII letters lowered with ignore case
    LRexPtr schRex;                          // the compiled pattern; null for an empty one
    LStr schRegulStr;                        // index-mode regularised form, when computed
    LStr schStemStr;                         // options-mode regularised form, with stemming on
    std::optional<GramSignature> regulSig;   // grams every hit's block holds
    std::vector<GramSignature> literalSigs;  // per alternative of a regex
    int32_t tolBits = 0;                     // signature bits a fuzzy block may lack
    int32_t schStrNo = 0;
    TSchLine* schLine = nullptr;  // not owned

    // A fuzzy search stays fuzzy only while the string has its signature.
    bool fuzzyInForce(const SearchKeys& keys) const;
    LStr dump() const;
};

struct SearchStringResult {
    std::unique_ptr<TSchStr> str;
    bool fuzzyFallback = false;  // fuzzy was asked for but the string is too short
    bool defective = false;      // compiling reported an error or warning
};

// Compiles text by the search keys. An empty stem form gives
// the message line "有効な文字がありません"; the string is still returned.
SearchStringResult compileSearchString(std::string_view text, const SearchKeys& keys,
                                       TSchLine* line, int32_t number);

// A copy with a copy of the compiled pattern: matching keeps its state in
// the pattern's nodes, so each thread that searches needs its own.
std::unique_ptr<TSchStr> copySearchString(const TSchStr& str);

// The pattern text that matches text literally.
LStr escapeLiteral(std::string_view text);
