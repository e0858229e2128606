// Fuzzy search over a text: a window of fixed byte length slides over it,
// windows that lack too many of the search string's grams are skipped by
// their signature, and the starts of the others are aligned with the string
// and rated. The test stops at the first acceptable window; the collection
// keeps the best-rated window of each stretch as a hit with its pieces.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/lstr.h"
#include "index/gram_signature.h"
#include "search/fuzzy_align.h"
#include "search/fuzzy_shared_chars.h"
#include "search/fuzzy_tokens.h"
#include "search/fuzzy_window.h"
#include "search/hit.h"
#include "search/search_keys.h"
struct TSchStr;

struct FuzzyOptions {
    int32_t minRate = 75;     // percent; windows rated minRate - 1 and above are hits
    bool ignoreCase = true;   // fold case in the text and the string
    bool wholeField = false;  // the window is always the whole text
    int32_t tolBits = 0;      // string grams a window may lack and still be aligned
    // Reject texts that share too few characters with the string before
    // sliding over them; off only to show that this changes no result.
    bool rejectByCharacters = true;
};

// The options of a search run for one compiled search string.
FuzzyOptions fuzzyOptionsOf(const SearchKeys& keys, const TSchStr& str);

// How far windows got: counted over the matcher's life.
struct FuzzyStats {
    int64_t texts = 0;       // texts searched
    int64_t rejected = 0;    // of them, texts sharing too few characters with the string
    int64_t windows = 0;     // window positions whose signature was tested
    int64_t passed = 0;      // of them, windows whose starts were aligned
    int64_t alignments = 0;  // alignments run
};

// Fuzzy matching of one search string; keeps its tables between texts, so
// one matcher serves a whole run on one thread.
class FuzzyMatcher {
public:
    FuzzyMatcher(std::string_view searchString, const FuzzyOptions& options);
    FuzzyMatcher(const FuzzyMatcher&) = delete;
    FuzzyMatcher& operator=(const FuzzyMatcher&) = delete;

    // Whether some window of the text reaches the acceptance rate.
    bool matches(std::string_view text);
    // Appends the best window of every matching stretch of the text: offset
    // and length in text, its rate, and its pieces. Pieces found in the
    // record carry the record's own bytes, also when case is ignored.
    void collect(std::string_view text, HitList& hits);

    // Byte strings of which every matching text holds one, or none when
    // they would be found nearly everywhere (a single ASCII character).
    std::vector<LStr> requiredBytes() const;

    const FuzzyStats& stats() const { return stats_; }

private:
    bool run(std::string_view text, HitList* hits);
    void prepareText(std::string_view text);
    int32_t windowEnd(int32_t start);
    void slide(int32_t start, int32_t end);
    // Aligns the starts from s on. Returns true when a hit is found and no
    // hit list was given; otherwise sets next to where the search goes on.
    bool examine(int32_t s, HitList* hits, int32_t& next);
    void trimEnd(int32_t& end);

    FuzzyOptions options_;
    FuzzyKey key_;
    GramSignature keySig_;
    int32_t windowBytes_;
    FuzzyAligner aligner_;
    SharedChars shared_;
    int32_t minShared_;  // characters a text must share with the string to hold a hit

    // The current text.
    std::string_view record_;  // as given
    std::string_view text_;    // folded when case is ignored
    LStr folded_;
    TokenSeq tokens_;
    std::vector<int16_t> bits_;  // gram bit of each token, set as it enters
    WindowSignature window_;
    int32_t windowStart_ = 0;
    int32_t windowStop_ = 0;
    int32_t endHint_ = 0;  // the last window end

    std::vector<AlignedPiece> pieces_;
    std::vector<AlignedPiece> bestPieces_;
    FuzzyStats stats_;
};
