// The sliding window, the skip over windows that lack grams, the per-start
// alignment with the trimmed end, and the choice of the best window. Window
// starts and ends are token indices, so they always fall on characters.
#include "search/fuzzy_match.h"

#include <algorithm>

#include "search/search_string.h"
#include "support/stop_flag.h"
#include "text/char_fold.h"

namespace {

LStr foldedKey(std::string_view searchString, bool ignoreCase) {
    LStr key(searchString);
    if (ignoreCase) lowerString(key);
    return key;
}

// Window length in bytes: the string plus the share it may differ by.
int32_t windowLength(int32_t keyBytes, int32_t minRate) {
    const int64_t w = int64_t(keyBytes) * (100 - minRate) / 100 + keyBytes;
    return int32_t(std::clamp<int64_t>(w, 1, INT32_MAX));
}

// The fewest common characters of a window rated minRate - 1 or more (and
// above 0). A rate r needs same * 100 >= r * (same + diff), and same + diff
// is at least the string's length: each string character is common or in a
// difference, and a difference counts at least its string side.
int32_t minCommon(int32_t keyChars, int32_t minRate) {
    const int64_t need = (int64_t(minRate - 1) * keyChars + 99) / 100;
    return int32_t(std::clamp<int64_t>(need, 1, INT32_MAX));
}

}  // namespace

FuzzyOptions fuzzyOptionsOf(const SearchKeys& keys, const TSchStr& str) {
    return FuzzyOptions{keys.minRate, keys.ignoreCase, keys.fieldMatch, str.tolBits, true};
}

FuzzyMatcher::FuzzyMatcher(std::string_view searchString, const FuzzyOptions& options)
    : options_(options),
      key_(foldedKey(searchString, options.ignoreCase).view()),
      // The string's own signature, folded like the text it is compared with.
      keySig_(signatureOf(key_.text())),
      windowBytes_(windowLength(int32_t(key_.text().size()), options.minRate)),
      aligner_(key_),
      shared_(key_, options.ignoreCase),
      minShared_(minCommon(key_.tokens().count(), options.minRate)),
      window_(keySig_) {}

bool FuzzyMatcher::matches(std::string_view text) {
    return run(text, nullptr);
}

void FuzzyMatcher::collect(std::string_view text, HitList& hits) {
    run(text, &hits);
}

// A text sharing no character with the string is rejected before anything
// else, so the shared characters' bytes are needles.
std::vector<LStr> FuzzyMatcher::requiredBytes() const {
    if (!options_.rejectByCharacters) return {};
    std::vector<LStr> needles = shared_.spellings();
    const auto ascii = [](const LStr& n) { return n.length() == 1 && uint8_t(n[0]) < 0x80; };
    if (std::any_of(needles.begin(), needles.end(), ascii)) return {};
    return needles;
}

void FuzzyMatcher::prepareText(std::string_view text) {
    // Emptying the window by its own characters is cheaper than a new count.
    for (int32_t k = windowStart_; k < windowStop_; ++k) window_.leave(bits_[k]);
    record_ = text;
    text_ = text;
    if (options_.ignoreCase) {
        folded_ = text;
        lowerString(folded_);  // keeps every character's byte length
        text_ = folded_.view();
    }
    key_.tokenize(text_, tokens_);
    bits_.resize(size_t(tokens_.count()));
    windowStart_ = 0;
    windowStop_ = 0;
    endHint_ = 0;
}

int32_t FuzzyMatcher::windowEnd(int32_t start) {
    const int32_t n = tokens_.count();
    if (options_.wholeField) return n;
    const int64_t target = int64_t(tokens_.offsets[start]) + windowBytes_;
    if (target >= int64_t(text_.size())) return n;
    // The first character at or after the target byte. Starts mostly grow,
    // so the last end is a good place to go on from.
    const int32_t* offsets = tokens_.offsets.data();
    int32_t k = endHint_ > start && offsets[endHint_ - 1] < target ? endHint_ : start;
    while (offsets[k] < target) ++k;  // offsets[n] is the text's size
    endHint_ = k;
    return k;
}

void FuzzyMatcher::slide(int32_t start, int32_t end) {
    // Characters skipped past the old end never entered the window.
    for (int32_t k = windowStart_; k < std::min(start, windowStop_); ++k) window_.leave(bits_[k]);
    for (int32_t k = std::max(windowStop_, start); k < end; ++k) {
        bits_[k] = int16_t(window_.watched(gramBit(text_, size_t(tokens_.offsets[k]))));
        window_.enter(bits_[k]);
    }
    windowStart_ = start;
    windowStop_ = std::max(windowStop_, end);
}

void FuzzyMatcher::trimEnd(int32_t& end) {
    if (pieces_.empty()) return;
    const size_t n = pieces_.size();
    if (pieces_.back().kind == FuzzyPiece::kRecordOnly) {
        end -= pieces_.back().length();
        pieces_.pop_back();
    } else if (pieces_.back().kind == FuzzyPiece::kStringOnly && n >= 2 &&
               pieces_[n - 2].kind == FuzzyPiece::kRecordOnly) {
        end -= pieces_[n - 2].length();
        pieces_.erase(pieces_.end() - 2);
    }
}

bool FuzzyMatcher::examine(int32_t s, HitList* hits, int32_t& next) {
    int32_t best = options_.minRate - 1;
    int32_t bestStart = -1;
    int32_t bestEnd = -1;
    const int32_t n = tokens_.count();
    for (int32_t a = s; a < n && text_[size_t(tokens_.offsets[a])] != '\0'; ++a) {
        int32_t b = windowEnd(a);
        ++stats_.alignments;
        if (!aligner_.align(tokens_, a, b, pieces_)) break;
        if (!options_.wholeField) trimEnd(b);
        const int32_t rate = rateOf(pieces_);
        // A window with nothing in common is no hit, whatever the minimum.
        if (rate < best || rate == 0) break;
        if (!hits) return true;
        // An equal rate at a later start replaces the earlier window.
        best = rate;
        bestStart = a;
        bestEnd = b;
        bestPieces_.swap(pieces_);
        if (options_.wholeField) break;
    }
    if (bestStart < 0) {
        next = s + 1;
        return false;
    }
    Hit& hit = hits->emplace_back();
    hit.offset = tokens_.offsets[bestStart];
    hit.length = tokens_.offsets[bestEnd] - hit.offset;
    hit.rate = best;
    appendPieceTexts(bestPieces_, record_, tokens_, bestStart, key_, hit.pieces);
    next = bestEnd;  // holds a common piece, so it lies past s
    return false;
}

bool FuzzyMatcher::run(std::string_view text, HitList* hits) {
    // No window shares more characters with the string than the text does.
    ++stats_.texts;
    if (options_.rejectByCharacters && !shared_.reach(text, minShared_)) {
        ++stats_.rejected;
        return false;
    }
    prepareText(text);
    const int32_t n = tokens_.count();
    // Windows go on to the last character, shortened by the text's end, so
    // that a hit close to the end is found however much text precedes it.
    for (int32_t s = 0; s < n;) {
        if (stopRequested()) return false;
        slide(s, windowEnd(s));
        ++stats_.windows;
        const int missing = window_.missing() - options_.tolBits;
        if (missing >= 1) {
            s = std::min(s + missing, n);
        } else {
            ++stats_.passed;
            int32_t next = s;
            if (examine(s, hits, next)) return true;
            s = next;
        }
        if (options_.wholeField) break;
    }
    return false;
}
